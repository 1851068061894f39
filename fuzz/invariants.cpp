#include "invariants.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace scrivane::fuzz {

void fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "\n*** invariant broken: %s (%s:%d)\n", what, file, line);
    std::abort();
}

Snapshot snapshot(const SegmentList& segments)
{
    return Snapshot(segments.begin(), segments.end());
}

namespace {

// Length of the UTF-8 sequence at text[i], or 0 when it is not a valid one
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8SequenceAt(std::string_view text, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + len > text.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF))
            return 0;
    }
    return len;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool startsWithTag(std::string_view segment, std::string_view tag)
{
    if (segment.size() < tag.size())
        return false;
    return std::equal(
        tag.begin(), tag.end(), segment.begin(), [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

bool holdsTag(std::string_view segment, std::string_view tag, TagMatch match)
{
    if (match == TagMatch::AtStart)
        return startsWithTag(segment, tag);
    for (std::size_t i = 0; i + tag.size() <= segment.size(); ++i) {
        if (startsWithTag(segment.substr(i), tag))
            return true;
    }
    return false;
}

} // namespace

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8SequenceAt(text, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::size_t codePointCount(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void checkSegmentation(std::string_view text, const SegmentList& segments)
{
    const std::size_t cuts = text.empty() ? 0 : static_cast<std::size_t>(std::count(text.begin() + 1, text.end(), '<'));
    FUZZ_CHECK(segments.size() == 2 + cuts, "one segment per '<' after the first character, plus two");
    FUZZ_CHECK(segments[0].empty(), "element 0 is empty");
    FUZZ_CHECK(segments[1].empty() == text.empty(), "element 1 is empty only for an empty text");
    std::size_t offset = 0;
    for (std::size_t i = 1; i < segments.size(); ++i) {
        std::string_view seg = segments[i];
        FUZZ_CHECK(i == 1 || seg.starts_with('<'), "every segment after the first begins with '<'");
        FUZZ_CHECK(seg.find('<', 1) == std::string_view::npos, "a segment holds '<' only first");
        FUZZ_CHECK(text.substr(offset, seg.size()) == seg, "segments follow the text in order");
        offset += seg.size();
    }
    FUZZ_CHECK(offset == text.size(), "the segments cover the whole text");
    FUZZ_CHECK(segments.joinedSize() == text.size(), "joined size is the text size");
    FUZZ_CHECK(joinSegments(segments) == text, "joining the list gives the text back");
}

void checkBankIdRewrite(
    const Snapshot& before, const SegmentList& after, Target target, bool closedForm, TagMatch match)
{
    const std::size_t n = before.size();
    FUZZ_CHECK(after.size() == n, "the rewrite keeps the length of the list");

    std::size_t closing = 0;
    std::size_t identifier = 0;
    StatementKind kind = StatementKind::None;
    bool inText = false; // inside a CDATA section or comment, which holds no tags
    std::string_view textEnd;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view seg = before[i];
        if (inText) {
            inText = seg.find(textEnd) == std::string_view::npos;
            continue;
        }
        if (seg.starts_with("<![CDATA[") || seg.starts_with("<!--")) {
            textEnd = seg.starts_with("<!--") ? "-->" : "]]>";
            const std::string_view opener = seg.starts_with("<!--") ? "<!--" : "<![CDATA[";
            inText = seg.substr(opener.size()).find(textEnd) == std::string_view::npos;
            continue;
        }
        if (holdsTag(before[i], "</SONRS>", match)) {
            closing = i;
        } else if (holdsTag(before[i], "<INTU.BID>", match)) {
            identifier = i;
        } else if (holdsTag(before[i], "<CCSTMTTRNRS>", match)) {
            kind = StatementKind::CreditCard;
            break;
        } else if (holdsTag(before[i], "<INVSTMTTRNRS>", match)) {
            kind = StatementKind::Investment;
            break;
        } else if (holdsTag(before[i], "<STMTTRNRS>", match)) {
            kind = StatementKind::Bank;
            break;
        }
    }

    std::string element;
    if (target == Target::Quicken)
        element = kind == StatementKind::Investment ? "<INTU.BID>11372" : "<INTU.BID>3000";
    else if (target == Target::QuickBooks)
        element = kind == StatementKind::CreditCard ? "<INTU.BID>3106" : "<INTU.BID>5885";

    std::size_t changed = n; // the one place that may hold something new
    bool shifted = false;
    if (!element.empty() && closing > 0) {
        if (identifier > 0) {
            changed = identifier;
        } else if (closing >= 2) {
            changed = closing - 1;
            shifted = true;
            if (closedForm)
                element += "</INTU.BID>";
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (i == changed) {
            // XML keeps a replaced identifier's tag as it was spelt, so that its end tag still closes it.
            const bool respelt = !shifted && after[i].size() == element.size()
                && after[i].substr(0, 10) == before[i].substr(0, 10) && after[i].substr(10) == element.substr(10);
            FUZZ_CHECK(after[i] == element || respelt, "the identifier element fits the target and the statement kind");
        } else if (shifted && i < changed) {
            FUZZ_CHECK(after[i] == before[i + 1], "what stands before the freed place moves one place forward");
        } else {
            FUZZ_CHECK(after[i] == before[i], "the rewrite touches no other place");
        }
    }
}

} // namespace scrivane::fuzz
