#include "case_map.h"

#include "statement/text.h"
#include "statement/utf8.h"
#include "statement/windows1252.h"

#include <locale>
#include <memory>
#include <utility>

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

// Per code point mapping through the C library's Unicode tables. A locale
// without them leaves letters outside ASCII alone rather than guess.
class UnicodeCase
{
public:
    UnicodeCase()
    {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            try {
                locale_ = std::make_unique<std::locale>(name);
                facet_ = &std::use_facet<std::ctype<wchar_t>>(*locale_);
                return;
            } catch (const std::exception&) {
                locale_.reset();
            }
        }
    }

    NameChar map(NameChar c, bool upper) const
    {
        if (c < 0x80)
            return upper ? asciiUpper(c) : asciiLower(c);
        if (!facet_ || c >= rawByteBase || sizeof(wchar_t) < 4)
            return c;
        auto mapped = static_cast<NameChar>(upper ? facet_->toupper(static_cast<wchar_t>(c))
                                                  : facet_->tolower(static_cast<wchar_t>(c)));
        bool valid = mapped != 0 && mapped < 0x110000 && !(mapped >= 0xD800 && mapped <= 0xDFFF);
        return valid ? mapped : c;
    }

private:
    std::unique_ptr<std::locale> locale_;
    const std::ctype<wchar_t>* facet_ = nullptr;
};

const UnicodeCase& unicodeCase()
{
    static const UnicodeCase instance;
    return instance;
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

bool isAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

NameChar CaseMap::upperBeyondAscii(NameChar c) const
{
    switch (charset_) {
    case Charset::Windows1252:
        return cp1252Upper(c);
    case Charset::Utf8:
        return unicodeCase().map(c, true);
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
        return unicodeCase().map(c, false);
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
