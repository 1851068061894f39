#include "proper_case.h"

#include "statement/text.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace scrivane {

namespace {

// The rules read as passes over the whole text: lower case, capitals after a space
// or a hyphen, then the beginnings " D'", " O'", " Mc", " Von", " Mac", " Fitz",
// " llc " and " inc ", each tried at every space. Here they come to one pass that
// lowers the letters and one over the spaces and hyphens, because every beginning
// stays inside one word: it is tried only at a space, it reads the word's first
// letters as the capitals left them and the character after the word (a space,
// or the end), and it changes letters of that word alone. No two beginnings
// match the same word, as each needs other letters at its start, so their order
// does not matter either. This holds because no character changes case into a
// space or a hyphen, or out of one; the fuzzers check the conversion against the
// passes as written.

template <class Char>
bool startsWith(const Char* word, std::size_t n, std::string_view ascii)
{
    if (n < ascii.size())
        return false;
    for (std::size_t k = 0; k < ascii.size(); ++k) {
        if (word[k] != Char(ascii[k]))
            return false;
    }
    return true;
}

// The beginnings of one word whose letters are already lower case with their
// capitals: the word ends before a space or at the end of the text.
template <class Char, class Map>
void markBeginning(Char* word, std::size_t n, const Map& map)
{
    const auto upperAt = [&](std::size_t k) {
        if (k < n)
            word[k] = map.upper(word[k]);
    };
    switch (word[0]) {
    case Char('D'):
    case Char('O'):
        if (startsWith(word + 1, n - 1, "'"))
            upperAt(2);
        return;
    case Char('M'):
        if (startsWith(word, n, "Mc"))
            upperAt(2);
        else if (startsWith(word, n, "Mac"))
            upperAt(3);
        return;
    case Char('V'):
        if (startsWith(word, n, "Von")) {
            upperAt(3);
            word[0] = Char('v');
        }
        return;
    case Char('F'):
        if (startsWith(word, n, "Fitz"))
            upperAt(4);
        return;
    default:
        break;
    }
    // LLC and INC as whole words; the test lowers the word, so "İnc" counts too.
    if (n == 3) {
        const Char lowered[3] = {map.lower(word[0]), map.lower(word[1]), map.lower(word[2])};
        if (startsWith(lowered, 3, "llc") || startsWith(lowered, 3, "inc")) {
            for (std::size_t k = 0; k < 3; ++k)
                word[k] = map.upper(word[k]);
        }
    }
}

// With every letter in lower case: a capital first and after every space or
// hyphen, and each word's beginning once the capitals inside it are in. The
// separators are handed over in order.
template <class Char, class Map>
class Capitals
{
public:
    Capitals(Char* s, std::size_t n, const Map& map)
        : s_(s)
        , n_(n)
        , map_(map)
    {
        if (n > 0)
            s[0] = map.upper(s[0]);
    }

    void separator(std::size_t at)
    {
        if (s_[at] == Char(' ')) {
            if (at > wordStart_)
                markBeginning(s_ + wordStart_, at - wordStart_, map_);
            wordStart_ = at + 1;
        }
        if (at + 1 < n_)
            s_[at + 1] = map_.upper(s_[at + 1]);
    }

    void finish()
    {
        if (n_ > wordStart_)
            markBeginning(s_ + wordStart_, n_ - wordStart_, map_);
    }

private:
    Char* s_;
    std::size_t n_;
    const Map& map_;
    std::size_t wordStart_ = 0;
};

// Converts s[0, n), which has no space at either end, in place, one character
// at a time.
template <class Char, class Map>
void properCaseChars(Char* s, std::size_t n, const Map& map)
{
    for (std::size_t i = 0; i < n; ++i)
        s[i] = map.lower(s[i]);
    Capitals<Char, Map> capitals(s, n, map);
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] == Char(' ') || s[i] == Char('-'))
            capitals.separator(i);
    }
    capitals.finish();
}

struct ByteMap
{
    const ByteCase& table;
    char upper(char c) const { return static_cast<char>(table.upper[static_cast<unsigned char>(c)]); }
    char lower(char c) const { return static_cast<char>(table.lower[static_cast<unsigned char>(c)]); }
};

struct CharMap
{
    const CaseMap& map;
    NameChar upper(NameChar c) const { return map.upper(c); }
    NameChar lower(NameChar c) const { return map.lower(c); }
};

// Names are mostly ASCII letters: the bytes are lowered and searched for spaces
// and hyphens eight at a time, as one number whose lowest byte comes first.
constexpr std::uint64_t ones = 0x0101010101010101ull;
constexpr std::uint64_t highBits = ones * 0x80;

std::uint64_t load8(const char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

void store8(char* at, std::uint64_t word)
{
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    std::memcpy(at, &word, sizeof word);
}

// The high bit of each byte that is zero, and of no other.
std::uint64_t zeroBytes(std::uint64_t x)
{
    constexpr std::uint64_t low7 = ones * 0x7F;
    return ~(((x & low7) + low7) | x | low7);
}

// 'A' to 'Z' lowered in eight ASCII bytes (no byte above 0x7F, so no sum carries
// into the next byte).
std::uint64_t asciiLower8(std::uint64_t x)
{
    const std::uint64_t fromA = x + ones * (0x80 - 'A'); // high bit set from 'A' on
    const std::uint64_t pastZ = x + ones * (0x7F - 'Z'); // high bit set past 'Z'
    return x | ((fromA & ~pastZ & highBits) >> 2);
}

void properCaseBytes(char* s, std::size_t n, const ByteMap& map)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t x = load8(s + i);
        if ((x & highBits) == 0) {
            store8(s + i, asciiLower8(x));
        } else {
            for (std::size_t k = i; k < i + 8; ++k)
                s[k] = map.lower(s[k]);
        }
    }
    for (; i < n; ++i)
        s[i] = map.lower(s[i]);

    Capitals<char, ByteMap> capitals(s, n, map);
    i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t x = load8(s + i);
        for (std::uint64_t hits = zeroBytes(x ^ (ones * ' ')) | zeroBytes(x ^ (ones * '-')); hits != 0;
             hits &= hits - 1)
            capitals.separator(i + static_cast<std::size_t>(std::countr_zero(hits)) / 8);
    }
    for (; i < n; ++i) {
        if (s[i] == ' ' || s[i] == '-')
            capitals.separator(i);
    }
    capitals.finish();
}

} // namespace

void properCaseInPlace(std::string& text, Charset charset)
{
    if (charset != Charset::Utf8 || isAscii(text)) {
        properCaseBytes(text.data(), text.size(), ByteMap {ByteCase::of(charset)});
        return;
    }
    // Beyond ASCII a UTF-8 letter and its partner may differ in length: the rules
    // count characters, so they run on code points.
    const CaseMap map(charset);
    std::u32string chars = map.decode(text);
    properCaseChars(chars.data(), chars.size(), CharMap {map});
    text = map.encode(chars);
}

std::string properCase(std::string_view text, Charset charset)
{
    std::string s(trimSpaces(text));
    properCaseInPlace(s, charset);
    return s;
}

} // namespace scrivane
