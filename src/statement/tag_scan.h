#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Finding the "<" of a statement. A statement has one every twenty bytes or so,
// too close together for a memchr per tag to pay: these look at many bytes at a
// time, sixteen with SSE2 (every x86-64 processor has it), else eight.

namespace scrivane::tag_scan {

// Hands the place of every "<" in text from from on to visit(at), in order, until
// visit returns true; returns that place, or the text's size.
template <class Visit>
std::size_t forEachTag(std::string_view text, std::size_t from, Visit&& visit)
{
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i tags = _mm_set1_epi8('<');
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        for (auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tags))); hits != 0;
             hits &= hits - 1) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(hits));
            if (visit(at))
                return at;
        }
    }
#else
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t tags = 0x3C3C3C3C3C3C3C3Cull; // "<" in every byte
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = 0;
        for (int k = 0; k < 8; ++k)
            word |= std::uint64_t(static_cast<unsigned char>(data[i + k])) << (8 * k);
        const std::uint64_t t = word ^ tags;
        // The high bit of each byte that was "<", and of no other.
        for (std::uint64_t hits = ~(((t & low7) + low7) | t | low7); hits != 0; hits &= hits - 1) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
            if (visit(at))
                return at;
        }
    }
#endif
    for (; i < size; ++i) {
        if (data[i] == '<' && visit(i))
            return i;
    }
    return size;
}

// The first "<" in text between from and limit (not included) whose next byte is
// second, an ASCII letter there matching in either case; limit when there is
// none. passed grows by the number of other "<" before it. The byte after a "<"
// is read from the whole text, also where it lies at or past limit.
inline std::size_t
findTagFollowedBy(std::string_view text, std::size_t from, std::size_t limit, char second, std::size_t& passed)
{
    const bool letter = (second >= 'A' && second <= 'Z') || (second >= 'a' && second <= 'z');
    const auto wanted = static_cast<unsigned char>(letter ? second | 0x20 : second);
    const unsigned char fold = letter ? 0x20 : 0;
    const char* const data = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    // Both bytes of a pair are compared sixteen places at a time: the "<" in one
    // block and the byte after it in the same block read one byte further on.
    const __m128i tags = _mm_set1_epi8('<');
    const __m128i folds = _mm_set1_epi8(static_cast<char>(fold));
    const __m128i wants = _mm_set1_epi8(static_cast<char>(wanted));
    for (; i + 16 <= limit && i + 17 <= text.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto lts = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tags)));
        if (lts == 0)
            continue;
        const __m128i after = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1)), folds);
        const unsigned pairs = lts & static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(after, wants)));
        if (pairs != 0) {
            const int first = std::countr_zero(pairs);
            for (lts &= (1u << first) - 1; lts != 0; lts &= lts - 1)
                ++passed;
            return i + static_cast<std::size_t>(first);
        }
        for (; lts != 0; lts &= lts - 1)
            ++passed;
    }
#endif
    const std::size_t found = forEachTag(text.substr(0, limit), i, [&](std::size_t at) {
        if (at + 1 < text.size() && (static_cast<unsigned char>(data[at + 1]) | fold) == wanted)
            return true;
        ++passed;
        return false;
    });
    return found;
}

} // namespace scrivane::tag_scan
