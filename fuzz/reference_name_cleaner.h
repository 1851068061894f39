#pragma once

#include "names/locale_rules.h"
#include "names/name_options.h"
#include "statement/statement_form.h"

#include <string>
#include <string_view>

namespace scrivane::fuzz {

// One raw name cleaned the slow, literal way: the words split off one at a time,
// each dropped or appended with a fresh trim, the result tidied and cased at the
// end. The locale's texts must be ASCII (as en_US's are), so that they read the
// same in every character set.
std::string
referenceCleanName(std::string_view raw, const NameOptions& options, Charset charset, const LocaleRules& locale);

} // namespace scrivane::fuzz
