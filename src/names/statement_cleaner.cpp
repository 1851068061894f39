#include "statement_cleaner.h"

#include "name_cleaner.h"
#include "statement/sgml_conversion.h"
#include "statement/statement_form.h"

namespace scrivane {

FormReport cleanStatement(std::string_view text,
                          std::string& converted,
                          SegmentList& segments,
                          Target target,
                          const NameOptions& options,
                          const LocaleRules& locale,
                          FormChoice form)
{
    FormReport report;
    splitTagSegments(text, segments);
    if (target == Target::QuickBooks && form == FormChoice::ForTarget && isXmlForm(segments)) {
        SgmlConversion sgml = convertToSgml(text);
        if (sgml.converted) {
            converted = std::move(sgml.text);
            splitTagSegments(converted, segments);
            report.converted = true;
        } else {
            report.notConverted = std::move(sgml.reason);
        }
    }
    cleanPayeeNames(segments, options, locale);
    makeOFXFileCompatable(segments, target);
    return report;
}

} // namespace scrivane
