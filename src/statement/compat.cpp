#include "compat.h"

#include "statement_form.h"
#include "text.h"

#include <map>
#include <string>

namespace scrivane {

SignOnScan scanSignOn(const SegmentList& segments)
{
    SignOnScan scan;
    // What a CDATA section or a comment holds is text, however much of it looks
    // like markup: a "</SONRS>" there closes nothing, and an identifier put in
    // front of it would become part of a payee's name.
    std::string_view textUntil;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::string_view seg = segments[i];
        if (!textUntil.empty()) {
            if (seg.find(textUntil) != std::string_view::npos)
                textUntil = {};
            continue;
        }
        if (seg.starts_with("<![CDATA[") || seg.starts_with("<!--")) {
            const bool cdata = seg[2] == '[';
            const std::string_view closer = cdata ? "]]>" : "-->";
            if (seg.find(closer, cdata ? 9 : 4) == std::string_view::npos)
                textUntil = closer;
            continue;
        }
        // Every tag stands at the start of its segment, so "holds the tag" is a
        // prefix test; that keeps the scan linear in the size of the statement.
        if (startsWithNoCase(seg, "</SONRS>")) {
            scan.closingIndex = i;
        } else if (startsWithNoCase(seg, "<SONRS>")) {
            scan.openingIndex = i;
        } else if (startsWithNoCase(seg, "<INTU.BID>")) {
            scan.identifierIndex = i;
        } else if (startsWithNoCase(seg, "<CCSTMTTRNRS>")) {
            scan.kind = StatementKind::CreditCard;
            break;
        } else if (startsWithNoCase(seg, "<INVSTMTTRNRS>")) {
            scan.kind = StatementKind::Investment;
            break;
        } else if (startsWithNoCase(seg, "<STMTTRNRS>")) {
            scan.kind = StatementKind::Bank;
            break;
        }
    }
    return scan;
}

namespace {

constexpr std::string_view bankIdTag = "<INTU.BID>";

// The name of the start tag that opens a segment, or empty when the segment opens
// with anything else (an end tag, a declaration, text).
std::string_view startTagName(std::string_view seg)
{
    if (seg.size() < 2 || seg[0] != '<' || asciiUpper(seg[1]) < 'A' || asciiUpper(seg[1]) > 'Z')
        return {};
    const std::size_t end = seg.find_first_of("> \t\r\n/");
    return end == std::string_view::npos ? std::string_view {} : seg.substr(1, end - 1);
}

bool isEndTagOf(std::string_view seg, std::string_view name)
{
    const std::string_view end = endTagName(seg);
    return !end.empty() && equalsNoCase(end, name);
}

} // namespace

bool signOnClosesElements(const SegmentList& segments, const SignOnScan& scan)
{
    const std::size_t from = scan.openingIndex < scan.closingIndex ? scan.openingIndex + 1 : 1;
    bool closed = false;
    // The element opened last, until the next segment tells whether it was closed
    // at once; one with only white space after its tag may be an aggregate instead.
    std::string_view open;
    bool openHasValue = false;
    // Text before a child's tag is a value left open in the SGML form, but mixed
    // content in XML, whose element is closed further on; an XML reader stops at
    // an identifier left open among closed elements. Where each name's last end
    // tag stands is gathered once, so that a deeply nested sign-on costs no more
    // than a flat one.
    std::map<std::string, std::size_t> lastEnd;
    bool gathered = false;
    auto closedLater = [&](std::size_t start, std::string_view name) {
        if (!gathered) {
            gathered = true;
            for (std::size_t j = from; j <= scan.closingIndex; ++j) {
                if (const std::string_view end = endTagName(segments[j]); !end.empty())
                    lastEnd[upperAscii(end)] = j;
            }
        }
        const auto found = lastEnd.find(upperAscii(name));
        return found != lastEnd.end() && found->second >= start;
    };
    for (std::size_t i = from; i <= scan.closingIndex; ++i) {
        std::string_view seg = segments[i];
        if (!open.empty()) {
            if (isEndTagOf(seg, open))
                closed = true;
            else if (openHasValue && !closedLater(i + 1, open))
                return false;
        }
        open = startTagName(seg);
        const std::size_t tagEnd = seg.find('>');
        openHasValue = !open.empty() && tagEnd != std::string_view::npos && !trimBlanks(seg.substr(tagEnd + 1)).empty();
    }
    return closed || isXmlForm(segments);
}

std::string_view bankIdElement(Target target, StatementKind kind)
{
    switch (target) {
    case Target::Quicken:
        return kind == StatementKind::Investment ? "<INTU.BID>11372" : "<INTU.BID>3000";
    case Target::QuickBooks:
        return kind == StatementKind::CreditCard ? "<INTU.BID>3106" : "<INTU.BID>5885";
    case Target::Other:
        break;
    }
    return {};
}

void makeOFXFileCompatable(SegmentList& segments, Target target)
{
    if (target == Target::Other)
        return;
    SignOnScan scan = scanSignOn(segments);
    if (scan.closingIndex == 0)
        return;

    std::string_view element = bankIdElement(target, scan.kind);
    if (scan.identifierIndex == 0) {
        // With "</SONRS>" in element 1 there is no place before it to free.
        if (scan.closingIndex < 2)
            return;
        const bool endTag = signOnClosesElements(segments, scan);
        // Make room directly before "</SONRS>": everything before it moves one
        // place towards the front, over the always-empty element 0.
        segments.moveFrontOver(scan.closingIndex);
        scan.identifierIndex = scan.closingIndex - 1;
        if (endTag) {
            // Where the elements around it are closed, readers that take the file
            // as XML stop at the one element left open.
            segments.set(scan.identifierIndex, element, "</INTU.BID>");
            return;
        }
    }
    // A replaced element keeps whatever end tag followed it in the file. XML tells
    // "<intu.bid>" from "<INTU.BID>", so there the start tag keeps its spelling too,
    // or the end tag left in place would close nothing.
    const std::string_view old = segments[scan.identifierIndex];
    if (startsWithNoCase(old, bankIdTag) && !old.starts_with(bankIdTag) && isXmlForm(segments)) {
        segments.set(scan.identifierIndex, old.substr(0, bankIdTag.size()), element.substr(bankIdTag.size()));
        return;
    }
    segments.setView(scan.identifierIndex, element);
}

} // namespace scrivane
