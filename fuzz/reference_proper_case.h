#pragma once

#include "statement/statement_form.h"

#include <string>
#include <string_view>

namespace scrivane::fuzz {

// Proper case written the slow, literal way: one character position at a time,
// counted from 1, every window read afresh from the working copy. The fuzzer
// holds the engine's conversion against it.
std::string referenceProperCase(std::string_view text, Charset charset);

} // namespace scrivane::fuzz
