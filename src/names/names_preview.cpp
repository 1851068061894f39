#include "names_preview.h"

#include "name_cleaner.h"
#include "name_list.h"
#include "statement/segment_list.h"

namespace scrivane {

NamesPreview previewNames(std::string_view text, const std::optional<NameOptions>& cleanWith, const LocaleRules& locale)
{
    SegmentList segments;
    splitTagSegments(text, segments);
    NamesPreview preview;
    preview.charset = detectCharset(segments);
    if (cleanWith)
        cleanPayeeNames(segments, *cleanWith, locale);
    preview.names = payeeNamesForDisplay(segments);
    return preview;
}

} // namespace scrivane
