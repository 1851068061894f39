#pragma once

#include "compat.h"

#include <string>
#include <string_view>

namespace scrivane {

// The word that names the target in the import guidance: "QuickBooks", "Quicken" or "Other".
std::string_view targetWord(Target target);

// The target's label in the final message.
std::string_view targetLabel(Target target);

// How to import a cleaned statement into the application named by word.
std::string importGuidance(std::string_view word);

// The message shown after a successful clean.
std::string cleanedMessage(Target target);

} // namespace scrivane
