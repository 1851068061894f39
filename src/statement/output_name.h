#pragma once

#include "compat.h"

#include <string>
#include <string_view>

namespace scrivane {

// ".QBO", ".QFX", or empty for Other.
std::string_view targetExtension(Target target);

// The name a cleaned statement is written under, from the input path trimmed of
// spaces. The last four characters give way to the target's extension unless they
// already are it (in any letter case). A file name of four characters or fewer
// gets the extension appended instead, so that the rule never cuts into a folder
// or leaves a bare extension.
std::string outputPathFor(std::string_view trimmedPath, Target target);

} // namespace scrivane
