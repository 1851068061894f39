#include "compat.h"

#include "statement_form.h"
#include "text.h"

#include <string>

namespace scrivane {

SignOnScan scanSignOn(const SegmentList& segments)
{
    SignOnScan scan;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::string_view seg = segments[i];
        // Every tag stands at the start of its segment, so "holds the tag" is a
        // prefix test; that keeps the scan linear in the size of the statement.
        if (startsWithNoCase(seg, "</SONRS>")) {
            scan.closingIndex = i;
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
        const bool xml = isXmlForm(segments);
        // Make room directly before "</SONRS>": everything before it moves one
        // place towards the front, over the always-empty element 0.
        segments.moveFrontOver(scan.closingIndex);
        scan.identifierIndex = scan.closingIndex - 1;
        if (xml) {
            // A new element of the XML form needs its end tag to stay well formed.
            segments.set(scan.identifierIndex, element, "</INTU.BID>");
            return;
        }
    }
    // A replaced element keeps whatever end tag followed it in the file.
    segments.setView(scan.identifierIndex, element);
}

} // namespace scrivane
