#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivane {

// One character read from UTF-8: its code point and the number of bytes it took.
struct Utf8Char
{
    char32_t code = 0;
    std::size_t length = 0;
};

// The character at the start of bytes when they start with well-formed UTF-8: no
// overlong form, no surrogate, nothing past U+10FFFF. Length 0 when they don't,
// or when bytes is empty.
constexpr Utf8Char decodeUtf8(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (b0 < 0x80)
        return {b0, 1};
    std::size_t length = 0;
    char32_t code = 0;
    // The second byte's range is where overlong forms, surrogates and code points
    // past U+10FFFF are told apart from the rest.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        code = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        code = b0 & 0x0F;
        low = b0 == 0xE0 ? 0xA0 : 0x80;
        high = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        code = b0 & 0x07;
        low = b0 == 0xF0 ? 0x90 : 0x80;
        high = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (bytes.size() < length)
        return {};
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b1 < low || b1 > high)
        return {};
    code = (code << 6) | (b1 & 0x3F);
    for (std::size_t k = 2; k < length; ++k) {
        const auto b = static_cast<unsigned char>(bytes[k]);
        if ((b & 0xC0) != 0x80)
            return {};
        code = (code << 6) | (b & 0x3F);
    }
    return {code, length};
}

// Whether bytes are well-formed UTF-8 throughout; ASCII is.
constexpr bool isWellFormedUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = decodeUtf8(bytes.substr(i)).length;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// Appends code's UTF-8 form; code is taken to be a code point (at most U+10FFFF).
inline void appendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

} // namespace scrivane
