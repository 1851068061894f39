#include "segment_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace scrivane {

namespace {

constexpr std::size_t minBlockSize = 64 * 1024;

std::size_t nextTag(std::string_view text, std::size_t from)
{
    if (from >= text.size())
        return text.size();
    const void* hit = std::memchr(text.data() + from, '<', text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : text.size();
}

} // namespace

SegmentList::SegmentList() = default;

void SegmentList::reset()
{
    text_ = {};
    count_ = 1;
    marks_.clear();
    changes_.clear();
    changed_.clear();
    blocks_.clear();
    blockUsed_ = 0;
    blockSize_ = 0;
    shifted_ = false;
    slot_ = 0;
    slotRecord_ = noRecord;
    cursor_ = 1;
    cursorStart_ = 0;
    cursorEnd_ = 0;
}

void splitTagSegments(std::string_view text, SegmentList& segments)
{
    segments.reset();
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    segments.text_ = text;
    // Element 1 starts the text; every "<" after its first character starts the
    // next element.
    std::size_t count = 2;
    segments.marks_.push_back(0);
    for (std::size_t at = nextTag(text, 1); at < text.size(); at = nextTag(text, at + 1)) {
        if (count % SegmentList::markEvery == 0)
            segments.marks_.push_back(static_cast<std::uint32_t>(at));
        ++count;
    }
    segments.count_ = count;
    segments.cursor_ = 1;
    segments.cursorStart_ = 0;
    segments.cursorEnd_ = nextTag(text, 1);
}

void SegmentList::locate(std::size_t p) const
{
    if (p == cursor_)
        return;
    std::size_t at;
    std::size_t k;
    if (p == cursor_ + 1) {
        k = p;
        at = cursorEnd_;
    } else if (p > cursor_ && p - cursor_ < markEvery) {
        k = cursor_;
        at = cursorStart_;
    } else {
        k = std::max<std::size_t>(1, p / markEvery * markEvery);
        at = marks_[p / markEvery];
    }
    for (; k < p; ++k)
        at = nextTag(text_, at + 1);
    cursor_ = p;
    cursorStart_ = at;
    cursorEnd_ = nextTag(text_, at + 1);
}

const SegmentList::Change* SegmentList::findChange(std::size_t p) const
{
    if (changed_.empty() || !(changed_[p / 64] >> (p % 64) & 1))
        return nullptr;
    // Segments are mostly asked for in order: the change after the one found last
    // is then the one, without a search.
    for (std::size_t k : {changeHint_ + 1, changeHint_}) {
        if (k < changes_.size() && changes_[k].index == p) {
            changeHint_ = k;
            return &changes_[k];
        }
    }
    auto it = std::lower_bound(
        changes_.begin(), changes_.end(), p, [](const Change& c, std::size_t index) { return c.index < index; });
    changeHint_ = static_cast<std::size_t>(it - changes_.begin());
    return &*it;
}

std::string_view SegmentList::operator[](std::size_t i) const
{
    if (shifted_ && i == slot_)
        return recordText(slotRecord_);
    const std::size_t p = physical(i);
    if (const Change* c = findChange(p))
        return recordText(c->record);
    if (p == 0)
        return {};
    locate(p);
    return text_.substr(cursorStart_, cursorEnd_ - cursorStart_);
}

std::pair<std::size_t, std::size_t> SegmentList::placeInText(std::size_t i) const
{
    const std::size_t p = physical(i);
    if ((shifted_ && i == slot_) || findChange(p) || p == 0)
        return {std::string_view::npos, std::string_view::npos};
    locate(p);
    return {cursorStart_, cursorEnd_};
}

std::uint32_t SegmentList::storeRecord(std::string_view head, std::string_view tail)
{
    const std::size_t size = head.size() + tail.size();
    if (size == 0)
        return noRecord;
    unsigned char length[10];
    std::size_t lengthBytes = 0;
    for (std::size_t n = size;; n >>= 7) {
        length[lengthBytes++] = static_cast<unsigned char>((n & 0x7F) | (n > 0x7F ? 0x80 : 0));
        if (n <= 0x7F)
            break;
    }
    const std::size_t need = lengthBytes + size;
    if (blocks_.empty() || blockSize_ - blockUsed_ < need) {
        // head and tail may be views of an earlier record: blocks never move, so
        // they stay readable while a new block is added.
        blockSize_ = std::max(minBlockSize, need);
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        blockUsed_ = 0;
        if (blocks_.size() >= std::numeric_limits<std::uint32_t>::max() / minBlockSize)
            throw std::bad_alloc();
    }
    // A block of its own for a long text starts at offset 0, so a record is
    // always a block number and an offset below minBlockSize.
    const std::size_t offset = blockUsed_;
    char* dest = blocks_.back().get() + offset;
    std::memcpy(dest, length, lengthBytes);
    if (!head.empty())
        std::memcpy(dest + lengthBytes, head.data(), head.size());
    if (!tail.empty())
        std::memcpy(dest + lengthBytes + head.size(), tail.data(), tail.size());
    blockUsed_ += need;
    if (blockSize_ > minBlockSize)
        blockUsed_ = blockSize_; // nothing else goes into a text's own block
    return static_cast<std::uint32_t>((blocks_.size() - 1) * minBlockSize + offset);
}

std::string_view SegmentList::recordText(std::uint32_t record) const
{
    if (record == noRecord)
        return {};
    const auto* at
        = reinterpret_cast<const unsigned char*>(blocks_[record / minBlockSize].get() + record % minBlockSize);
    std::size_t size = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char byte = *at++;
        size |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            break;
    }
    return {reinterpret_cast<const char*>(at), size};
}

void SegmentList::change(std::size_t i, std::uint32_t record)
{
    if (shifted_ && i == slot_) {
        slotRecord_ = record;
        return;
    }
    const std::size_t p = physical(i);
    if (changed_.empty())
        changed_.assign(count_ / 64 + 1, 0);
    changed_[p / 64] |= std::uint64_t(1) << (p % 64);
    const Change entry {static_cast<std::uint32_t>(p), record};
    if (changes_.empty() || changes_.back().index < p) {
        changes_.push_back(entry);
        return;
    }
    auto it = std::lower_bound(
        changes_.begin(), changes_.end(), p, [](const Change& c, std::size_t index) { return c.index < index; });
    if (it != changes_.end() && it->index == p)
        it->record = record;
    else
        changes_.insert(it, entry);
}

void SegmentList::set(std::size_t i, std::string_view text)
{
    change(i, storeRecord(text, {}));
}

void SegmentList::set(std::size_t i, std::string_view head, std::string_view tail)
{
    change(i, storeRecord(head, tail));
}

void SegmentList::clearAt(std::size_t i)
{
    change(i, noRecord);
}

void SegmentList::moveFrontOver(std::size_t before)
{
    if (before == 0 || before > count_)
        return;
    if (shifted_) {
        // A second move is rare enough to be done one element at a time.
        for (std::size_t i = 0; i + 1 < before; ++i)
            set(i, (*this)[i + 1]);
        clearAt(before - 1);
        return;
    }
    // Element 0's old content is overwritten by element 1.
    if (!changes_.empty() && changes_.front().index == 0) {
        changes_.pop_front();
        changed_[0] &= ~std::uint64_t(1);
    }
    shifted_ = true;
    slot_ = before - 1;
    slotRecord_ = noRecord;
}

std::size_t SegmentList::joinedSize() const
{
    std::size_t n = 0;
    forEachRun([&n](std::string_view piece) { n += piece.size(); });
    return n;
}

std::string SegmentList::join() const
{
    std::string out;
    out.reserve(joinedSize());
    forEachPiece([&out](std::string_view piece) { out.append(piece); });
    return out;
}

std::string joinSegments(const SegmentList& segments)
{
    return segments.join();
}

} // namespace scrivane
