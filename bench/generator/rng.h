#pragma once

#include <cstdint>
#include <string_view>

namespace scrivane::gen {

// xoshiro256** seeded through splitmix64. The standard distributions differ
// between library implementations, so every draw is made here by hand: the same
// seed gives the same statement on every platform.
class Rng
{
public:
    explicit Rng(std::uint64_t seed)
    {
        for (std::uint64_t& word : state_) {
            seed += 0x9E3779B97F4A7C15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t next()
    {
        const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 45);
        return result;
    }

    // A whole number in [0, n). The modulo bias is far below anything a statement shows.
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : (next() >> 11) % n; }

    // A whole number in [lo, hi].
    long long between(long long lo, long long hi)
    {
        return lo + static_cast<long long>(below(static_cast<std::uint64_t>(hi - lo) + 1));
    }

    // True with the given chance in percent.
    bool percent(unsigned chance) { return below(100) < chance; }

    template <class T, std::size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[below(N)];
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t state_[4] {};
};

} // namespace scrivane::gen
