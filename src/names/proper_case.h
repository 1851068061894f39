#pragma once

#include "case_map.h"

#include <string>
#include <string_view>

namespace scrivane {

// Mixed case for a payee name: every word capitalised, also after a hyphen; a
// capital after the beginnings Mc, Mac, O', D' and Fitz; "von" in lower case with a
// capital after it; LLC and INC in capitals. Keeps the number of characters.
std::string properCase(std::string_view text, Charset charset = Charset::Ascii);

// The same on a text with no space at either end, in its own buffer.
void properCaseInPlace(std::string& text, Charset charset);

} // namespace scrivane
