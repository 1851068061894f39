#pragma once

#include "statement_check.h"

#include <string>
#include <string_view>

namespace scrivane {

// Where in its statement a finding stands, in words: "transaction 3 (FITID 42)
// of statement 1", or empty for a finding of the whole file.
std::string findingPlace(const Finding& finding);

// The finding as one sentence: place, what is wrong and what to do, and whether
// the clean fixes it.
std::string findingSentence(const Finding& finding);

// "FILE:LINE: LEVEL: sentence", the way compilers write, so that editors jump
// to the line. No line end.
std::string compilerLine(std::string_view file, const Finding& finding);

// One JSON object on one line, for scripts. No line end. Valid UTF-8 in a value
// goes through as it is; any other byte is written as the Latin-1 character of
// its number, so that the line is always valid JSON.
std::string jsonLine(std::string_view file, const Finding& finding);

} // namespace scrivane
