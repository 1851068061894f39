#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the check reads in values and text: digits, header lines, character
// sets, references. Shared by the scanner's parts; not for other callers.
namespace scrivane::check {

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool allDigits(std::string_view s);
int number(std::string_view digits);

// The value of an OFX 1 header line "KEY:VALUE" in upper-cased header text.
std::string headerField(std::string_view header, std::string_view key);
bool isLatinName(std::string_view name);

// The character set that the statement's own prolog declares: the OFX 1 header's
// ENCODING and CHARSET lines, or the XML declaration's encoding.
enum class Declared { Ascii, Latin, Utf8 };
Declared xmlDeclared(std::string_view declaration);

std::size_t firstHighByte(std::string_view text, std::size_t from);
// Line ends in text: LF, CR LF, or CR alone (files from old Macs).
std::size_t countLineBreaks(std::string_view text);
std::size_t firstInvalidUtf8(std::string_view text);
std::size_t characterCount(std::string_view value, bool utf8);
bool startsReference(std::string_view rest);

} // namespace scrivane::check
