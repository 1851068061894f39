#include "segment_list.h"

#include "tag_scan.h"
#include "text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

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
    firstRecord_ = noRecord;
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
    tag_scan::forEachTag(text, 1, [&](std::size_t at) {
        if (count % SegmentList::markEvery == 0)
            segments.marks_.push_back(static_cast<std::uint32_t>(at));
        ++count;
        return false;
    });
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

std::size_t SegmentList::endAfter(std::size_t start) const
{
    return nextTag(text_, start + 1);
}

std::deque<SegmentList::Change>::const_iterator SegmentList::firstChangeFrom(std::size_t start) const
{
    // Names are cleaned front to back, so what is asked for mostly lies past the
    // last change.
    if (changes_.empty() || changes_.back().start < start)
        return changes_.end();
    // A listing after the clean meets a change at every name, each the one after
    // the change met last: that one is tried before a search of them all.
    const std::size_t k = changeHint_ < changes_.size() ? changeHint_ : 0;
    if (changes_[k].start < start) {
        if (changes_[k + 1].start >= start) // there is a k + 1: the last change lies at or past start
            return changes_.begin() + static_cast<std::ptrdiff_t>(k + 1);
    } else if (k == 0 || changes_[k - 1].start < start) {
        return changes_.begin() + static_cast<std::ptrdiff_t>(k);
    }
    return std::lower_bound(
        changes_.begin(), changes_.end(), start, [](const Change& c, std::size_t at) { return c.start < at; });
}

const SegmentList::Change* SegmentList::findChange(std::size_t p) const
{
    locate(p);
    if (changed_.empty() || !(changed_[p / 64] >> (p % 64) & 1))
        return nullptr;
    // Segments are mostly asked for in order: the change after the one found last
    // is then the one, without a search.
    for (std::size_t k : {changeHint_ + 1, changeHint_}) {
        if (k < changes_.size() && changes_[k].start == cursorStart_) {
            changeHint_ = k;
            return &changes_[k];
        }
    }
    auto it = firstChangeFrom(cursorStart_);
    changeHint_ = static_cast<std::size_t>(it - changes_.begin());
    return &*it;
}

std::string_view SegmentList::operator[](std::size_t i) const
{
    if (shifted_ && i == slot_)
        return recordText(slotRecord_);
    const std::size_t p = physical(i);
    if (p == 0)
        return recordText(firstRecord_);
    if (const Change* c = findChange(p))
        return recordText(c->record);
    return text_.substr(cursorStart_, cursorEnd_ - cursorStart_);
}

std::size_t SegmentList::findStartingWith(std::size_t from, std::string_view prefix) const
{
    auto startsWith = [prefix](std::string_view text) { return startsWithNoCase(text, prefix); };
    if (shifted_) {
        // Only the bank identifier moves elements, after the names are done.
        for (std::size_t i = from; i < count_; ++i) {
            if (startsWith((*this)[i]))
                return i;
        }
        return count_;
    }
    std::size_t p = from;
    if (p == 0) {
        if (startsWith(recordText(firstRecord_)))
            return 0;
        p = 1;
    }
    if (p >= count_)
        return count_;
    // Changed segments are met in text order, the next one known in advance; the
    // others are looked at where they stand in the text, up to the next "<", and
    // only where the byte after their "<" is the prefix's second.
    locate(p);
    auto next = firstChangeFrom(cursorStart_);
    constexpr std::size_t none = std::string_view::npos;
    std::size_t changedAt = next == changes_.end() ? none : next->start;
    const char second = prefix.size() > 1 ? asciiUpper(prefix[1]) : 0;
    auto starts = [&](std::size_t at) {
        if (at != changedAt) {
            // No "<" in prefix past its first byte, so the text may be read past
            // the segment's end.
            return (second == 0 || (at + 1 < text_.size() && asciiUpper(text_[at + 1]) == second))
                && startsWith(text_.substr(at));
        }
        const bool found = startsWith(recordText(next->record));
        changeHint_ = static_cast<std::size_t>(next - changes_.begin());
        changedAt = ++next == changes_.end() ? none : next->start;
        return found;
    };
    std::size_t at = cursorStart_;
    while (!starts(at)) {
        const std::size_t limit = std::min(changedAt, text_.size());
        std::size_t passed = 0;
        at = second == 0 ? nextTag(text_, at + 1) : tag_scan::findTagFollowedBy(text_, at + 1, limit, second, passed);
        if (at >= text_.size())
            return count_;
        p += passed + 1;
    }
    cursor_ = p;
    cursorStart_ = at;
    cursorEnd_ = nextTag(text_, at + 1);
    return p;
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
    if (p == 0) {
        firstRecord_ = record;
        return;
    }
    if (changed_.empty())
        changed_.assign(count_ / 64 + 1, 0);
    changed_[p / 64] |= std::uint64_t(1) << (p % 64);
    // Usually the segment just looked at, so the cursor stands on it already.
    locate(p);
    const Change entry {static_cast<std::uint32_t>(cursorStart_), record};
    if (changes_.empty() || changes_.back().start < entry.start) {
        changes_.push_back(entry);
        return;
    }
    auto it = changes_.begin() + (firstChangeFrom(entry.start) - changes_.cbegin());
    if (it != changes_.end() && it->start == entry.start)
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
    if (shifted_)
        throw std::logic_error("SegmentList::moveFrontOver: room was made once already");
    // Element 0's old content is overwritten by element 1.
    firstRecord_ = noRecord;
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
