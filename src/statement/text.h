#pragma once

#include <string_view>

namespace scrivane {

// Trimming removes the space character only: tabs and line breaks belong to the
// values of a statement and must survive.
constexpr std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// White space that a word of a name may carry from the file around it.
constexpr std::string_view trimBlanks(std::string_view s)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

constexpr char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Tag names are ASCII, so an ASCII-only case fold is exact for them and never
// depends on the statement's character set.
constexpr bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (asciiUpper(s[i]) != asciiUpper(prefix[i]))
            return false;
    }
    return true;
}

constexpr bool containsNoCase(std::string_view s, std::string_view needle)
{
    if (needle.empty())
        return true;
    for (std::size_t i = 0; i + needle.size() <= s.size(); ++i) {
        if (startsWithNoCase(s.substr(i), needle))
            return true;
    }
    return false;
}

} // namespace scrivane
