#pragma once

#include "statement/segment_list.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivane {

// A segment whose first six characters, in upper case, are "<NAME>".
bool isPayeeNameSegment(std::string_view segment);

// Where the value of the payee name that starts at a segment stands. Usually the
// value is the rest of the segment; a value written as a CDATA section
// ("<NAME><![CDATA[...]]>") lives in the following segment(s) instead.
struct PayeeElement
{
    std::size_t index = 0; // the "<NAME>" segment
    bool cdata = false;
    std::size_t cdataFirst = 0; // first and last segment of the CDATA section
    std::size_t cdataLast = 0;
    std::string cdataText; // the section's content, markup removed
    std::string_view cdataTail; // what follows "]]>" in its last segment
    // A section opens the value but does not close before the next payee name, so
    // the value cannot be told apart from the names that follow.
    bool cdataUnclosed = false;
};

// Describes the payee name at segments[index], which must be a payee-name segment.
PayeeElement locatePayeeElement(const SegmentList& segments, std::size_t index);

// Hands each payee name of the list to visit(const PayeeElement&), in file order.
// The names are found by one pass over the statement's text, which costs a
// fraction of asking for every segment. visit may rewrite the name's own
// segments and any after them up to the next name.
template <class Segments, class Visit>
void forEachPayeeElement(Segments& segments, Visit&& visit)
{
    for (std::size_t i = segments.findStartingWith(0, "<NAME>"); i < segments.size();
         i = segments.findStartingWith(i + 1, "<NAME>")) {
        const PayeeElement element = locatePayeeElement(segments, i);
        visit(element);
        if (element.cdata)
            i = element.cdataLast;
    }
}

// The value as it stands, trimmed of spaces: the segment after its tag, or the
// content of its CDATA section.
std::string_view rawPayeeValue(const SegmentList& segments, const PayeeElement& element);

} // namespace scrivane
