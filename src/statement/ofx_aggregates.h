#pragma once

#include <string_view>

namespace scrivane {

// Whether OFX defines an element of this name (upper case, as OFX writes it) as an
// aggregate, one that holds other elements and always needs its end tag. A broken
// statement may give such an element text alone; it still needs the end tag.
bool isOfxAggregate(std::string_view name);

} // namespace scrivane
