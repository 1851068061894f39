#pragma once

#include "names/name_options.h"
#include "statement/compat.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace scrivane::fuzz {

// Reads a fuzzer's input front to back: a few leading bytes choose the
// configuration, the rest is the text under test.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    {
    }

    std::uint8_t byte()
    {
        if (rest_.empty())
            return 0;
        auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }

    std::string_view take(std::size_t n)
    {
        std::string_view piece = rest_.substr(0, n);
        rest_.remove_prefix(piece.size());
        return piece;
    }

    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// The run configuration at the front of a statement input:
//   byte 0: bit 0 mixedCase, bit 1 removeDates, bit 2 removeNumbers,
//           bit 3 removeRepeat, bits 4-5 target (0 QuickBooks, 1 Quicken, else Other)
//   byte 1: length of the omit list, which follows
// A seed made from a statement file therefore starts with "\x0f\x09CHECK REF".
struct RunConfig
{
    NameOptions options;
    Target target = Target::Other;
};

inline RunConfig readRunConfig(FuzzInput& in)
{
    RunConfig config;
    const std::uint8_t flags = in.byte();
    config.options.mixedCase = flags & 0x01;
    config.options.removeDates = flags & 0x02;
    config.options.removeNumbers = flags & 0x04;
    config.options.removeRepeat = flags & 0x08;
    switch ((flags >> 4) & 0x03) {
    case 0:
        config.target = Target::QuickBooks;
        break;
    case 1:
        config.target = Target::Quicken;
        break;
    default:
        config.target = Target::Other;
        break;
    }
    config.options.omitWords = std::string(in.take(in.byte()));
    return config;
}

} // namespace scrivane::fuzz
