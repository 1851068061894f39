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
    const bool convert = target == Target::QuickBooks && form == FormChoice::ForTarget && isXmlForm(segments);
    if (NamesReport names = cleanPayeeNames(segments, options, locale); !names.ok()) {
        report.failure = std::move(names.failure);
        return report;
    }
    if (convert) {
        // The names are cleaned in the XML, where a value ends at its end tag. On
        // the lines of the SGML form the line end would join the last word of each
        // name and change how it is cleaned ("INC" kept, "CHECK" dropped), so the
        // same statement would get other names for QuickBooks than for Quicken.
        SgmlConversion sgml = convertToSgml(joinSegments(segments));
        bool namesLeft = false;
        if (!sgml.converted) {
            // A cleaned name can in principle break what was well-formed (a
            // reference changed by proper case): then the statement as it came is
            // converted and its names cleaned on the SGML result. Its reasons are
            // also the ones to tell, with the lines of the file the user has.
            sgml = convertToSgml(text);
            namesLeft = true;
        }
        if (sgml.converted) {
            converted = std::move(sgml.text);
            splitTagSegments(converted, segments);
            if (namesLeft) {
                if (NamesReport names = cleanPayeeNames(segments, options, locale); !names.ok()) {
                    report.failure = std::move(names.failure);
                    return report;
                }
            }
            report.converted = true;
        } else {
            // The list still holds the statement in its own form, names cleaned.
            report.notConverted = std::move(sgml.reason);
        }
    }
    makeOFXFileCompatable(segments, target);
    return report;
}

} // namespace scrivane
