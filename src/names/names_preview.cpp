#include "names_preview.h"

#include "name_cleaner.h"
#include "name_list.h"
#include "statement/segment_list.h"

namespace scrivane {

PreviewReport forEachPreviewName(std::string_view text,
                                 const std::optional<NameOptions>& cleanWith,
                                 const LocaleRules& locale,
                                 const std::function<void(std::string_view)>& visit)
{
    SegmentList segments;
    splitTagSegments(text, segments);
    PreviewReport report;
    report.charset = detectCharset(segments);
    if (cleanWith) {
        report.failure = cleanPayeeNames(segments, *cleanWith, locale).failure;
        if (!report.failure.empty())
            return report;
    }
    forEachPayeeName(segments, visit);
    return report;
}

} // namespace scrivane
