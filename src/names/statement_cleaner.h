#pragma once

#include "locale_rules.h"
#include "name_options.h"
#include "statement/compat.h"
#include "statement/segment_list.h"

#include <string_view>

namespace scrivane {

// The whole clean of a statement in memory: cut into segments, payee names
// cleaned, bank identifier put in for the target. The list views into text, which
// must outlive it; joining the list gives the bytes to write.
void cleanStatement(
    std::string_view text, SegmentList& segments, Target target, const NameOptions& options, const LocaleRules& locale);

} // namespace scrivane
