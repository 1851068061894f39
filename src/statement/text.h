#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivane {

namespace detail {

template <class View, class Drop>
constexpr View trimmedBy(View s, Drop drop)
{
    while (!s.empty() && drop(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && drop(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace detail

// Trimming removes the space character only: tabs and line breaks belong to the
// values of a statement and must survive. Paths typed by the user are trimmed the
// same way, in UTF-16.
constexpr std::string_view trimSpaces(std::string_view s)
{
    return detail::trimmedBy(s, [](char c) { return c == ' '; });
}

constexpr std::u16string_view trimSpaces(std::u16string_view s)
{
    return detail::trimmedBy(s, [](char16_t c) { return c == u' '; });
}

// White space that a word of a name may carry from the file around it.
constexpr std::string_view trimBlanks(std::string_view s)
{
    return detail::trimmedBy(s, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// ASCII letters only, for bytes (char) and decoded characters (char32_t) alike:
// what lies beyond ASCII depends on a character set and is folded elsewhere.
template <class Char>
constexpr Char asciiUpper(Char c)
{
    return (c >= Char('a') && c <= Char('z')) ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

template <class Char>
constexpr Char asciiLower(Char c)
{
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

// The text with its ASCII letters in upper case, every other byte as it is.
inline std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = asciiUpper(c);
    return out;
}

// Whether every byte is ASCII, which every character set reads alike.
constexpr bool isAscii(std::string_view s)
{
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

constexpr bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    }
    return true;
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

// White space as markup counts it: space, tab, CR and LF.
constexpr bool isMarkupSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The name of the end tag that opens a segment ("</NAME >" gives "NAME"), or
// empty when the segment opens with anything else. XML lets white space stand
// between the name and its ">".
constexpr std::string_view endTagName(std::string_view segment)
{
    if (!segment.starts_with("</"))
        return {};
    std::size_t end = 2;
    while (end < segment.size() && segment[end] != '>' && !isMarkupSpace(segment[end]))
        ++end;
    std::size_t at = end;
    while (at < segment.size() && isMarkupSpace(segment[at]))
        ++at;
    return at < segment.size() && segment[at] == '>' ? segment.substr(2, end - 2) : std::string_view {};
}

} // namespace scrivane
