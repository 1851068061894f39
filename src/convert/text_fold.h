#pragma once

#include <string>
#include <string_view>

namespace scrivane {

// Lower case without accents, for matching words that banks write in any case
// and with or without their accents ("Débit", "DEBIT", "debit"). Latin letters
// with accents become their base letter (and "ß" "ss"); other characters stay.
std::string foldLatin(std::string_view utf8);

// A column title reduced to what tells titles apart: folded, with anything in
// parentheses dropped and only letters and digits kept, so that "Amount (EUR)",
// "amount" and "AMOUNT" are one, and so are "Check Number" and "CheckNumber".
std::string titleKey(std::string_view utf8);

// Spaces, tabs and line breaks off both ends, and the no-break spaces that
// spreadsheets write (U+00A0, U+202F).
std::string_view trimWhite(std::string_view utf8);

} // namespace scrivane
