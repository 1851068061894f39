#pragma once

#include "statement/statement_form.h"

#include <QString>

#include <string_view>

namespace scrivane {

// The bytes of a names list as characters, read in the statement's own
// character set: what the names list window shows, and what scrivane-clean
// --list prints on a terminal. A statement that names none is read as UTF-8
// when its bytes are valid UTF-8, and as Windows-1252 otherwise. Line breaks,
// lone carriage returns included, pass through as they are.
QString nameListDisplayText(std::string_view bytes, Charset charset);

// Words of the program's own (UTF-8) around values quoted from a statement in
// any character set: each well-formed UTF-8 character reads as itself, any
// other byte as its Windows-1252 character, so that neither is garbled.
QString quotingText(std::string_view bytes);

} // namespace scrivane
