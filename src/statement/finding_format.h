#pragma once

#include "statement_check.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// What follows the message of a clean when its check found something to tell
// (findingsToTell): one sentence with how many problems the target will meet
// and the first of them. Empty when there is nothing.
std::string findingsSentence(const std::vector<Finding>& told, Target target);

// The whole list behind that sentence, one finding a line ("line 12: warning:
// sentence"), CR LF between lines. Past the first most, one line says how many
// more there are, so that a statement with thousands stays readable.
std::string findingsList(const std::vector<Finding>& told, std::size_t most);

} // namespace scrivane
