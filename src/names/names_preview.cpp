#include "names_preview.h"

#include "name_cleaner.h"
#include "name_list.h"
#include "statement/segment_list.h"

namespace scrivane {

Charset forEachPreviewName(std::string_view text,
                           const std::optional<NameOptions>& cleanWith,
                           const LocaleRules& locale,
                           const std::function<void(std::string_view)>& visit)
{
    SegmentList segments;
    splitTagSegments(text, segments);
    const Charset charset = detectCharset(segments);
    if (cleanWith)
        cleanPayeeNames(segments, *cleanWith, locale);
    forEachPayeeName(segments, visit);
    return charset;
}

} // namespace scrivane
