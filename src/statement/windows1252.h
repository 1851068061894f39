#pragma once

#include <optional>

namespace scrivane {

// Windows-1252 where it differs from Latin-1: the bytes 0x80 to 0x9F. The five
// bytes it leaves undefined keep their Latin-1 meaning, as Windows itself does.
inline constexpr char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The character a Windows-1252 byte stands for.
constexpr char16_t fromWindows1252(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? windows1252High[byte - 0x80] : char16_t(byte);
}

// The Windows-1252 byte of a character, when the set defines one for it. The five
// undefined bytes have no character, so the control characters U+0081, U+008D,
// U+008F, U+0090 and U+009D have no byte.
constexpr std::optional<char> toWindows1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (unsigned byte = 0x80; byte <= 0x9F; ++byte) {
        const char16_t code = windows1252High[byte - 0x80];
        if (code == c && code != byte)
            return static_cast<char>(byte);
    }
    return std::nullopt;
}

} // namespace scrivane
