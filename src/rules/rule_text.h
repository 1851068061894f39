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

// What a rule's check needs to know of one of its texts, found in one pass.
struct TextFacts
{
    bool utf8 = true; // well-formed UTF-8
    bool control = false; // holds a control character (C0, DEL or C1)
    bool word = false; // holds a word, as splitFoldedWords finds them
    bool nonBlank = false; // holds anything but blanks
    bool nonSpace = false; // holds anything but the space character
};
TextFacts factsOf(std::string_view text);

} // namespace scrivane
