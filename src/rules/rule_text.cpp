#include "rule_text.h"

#include "names/case_map.h"
#include "statement/utf8.h"

#include <array>
#include <cstdint>

namespace scrivane {

namespace {

enum : std::uint8_t { other, blank, word };

// Names are nearly all ASCII, which a table folds and sorts a byte at a time
// (four bytes to an entry, so that a byte finds its entry with a shift).
struct alignas(4) AsciiByte
{
    char lower;
    std::uint8_t kind;
    std::uint8_t facts; // the factBits it gives a text
};

enum : std::uint8_t { controlBit = 1, wordBit = 2, nonBlankBit = 4, nonSpaceBit = 8 };

constexpr std::array<AsciiByte, 128> asciiBytes = [] {
    std::array<AsciiByte, 128> table {};
    for (int c = 0; c < 128; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        table[c].lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        table[c].kind = letter || digit ? word : c == ' ' || c == '\t' || c == '\r' || c == '\n' ? blank : other;
        table[c].facts
            = static_cast<std::uint8_t>((c < 0x20 || c == 0x7F ? controlBit : 0) | (table[c].kind == word ? wordBit : 0)
                                        | (table[c].kind != blank ? nonBlankBit : 0) | (c != ' ' ? nonSpaceBit : 0));
    }
    return table;
}();

bool isBlankBeyondAscii(char32_t c)
{
    return c == 0xA0 || c == 0xFEFF || c == 0x3000 || (c >= 0x2000 && c <= 0x200B);
}

bool isWordBeyondAscii(char32_t c)
{
    // Latin-1's signs and symbols, but its three letters ª µ º; × and ÷.
    if (c <= 0xBF)
        return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7)
        return false;
    // General punctuation, currency signs, the trade mark sign, CJK and
    // full-width punctuation.
    if ((c >= 0x2000 && c <= 0x20CF) || c == 0x2122 || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFF0F))
        return false;
    return c != 0xFEFF;
}

// The kind of the character at the start of text, and its length; a byte that
// is not UTF-8 is a character of its own kind "other".
std::uint8_t kindAt(std::string_view text, std::size_t& length, char32_t& code)
{
    const auto byte = static_cast<unsigned char>(text[0]);
    if (byte < 0x80) {
        length = 1;
        code = byte;
        return asciiBytes[byte].kind;
    }
    const Utf8Char next = decodeUtf8(text);
    length = next.length > 0 ? next.length : 1;
    code = next.code;
    if (next.length == 0)
        return other;
    return isBlankBeyondAscii(next.code) ? blank : isWordBeyondAscii(next.code) ? word : other;
}

} // namespace

void foldText(std::string_view utf8, bool trimEnd, std::string& out)
{
    static const CaseMap unicode(Charset::Utf8);
    // Written through a pointer into room made beforehand: a character folded
    // grows by one byte at most (U+023A, two bytes, becomes U+2C65, three). A
    // name fits the room on the stack, which costs nothing to make.
    char local[512];
    const std::size_t room = utf8.size() * 2 + 1;
    const std::size_t base = out.size();
    if (room > sizeof local)
        out.resize(base + room);
    char* const start = room > sizeof local ? out.data() + base : local;
    char* p = start;
    bool pendingSpace = false;
    const char* s = utf8.data();
    const char* const end = s + utf8.size();
    while (s < end) {
        // A run of ASCII, the common case, in a loop of its own.
        for (unsigned char byte; s < end && (byte = static_cast<unsigned char>(*s)) < 0x80; ++s) {
            const AsciiByte ascii = asciiBytes[byte];
            if (ascii.kind == blank) {
                pendingSpace = p != start;
                continue;
            }
            if (pendingSpace) {
                *p++ = ' ';
                pendingSpace = false;
            }
            *p++ = ascii.lower;
        }
        if (s == end)
            break;
        std::size_t length;
        char32_t code;
        const std::uint8_t kind = kindAt(std::string_view(s, static_cast<std::size_t>(end - s)), length, code);
        s += length;
        // Callers hand in valid UTF-8; a stray byte is skipped rather than misread.
        if (length == 1)
            continue;
        if (kind == blank) {
            pendingSpace = p != start;
            continue;
        }
        if (pendingSpace) {
            *p++ = ' ';
            pendingSpace = false;
        }
        std::string lowered;
        appendUtf8(lowered, unicode.lower(code));
        for (const char c : lowered)
            *p++ = c;
    }
    if (pendingSpace && !trimEnd)
        *p++ = ' ';
    if (start == local)
        out.append(local, static_cast<std::size_t>(p - local));
    else
        out.resize(base + static_cast<std::size_t>(p - start));
}

void splitFoldedWords(std::string_view folded, std::vector<std::string_view>& words)
{
    words.clear();
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i < folded.size();) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        std::size_t length = 1;
        char32_t code;
        const bool inWord = (byte < 0x80 ? asciiBytes[byte].kind : kindAt(folded.substr(i), length, code)) == word;
        if (inWord) {
            if (start == std::string_view::npos)
                start = i;
        } else if (start != std::string_view::npos) {
            words.push_back(folded.substr(start, i - start));
            start = std::string_view::npos;
        }
        i += length;
    }
    if (start != std::string_view::npos)
        words.push_back(folded.substr(start));
}

TextFacts factsOf(std::string_view utf8)
{
    TextFacts facts;
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            bits |= asciiBytes[byte].facts;
            ++i;
            continue;
        }
        std::size_t length;
        char32_t code;
        const std::uint8_t kind = kindAt(utf8.substr(i), length, code);
        i += length;
        if (length == 1) {
            facts.utf8 = false;
            continue;
        }
        bits |= (code <= 0x9F ? controlBit : 0) | (kind == word ? wordBit : 0) | (kind != blank ? nonBlankBit : 0)
            | nonSpaceBit;
    }
    facts.control = bits & controlBit;
    facts.word = bits & wordBit;
    facts.nonBlank = bits & nonBlankBit;
    facts.nonSpace = bits & nonSpaceBit;
    return facts;
}

} // namespace scrivane
