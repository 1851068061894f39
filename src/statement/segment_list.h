#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// The tag segments of a statement: element 0 is always empty, and every later
// element but the first begins with "<" and runs up to the next "<". Joining the
// elements gives the statement back byte for byte.
//
// The list does not hold one entry per segment: a segment that was never changed
// is found again in the split text (every "<" starts one), with a mark every few
// segments so that finding one costs a few short searches, and only changed
// segments are kept, in index order. A statement of millions of segments therefore
// costs little beyond its own text, and runs of untouched segments are handed to a
// writer as one piece. The split text must outlive the list.
//
// A view returned by the list stays valid until the list is next changed.
class SegmentList
{
public:
    SegmentList();
    SegmentList(const SegmentList&) = delete;
    SegmentList& operator=(const SegmentList&) = delete;
    SegmentList(SegmentList&&) noexcept = default;
    SegmentList& operator=(SegmentList&&) noexcept = default;

    std::size_t size() const { return count_; }
    std::string_view operator[](std::size_t i) const;

    class Iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        Iterator() = default;
        Iterator(const SegmentList* list, std::size_t i)
            : list_(list)
            , i_(i)
        {
        }
        std::string_view operator*() const { return (*list_)[i_]; }
        Iterator& operator++()
        {
            ++i_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++i_;
            return before;
        }
        bool operator==(const Iterator& other) const { return i_ == other.i_; }

    private:
        const SegmentList* list_ = nullptr;
        std::size_t i_ = 0;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, count_}; }

    // Copies text into storage owned by the list; text may be a view of the list.
    void set(std::size_t i, std::string_view text);
    // The same with the element written as two parts, so that a caller needs no
    // buffer of its own to put them together.
    void set(std::size_t i, std::string_view head, std::string_view tail);
    void setView(std::size_t i, std::string_view text) { set(i, text); }
    void clearAt(std::size_t i);

    // Elements 1 to before - 1 move one place towards the front, over element 0,
    // and element before - 1 becomes empty: room for one new element in front of
    // element before, for the cost of one change however many elements move. The
    // bank identifier needs one such place in a statement, so a list makes room
    // once between two splits; a second call throws std::logic_error.
    void moveFrontOver(std::size_t before);

    // The first element from index from on whose text begins with prefix, ASCII
    // letters compared without regard to case; size() when there is none. prefix
    // holds no "<" but at its start. One pass over the text finds it, without
    // building the elements passed over: the payee names of a statement are
    // found this way, for a fraction of asking for every element in turn.
    std::size_t findStartingWith(std::size_t from, std::string_view prefix) const;

    // Makes the list hold only element 0 and drops everything else.
    void reset();

    std::size_t joinedSize() const;
    std::string join() const;

    // Hands the joined text to sink(std::string_view) piece by piece, in order,
    // so that a caller can write the output without building a second copy. Runs
    // of unchanged segments come as one piece; no piece is empty.
    template <class Sink>
    void forEachPiece(Sink&& sink) const
    {
        forEachRun([&sink](std::string_view piece) {
            if (!piece.empty())
                sink(piece);
        });
    }

    std::string_view text() const { return text_; }

private:
    friend void splitTagSegments(std::string_view text, SegmentList& segments);

    static constexpr std::uint32_t noRecord = 0xFFFFFFFFu;
    static constexpr std::size_t markEvery = 32;

    // A changed segment of the text (element 0 stands in no place of the text and
    // is kept apart). It is known by where it starts, so that the join finds it
    // without counting segments.
    struct Change
    {
        std::uint32_t start; // the segment's first byte in the split text
        std::uint32_t record; // where its new text lies, or noRecord when empty
    };

    template <class Deliver>
    void forEachRun(Deliver&& deliver) const;

    std::size_t physical(std::size_t i) const { return shifted_ && i < slot_ ? i + 1 : i; }
    void locate(std::size_t p) const; // sets the cursor to physical segment p >= 1
    std::size_t startOf(std::size_t p) const
    {
        if (p == 0)
            return 0;
        if (p >= count_)
            return text_.size();
        locate(p);
        return cursorStart_;
    }
    std::size_t endAfter(std::size_t start) const; // where the segment that starts at start ends
    std::uint32_t storeRecord(std::string_view head, std::string_view tail);
    std::string_view recordText(std::uint32_t record) const;
    void change(std::size_t i, std::uint32_t record);
    const Change* findChange(std::size_t p) const; // p >= 1; sets the cursor to p
    std::deque<Change>::const_iterator firstChangeFrom(std::size_t start) const;

    std::string_view text_;
    std::size_t count_ = 1;
    std::vector<std::uint32_t> marks_; // start of segment k * markEvery (segment 1 for k = 0)
    std::uint32_t firstRecord_ = noRecord; // element 0, empty unless set
    std::deque<Change> changes_; // in text order; a deque never copies itself to grow
    std::vector<std::uint64_t> changed_; // one bit per segment, set when it has a Change
    // New texts, each a length (7 bits a byte) and the bytes, in blocks that never
    // move; a record is a block number times blockSize plus an offset. A text too
    // long for a block gets a block of its own.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
    // After moveFrontOver(before): elements below slot_ = before - 1 stand one
    // place further in the text, and the element at slot_ is slotRecord_.
    bool shifted_ = false;
    std::size_t slot_ = 0;
    std::uint32_t slotRecord_ = noRecord;

    // The last segment found: searching from it makes a walk through the list
    // cost one search per segment.
    mutable std::size_t cursor_ = 1;
    mutable std::size_t changeHint_ = 0; // where the last change was found in changes_
    mutable std::size_t cursorStart_ = 0;
    mutable std::size_t cursorEnd_ = 0;
};

// Cuts text into the list, replacing its content. The list looks into text,
// which may be at most 4 GB long.
void splitTagSegments(std::string_view text, SegmentList& segments);

std::string joinSegments(const SegmentList& segments);

template <class Deliver>
void SegmentList::forEachRun(Deliver&& deliver) const
{
    // Unchanged text between changes goes out as it stands; the element that
    // moveFrontOver made room for goes in front of segment slot_ + 1, and the
    // element 0 it moved over is no more.
    if (!shifted_)
        deliver(recordText(firstRecord_));
    std::size_t from = 0;
    bool slotDone = !shifted_;
    const std::size_t slotAt = shifted_ ? startOf(slot_ + 1) : 0;
    auto deliverSlotBefore = [&](std::size_t start) {
        if (slotDone || start < slotAt)
            return;
        deliver(text_.substr(from, slotAt - from));
        deliver(recordText(slotRecord_));
        from = slotAt;
        slotDone = true;
    };
    for (const Change& c : changes_) {
        deliverSlotBefore(c.start);
        deliver(text_.substr(from, c.start - from));
        deliver(recordText(c.record));
        from = endAfter(c.start);
    }
    deliverSlotBefore(text_.size());
    deliver(text_.substr(from));
}

} // namespace scrivane
