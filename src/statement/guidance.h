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

// Why an XML statement cleaned for QuickBooks kept its form, as one sentence
// around the reason the conversion gave.
std::string notConvertedSentence(std::string_view reason);

// The message shown after a successful clean. A statement that QuickBooks was to
// get in the SGML form and did not gets the sentence above after the first one.
std::string cleanedMessage(Target target, std::string_view notConverted = {});

} // namespace scrivane
