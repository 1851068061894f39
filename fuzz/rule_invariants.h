#pragma once

#include "names/locale_rules.h"
#include "names/name_options.h"
#include "statement/compat.h"

#include <string_view>

namespace scrivane::fuzz {

// The clean once more with payee rules made from the statement's own names (of
// every kind, with names that need escaping or that a character set may lack):
// every byte outside the payee names is what the clean without rules leaves,
// every name written is either a rule's name, in the statement's bytes and
// form, or the name the cleaner writes; a clean that fails names a rule whose
// name the statement's character set cannot hold.
void checkRuleRewrite(std::string_view text, const NameOptions& options, Target target, const LocaleRules& locale);

} // namespace scrivane::fuzz
