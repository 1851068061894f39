#include "case_map.h"

#include "statement/text.h"
#include "statement/utf8.h"
#include "statement/windows1252.h"

#include "unicode_case_table.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace scrivane {

namespace {

// Windows-1252 letters outside ASCII, as byte values.
NameChar cp1252Upper(NameChar c)
{
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    switch (c) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return asciiUpper(c);
    }
}

NameChar cp1252Lower(NameChar c)
{
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return asciiLower(c);
    }
}

// Per code point mapping from the program's own table, so that names are cased
// alike on every platform, whatever the C library's locale or the width of
// wchar_t.
NameChar unicodeMap(NameChar c, const unicode_case::CaseRun* begin, const unicode_case::CaseRun* end)
{
    const auto* after = std::upper_bound(
        begin, end, c, [](NameChar code, const unicode_case::CaseRun& run) { return code < run.first; });
    if (after == begin)
        return c;
    const unicode_case::CaseRun& run = *(after - 1);
    if (c > run.last || (c - run.first) % run.stride != 0)
        return c;
    return static_cast<NameChar>(static_cast<std::int64_t>(c) + run.delta);
}

NameChar unicodeUpper(NameChar c)
{
    return unicodeMap(c, std::begin(unicode_case::upperRuns), std::end(unicode_case::upperRuns));
}

NameChar unicodeLower(NameChar c)
{
    return unicodeMap(c, std::begin(unicode_case::lowerRuns), std::end(unicode_case::lowerRuns));
}

} // namespace

std::string textInCharset(std::string_view utf8, Charset charset)
{
    if (charset != Charset::Windows1252 || isAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (NameChar c : CaseMap(Charset::Utf8).decode(utf8)) {
        if (c >= rawByteBase) {
            out.push_back(static_cast<char>(c - rawByteBase));
        } else {
            out.push_back(toWindows1252(c).value_or('<'));
        }
    }
    return out;
}

const ByteCase& ByteCase::of(Charset charset)
{
    static const auto make = [](Charset bytes) {
        const CaseMap map(bytes);
        ByteCase table {};
        for (unsigned b = 0; b < 256; ++b) {
            table.upper[b] = static_cast<unsigned char>(map.upper(b));
            table.lower[b] = static_cast<unsigned char>(map.lower(b));
        }
        return table;
    };
    static const ByteCase ascii = make(Charset::Ascii);
    static const ByteCase cp1252 = make(Charset::Windows1252);
    return charset == Charset::Windows1252 ? cp1252 : ascii;
}

NameChar CaseMap::upperBeyondAscii(NameChar c) const
{
    switch (charset_) {
    case Charset::Windows1252:
        return cp1252Upper(c);
    case Charset::Utf8:
        return unicodeUpper(c);
    case Charset::Ascii:
        break;
    }
    return asciiUpper(c);
}

NameChar CaseMap::lowerBeyondAscii(NameChar c) const
{
    switch (charset_) {
    case Charset::Windows1252:
        return cp1252Lower(c);
    case Charset::Utf8:
        return unicodeLower(c);
    case Charset::Ascii:
        break;
    }
    return asciiLower(c);
}

std::u32string CaseMap::decode(std::string_view text) const
{
    std::u32string out;
    out.reserve(text.size());
    if (charset_ != Charset::Utf8) {
        for (char c : text)
            out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        const Utf8Char next = decodeUtf8(text.substr(i));
        if (next.length > 0) {
            out.push_back(next.code);
            i += next.length;
        } else {
            out.push_back(rawByteBase + static_cast<unsigned char>(text[i]));
            ++i;
        }
    }
    return out;
}

std::string CaseMap::encode(std::u32string_view chars) const
{
    std::string out;
    out.reserve(chars.size());
    for (NameChar c : chars) {
        if (charset_ != Charset::Utf8) {
            out.push_back(static_cast<char>(c & 0xFF));
        } else if (c >= rawByteBase) {
            out.push_back(static_cast<char>(c - rawByteBase));
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::string CaseMap::lowerText(std::string_view text) const
{
    if (charset_ == Charset::Ascii || isAscii(text)) {
        std::string out(text);
        for (char& c : out)
            c = asciiLower(c);
        return out;
    }
    std::u32string chars = decode(text);
    for (NameChar& c : chars)
        c = lower(c);
    return encode(chars);
}

} // namespace scrivane
