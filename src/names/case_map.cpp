#include "case_map.h"

#include <locale>
#include <memory>
#include <utility>

namespace scrivane {

namespace {

NameChar asciiUpperChar(NameChar c)
{
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

NameChar asciiLowerChar(NameChar c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

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
        return asciiUpperChar(c);
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
        return asciiLowerChar(c);
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
            return upper ? asciiUpperChar(c) : asciiLowerChar(c);
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
    // Windows-1252 bytes 0x80 to 0x9F; U+00A0 to U+00FF keep their own values.
    static constexpr std::pair<NameChar, char> upperHalf[] = {
        {0x20AC, '\x80'}, {0x201A, '\x82'}, {0x0192, '\x83'}, {0x201E, '\x84'}, {0x2026, '\x85'}, {0x2020, '\x86'},
        {0x2021, '\x87'}, {0x02C6, '\x88'}, {0x2030, '\x89'}, {0x0160, '\x8A'}, {0x2039, '\x8B'}, {0x0152, '\x8C'},
        {0x017D, '\x8E'}, {0x2018, '\x91'}, {0x2019, '\x92'}, {0x201C, '\x93'}, {0x201D, '\x94'}, {0x2022, '\x95'},
        {0x2013, '\x96'}, {0x2014, '\x97'}, {0x02DC, '\x98'}, {0x2122, '\x99'}, {0x0161, '\x9A'}, {0x203A, '\x9B'},
        {0x0153, '\x9C'}, {0x017E, '\x9E'}, {0x0178, '\x9F'},
    };
    std::string out;
    out.reserve(utf8.size());
    for (NameChar c : CaseMap(Charset::Utf8).decode(utf8)) {
        if (c >= rawByteBase) {
            out.push_back(static_cast<char>(c - rawByteBase));
        } else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
        } else {
            char byte = '<';
            for (const auto& [code, value] : upperHalf) {
                if (code == c)
                    byte = value;
            }
            out.push_back(byte);
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
    return asciiUpperChar(c);
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
    return asciiLowerChar(c);
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
        auto b0 = static_cast<unsigned char>(text[i]);
        std::size_t len = 0;
        NameChar cp = 0;
        NameChar min = 0;
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        } else if ((b0 & 0xE0) == 0xC0) {
            len = 2, cp = b0 & 0x1F, min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3, cp = b0 & 0x0F, min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4, cp = b0 & 0x07, min = 0x10000;
        }
        bool ok = len > 0 && i + len <= text.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            auto b = static_cast<unsigned char>(text[i + k]);
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        ok = ok && cp >= min && cp < 0x110000 && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (ok) {
            out.push_back(cp);
            i += len;
        } else {
            out.push_back(rawByteBase + b0);
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
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string CaseMap::lowerText(std::string_view text) const
{
    if (charset_ == Charset::Ascii || isAscii(text)) {
        std::string out(text);
        for (char& c : out)
            c = static_cast<char>(asciiLowerChar(static_cast<unsigned char>(c)));
        return out;
    }
    std::u32string chars = decode(text);
    for (NameChar& c : chars)
        c = lower(c);
    return encode(chars);
}

} // namespace scrivane
