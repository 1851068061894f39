#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// The tag segments of a statement: element 0 is always empty, and every later
// element but the first begins with "<" and runs up to the next "<". Joining the
// elements gives the statement back byte for byte.
//
// Elements are views. Untouched segments point into the statement text that was
// split, so that text must outlive the list; rewritten segments point into storage
// that the list owns. A statement of millions of segments therefore costs one view
// per segment and no copy of its text.
class SegmentList
{
public:
    SegmentList();
    SegmentList(const SegmentList&) = delete;
    SegmentList& operator=(const SegmentList&) = delete;
    SegmentList(SegmentList&&) noexcept = default;
    SegmentList& operator=(SegmentList&&) noexcept = default;

    std::size_t size() const { return items_.size(); }
    std::string_view operator[](std::size_t i) const { return items_[i]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    // Copies text into storage owned by the list.
    void set(std::size_t i, std::string_view text);
    // Stores a view as it is: for moving elements within the list, or for text
    // that outlives the list (literals, the split statement).
    void setView(std::size_t i, std::string_view text) { items_[i] = text; }
    void clearAt(std::size_t i) { items_[i] = {}; }

    // Makes the list hold only element 0 and drops owned storage.
    void reset();
    void append(std::string_view text) { items_.push_back(text); }
    void reserve(std::size_t n) { items_.reserve(n); }

    std::size_t joinedSize() const;
    std::string join() const;

    // Hands the joined text to sink(std::string_view) piece by piece, in order,
    // so that a caller can write the output without building a second copy.
    template <class Sink>
    void forEachPiece(Sink&& sink) const
    {
        for (std::string_view piece : items_) {
            if (!piece.empty())
                sink(piece);
        }
    }

private:
    std::string_view store(std::string_view text);

    std::vector<std::string_view> items_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
};

// Cuts text into the list, replacing its content. The list's views point into text.
void splitTagSegments(std::string_view text, SegmentList& segments);

std::string joinSegments(const SegmentList& segments);

} // namespace scrivane
