#pragma once

#include "statement/statement_form.h"
#include "statement/text.h"

#include <array>
#include <string>
#include <string_view>

namespace scrivane {

// One character of a name, as the statement's character set reads it. In UTF-8 a
// character is a code point; a byte that is not part of valid UTF-8 becomes a
// character of its own (rawByteBase + byte) that maps to itself and is written
// back as the same byte.
using NameChar = char32_t;
inline constexpr NameChar rawByteBase = 0x110000;

// Upper- and lower-case mapping, one character to one character, for a charset.
// Letters outside ASCII are mapped only where the charset says what they are.
class CaseMap
{
public:
    explicit CaseMap(Charset charset)
        : charset_(charset)
    {
    }

    Charset charset() const { return charset_; }

    // ASCII maps the same in every charset, and names are mostly ASCII: that case
    // stays inline.
    NameChar upper(NameChar c) const
    {
        if (c < 0x80)
            return asciiUpper(c);
        return upperBeyondAscii(c);
    }
    NameChar lower(NameChar c) const
    {
        if (c < 0x80)
            return asciiLower(c);
        return lowerBeyondAscii(c);
    }

    std::u32string decode(std::string_view text) const;
    std::string encode(std::u32string_view chars) const;

    // The whole text in lower case, in the same charset.
    std::string lowerText(std::string_view text) const;

private:
    NameChar upperBeyondAscii(NameChar c) const;
    NameChar lowerBeyondAscii(NameChar c) const;

    Charset charset_;
};

// Upper and lower case of single bytes, looked up rather than worked out: the
// whole mapping of an ASCII or Windows-1252 statement, where every character is
// one byte, and of the ASCII bytes of a UTF-8 one (there a byte beyond ASCII is
// part of a longer character and maps to itself; such text goes through CaseMap).
struct ByteCase
{
    std::array<unsigned char, 256> upper;
    std::array<unsigned char, 256> lower;

    static const ByteCase& of(Charset charset);
};

// Text that the program holds in UTF-8 (the settings store, the locale) written in
// a statement's character set, so that it compares with the statement's bytes. In
// 1252 a character that the set lacks becomes "<", which no word of a name holds
// outside a CDATA section, so it matches nothing. Bytes that are not UTF-8 stay as
// they are; other sets keep the text unchanged.
std::string textInCharset(std::string_view utf8, Charset charset);

} // namespace scrivane
