#include "check_values.h"

#include "statement_check.h"
#include "text.h"
#include "utf8.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scrivane {

namespace check {

bool allDigits(std::string_view s)
{
    for (char c : s) {
        if (!isDigit(c))
            return false;
    }
    return !s.empty();
}

int number(std::string_view digits)
{
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

std::string headerField(std::string_view header, std::string_view key)
{
    std::size_t pos = 0;
    while ((pos = header.find(key, pos)) != std::string_view::npos) {
        const bool lineStart = pos == 0 || header[pos - 1] == '\n' || header[pos - 1] == '\r';
        const std::size_t colon = pos + key.size();
        pos = colon;
        if (!lineStart || colon >= header.size() || header[colon] != ':')
            continue;
        const std::size_t end = header.find_first_of("\r\n<", colon);
        return std::string(trimBlanks(header.substr(colon + 1, end == std::string_view::npos ? end : end - colon - 1)));
    }
    return {};
}

bool isLatinName(std::string_view name)
{
    return name == "1252" || name == "WINDOWS-1252" || name == "CP1252" || name == "ISO-8859-1" || name == "8859-1"
        || name == "ISO8859-1" || name == "LATIN1" || name == "LATIN-1";
}

// The encoding an XML declaration names; UTF-8 when it names none.
Declared xmlDeclared(std::string_view declaration)
{
    const std::string decl = upperAscii(declaration);
    const std::size_t enc = decl.find("ENCODING");
    if (enc == std::string::npos)
        return Declared::Utf8;
    const std::size_t quote = decl.find_first_of("\"'", enc);
    const std::size_t close = quote == std::string::npos ? quote : decl.find(decl[quote], quote + 1);
    const std::string name = close == std::string::npos ? "" : decl.substr(quote + 1, close - quote - 1);
    if (name.empty() || name == "UTF-8" || name == "UTF8")
        return Declared::Utf8;
    return isLatinName(name) ? Declared::Latin : Declared::Ascii;
}

// The offset of the first byte at or after from that is 0x80 or above, or npos.
std::size_t firstHighByte(std::string_view text, std::size_t from)
{
    std::size_t i = from;
#if defined(__SSE2__)
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        if (const auto high = static_cast<unsigned>(_mm_movemask_epi8(block)); high != 0)
            return i + static_cast<std::size_t>(std::countr_zero(high));
    }
#endif
    while (i + 8 <= text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, sizeof word);
        if ((word & 0x8080808080808080ull) != 0)
            break;
        i += 8;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return i;
    }
    return std::string_view::npos;
}

namespace {

#if !defined(__SSE2__)

constexpr std::uint64_t ones = 0x0101010101010101ull;
constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;

// The high bit of each byte is set exactly where word holds byte.
std::uint64_t bytesEqual(std::uint64_t word, char byte)
{
    const std::uint64_t v = word ^ (ones * static_cast<unsigned char>(byte));
    return ~(((v & low7) + low7) | v | low7);
}

std::size_t countHighBits(std::uint64_t t)
{
    // Each byte of t >> 7 is 0 or 1; the multiplication sums them into the top byte.
    return static_cast<std::size_t>(((t >> 7) * ones) >> 56);
}

#else

// The line ends among sixteen bytes, one byte counter each (0 or -1 per byte);
// next holds the same bytes one place on, to tell CR LF from CR alone.
__m128i lineEndsIn(__m128i block, __m128i next)
{
    const __m128i lf = _mm_cmpeq_epi8(block, _mm_set1_epi8('\n'));
    const __m128i cr = _mm_cmpeq_epi8(block, _mm_set1_epi8('\r'));
    const __m128i crlf = _mm_and_si128(cr, _mm_cmpeq_epi8(next, _mm_set1_epi8('\n')));
    return _mm_or_si128(lf, _mm_andnot_si128(crlf, cr));
}

std::size_t sumOfCounters(__m128i counters)
{
    const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
}

#endif

} // namespace

std::size_t countLineBreaks(std::string_view text)
{
    // LF, CR LF and CR alone each end a line: every LF, and every CR that no LF
    // follows. Lines are counted for every transaction and a statement may have
    // millions, so sixteen bytes go at a step where the processor allows it.
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const char* p = text.data();
    const std::size_t n = text.size();
    while (i + 17 <= n) {
        // Byte counters hold up to 255 before they are summed.
        __m128i counters = _mm_setzero_si128();
        for (int step = 0; step < 255 && i + 17 <= n; ++step, i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
            counters = _mm_sub_epi8(counters, lineEndsIn(block, next));
        }
        count += sumOfCounters(counters);
    }
    // The last sixteen bytes or fewer, from a copy padded with zeros: a CR at
    // the very end is followed by nothing, so it ends a line.
    alignas(16) char rest[32] = {};
    if (n > i)
        std::memcpy(rest, p + i, n - i);
    const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(rest));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rest + 1));
    return count + sumOfCounters(_mm_sub_epi8(_mm_setzero_si128(), lineEndsIn(block, next)));
#else
    for (; i + 9 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::uint64_t next = 0; // the same bytes one place on
        std::memcpy(&word, text.data() + i, sizeof word);
        std::memcpy(&next, text.data() + i + 1, sizeof next);
        const std::uint64_t cr = bytesEqual(word, '\r');
        count += countHighBits(bytesEqual(word, '\n')) + countHighBits(cr) - countHighBits(cr & bytesEqual(next, '\n'));
    }
    for (; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++count;
    }
    return count;
#endif
}

// Where text stops being valid UTF-8, or npos when it all is.
std::size_t firstInvalidUtf8(std::string_view text)
{
    std::size_t i = firstHighByte(text, 0);
    while (i != std::string_view::npos) {
        const std::size_t length = decodeUtf8(text.substr(i)).length;
        if (length == 0)
            return i;
        i = firstHighByte(text, i + length);
    }
    return std::string_view::npos;
}

// Characters of a value as the target counts them: an entity or character
// reference is one, and so is each UTF-8 sequence where the statement declares UTF-8.
std::size_t characterCount(std::string_view value, bool utf8)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (utf8 && (c & 0xC0) == 0x80)
            continue;
        if (c == '&') {
            const std::size_t semi = value.find(';', i);
            if (semi != std::string_view::npos && semi - i <= 10)
                i = semi;
        }
        ++count;
    }
    return count;
}

// What may follow "&" in the SGML form: the three entities OFX defines and
// numeric character references.
bool startsReference(std::string_view rest)
{
    if (rest.starts_with("&amp;") || rest.starts_with("&lt;") || rest.starts_with("&gt;"))
        return true;
    if (!rest.starts_with("&#"))
        return false;
    std::size_t i = 2;
    const bool hex = i < rest.size() && (rest[i] == 'x' || rest[i] == 'X');
    if (hex)
        ++i;
    const std::size_t first = i;
    while (i < rest.size() && (isDigit(rest[i]) || (hex && std::isxdigit(static_cast<unsigned char>(rest[i])))))
        ++i;
    return i > first && i < rest.size() && rest[i] == ';';
}

} // namespace check

using namespace check;

bool isOfxDate(std::string_view value)
{
    // YYYYMMDD, YYYYMMDDHHMMSS or YYYYMMDDHHMMSS.XXX, then [+-h[.mm][:ZONE]].
    // Read left to right in one go: a date is checked for every transaction.
    std::size_t digits = 0;
    while (digits < value.size() && isDigit(value[digits]))
        ++digits;
    if (digits != 8 && digits != 14)
        return false;
    std::size_t end = digits;
    if (end < value.size() && value[end] == '.') {
        if (digits != 14 || value.size() < end + 4 || !allDigits(value.substr(end + 1, 3)))
            return false;
        end += 4;
    }
    if (end < value.size() && value[end] != '[')
        return false;
    const std::string_view rest = value.substr(0, digits);
    const std::string_view zone = value.substr(end);
    const int month = number(rest.substr(4, 2));
    const int day = number(rest.substr(6, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    if (rest.size() == 14
        && (number(rest.substr(8, 2)) > 23 || number(rest.substr(10, 2)) > 59 || number(rest.substr(12, 2)) > 60))
        return false;
    if (zone.empty())
        return true;
    if (zone.size() < 3 || zone.back() != ']')
        return false;
    std::string_view inner = zone.substr(1, zone.size() - 2);
    std::string_view name;
    if (const std::size_t colon = inner.find(':'); colon != std::string_view::npos) {
        name = inner.substr(colon + 1);
        inner = inner.substr(0, colon);
        if (name.empty() || !std::all_of(name.begin(), name.end(), isLetter))
            return false;
    }
    if (!inner.empty() && (inner.front() == '+' || inner.front() == '-'))
        inner.remove_prefix(1);
    const std::size_t dot = inner.find('.');
    const std::string_view hours = inner.substr(0, dot);
    return allDigits(hours) && hours.size() <= 2 && (dot == std::string_view::npos || allDigits(inner.substr(dot + 1)));
}

bool isOfxAmount(std::string_view value)
{
    if (value.empty() || value.size() > 32)
        return false;
    std::string_view rest = value;
    if (rest.front() == '+' || rest.front() == '-')
        rest.remove_prefix(1);
    bool digit = false;
    bool radix = false;
    for (char c : rest) {
        if (isDigit(c)) {
            digit = true;
        } else if ((c == '.' || c == ',') && !radix) {
            radix = true;
        } else {
            return false;
        }
    }
    return digit;
}

} // namespace scrivane
