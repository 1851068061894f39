#include "segment_list.h"

#include <algorithm>
#include <cstring>

namespace scrivane {

namespace {
constexpr std::size_t minBlockSize = 64 * 1024;
}

SegmentList::SegmentList()
{
    items_.emplace_back();
}

void SegmentList::reset()
{
    items_.clear();
    items_.emplace_back();
    blocks_.clear();
    blockUsed_ = 0;
    blockSize_ = 0;
}

std::string_view SegmentList::store(std::string_view text)
{
    if (text.empty())
        return {};
    // Rewritten names are small and many: carve them out of large blocks, which
    // never move, so earlier views stay valid.
    if (blocks_.empty() || blockSize_ - blockUsed_ < text.size()) {
        blockSize_ = std::max(minBlockSize, text.size());
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        blockUsed_ = 0;
    }
    char* dest = blocks_.back().get() + blockUsed_;
    std::memcpy(dest, text.data(), text.size());
    blockUsed_ += text.size();
    return {dest, text.size()};
}

void SegmentList::set(std::size_t i, std::string_view text)
{
    items_[i] = store(text);
}

std::size_t SegmentList::joinedSize() const
{
    std::size_t n = 0;
    for (std::string_view piece : items_)
        n += piece.size();
    return n;
}

std::string SegmentList::join() const
{
    std::string out;
    out.reserve(joinedSize());
    forEachPiece([&out](std::string_view piece) { out.append(piece); });
    return out;
}

void splitTagSegments(std::string_view text, SegmentList& segments)
{
    segments.reset();
    if (!text.empty())
        segments.reserve(2 + static_cast<std::size_t>(std::count(text.begin() + 1, text.end(), '<')));
    std::size_t start = 0;
    // A "<" at the very start of what remains never ends a segment, so the search
    // always begins one character further on.
    for (;;) {
        std::size_t next = start + 1 < text.size() ? text.find('<', start + 1) : std::string_view::npos;
        if (next == std::string_view::npos)
            break;
        segments.append(text.substr(start, next - start));
        start = next;
    }
    segments.append(text.substr(std::min(start, text.size())));
}

std::string joinSegments(const SegmentList& segments)
{
    return segments.join();
}

} // namespace scrivane
