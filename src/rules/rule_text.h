#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// A name and a rule text are compared, by every kind but pattern, in one form:
// each character in lower case and every run of blanks (space, tab, line
// breaks, no-break space) as a single space, none at the start. A run at the end
// becomes one space too, unless trimEnd: a begins text keeps it, so that "AMZN "
// asks for a whole first word, while names and the other texts drop it. The
// text must be valid UTF-8; the folded form is appended to out.
void foldText(std::string_view utf8, bool trimEnd, std::string& out);

// The words of a folded text: runs of letters and digits. Everything beyond
// ASCII counts as a letter except its punctuation, symbols and spaces, so
// "PAYPAL *NETFLIX.COM" has the words paypal, netflix and com. The words view
// into folded.
void splitFoldedWords(std::string_view folded, std::vector<std::string_view>& words);

// Whether a UTF-8 text holds a word, or anything but blanks: what a contains
// rule and the other kinds need to look for something.
bool holdsWord(std::string_view utf8);
bool holdsNonBlank(std::string_view utf8);

// Whether text is well-formed UTF-8.
bool isUtf8(std::string_view text);

} // namespace scrivane
