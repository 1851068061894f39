#include "payee_element.h"

#include "statement/text.h"

namespace scrivane {

namespace {
constexpr std::string_view cdataOpen = "<![CDATA[";
constexpr std::string_view cdataClose = "]]>";
} // namespace

bool isPayeeNameSegment(std::string_view segment)
{
    return startsWithNoCase(segment, "<NAME>");
}

PayeeElement locatePayeeElement(const SegmentList& segments, std::size_t index)
{
    PayeeElement element;
    element.index = index;
    if (!trimBlanks(segments[index].substr(6)).empty() || index + 1 >= segments.size()
        || !segments[index + 1].starts_with(cdataOpen))
        return element;
    // A "<" inside the section splits it over several segments. The section ends
    // at the first "]]>"; the search gives up at the next payee name, which keeps
    // the whole clean linear even for a section that never closes.
    std::string text;
    for (std::size_t i = index + 1; i < segments.size(); ++i) {
        std::string_view seg = segments[i];
        if (i > index + 1 && isPayeeNameSegment(seg))
            break;
        std::string_view body = i == index + 1 ? seg.substr(cdataOpen.size()) : seg;
        std::size_t close = body.find(cdataClose);
        if (close != std::string_view::npos) {
            text.append(body.substr(0, close));
            element.cdata = true;
            element.cdataFirst = index + 1;
            element.cdataLast = i;
            element.cdataText = std::move(text);
            element.cdataTail = body.substr(close + cdataClose.size());
            return element;
        }
        text.append(body);
    }
    element.cdataUnclosed = true;
    return element;
}

std::string_view rawPayeeValue(const SegmentList& segments, const PayeeElement& element)
{
    if (element.cdata)
        return trimSpaces(element.cdataText);
    return trimSpaces(segments[element.index].substr(6));
}

} // namespace scrivane
