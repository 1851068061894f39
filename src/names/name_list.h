#pragma once

#include "statement/segment_list.h"

#include <functional>
#include <string>
#include <string_view>

namespace scrivane {

// A name as the names list shows it: the entities &amp; &quot; &apos; &lt; &gt;
// (in any letter case, in that order) turned back into their characters. Numeric
// character references stay as they are.
std::string cleanSpecialCharForDisplay(std::string_view name);

// Hands each payee name of a segment list to visit, in file order and in display
// form: each value trimmed of spaces only, so a line break that ends a value
// stays with it; empty values are left out. The view lasts for the call only.
void forEachPayeeName(const SegmentList& segments, const std::function<void(std::string_view)>& visit);

} // namespace scrivane
