#include "statement_cleaner.h"

#include "name_cleaner.h"

namespace scrivane {

void cleanStatement(
    std::string_view text, SegmentList& segments, Target target, const NameOptions& options, const LocaleRules& locale)
{
    splitTagSegments(text, segments);
    cleanPayeeNames(segments, options, locale);
    makeOFXFileCompatable(segments, target);
}

} // namespace scrivane
