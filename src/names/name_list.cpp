#include "name_list.h"

#include "payee_element.h"
#include "statement/text.h"

#include <utility>

namespace scrivane {

namespace {

std::string replaceAllNoCase(std::string_view text, std::string_view entity, char replacement)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&' && startsWithNoCase(text.substr(i), entity)) {
            out.push_back(replacement);
            i += entity.size();
        } else {
            out.push_back(text[i]);
            ++i;
        }
    }
    return out;
}

} // namespace

std::string cleanSpecialCharForDisplay(std::string_view name)
{
    static constexpr std::pair<std::string_view, char> entities[]
        = {{"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string text(name);
    for (const auto& [entity, character] : entities) {
        if (text.find('&') == std::string::npos)
            break;
        text = replaceAllNoCase(text, entity, character);
    }
    return text;
}

void forEachPayeeName(const SegmentList& segments, const std::function<void(std::string_view)>& visit)
{
    std::string display;
    forEachPayeeElement(segments, [&](const PayeeElement& element) {
        std::string_view value = rawPayeeValue(segments, element);
        if (value.empty())
            return;
        if (value.find('&') == std::string_view::npos) {
            visit(value);
        } else {
            display = cleanSpecialCharForDisplay(value);
            visit(display);
        }
    });
}

} // namespace scrivane
