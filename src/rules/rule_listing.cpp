#include "rule_listing.h"

#include "names/name_cleaner.h"
#include "names/name_list.h"
#include "names/payee_element.h"
#include "payee_renamer.h"
#include "statement/text.h"

namespace scrivane {

RuleListingReport forEachRuleListing(std::string_view text,
                                     const NameOptions& options,
                                     const RuleSet& rules,
                                     const LocaleRules& locale,
                                     const std::function<void(const RuleListing&)>& visit)
{
    SegmentList segments;
    splitTagSegments(text, segments);
    RuleListingReport report;
    report.charset = detectCharset(segments);
    NameCleaner cleaner(options, locale, report.charset);
    PayeeRenamer renamer(rules, report.charset, isXmlForm(segments));
    std::string raw;
    std::string written;
    forEachPayeeElement(segments, [&](const PayeeElement& element) {
        const std::string_view value = rawPayeeValue(segments, element);
        if (!report.failure.empty() || value.empty())
            return;
        RuleListing listing;
        listing.rule = trimBlanks(value).empty() ? std::nullopt : renamer.match(value, element.cdata);
        if (listing.rule) {
            const std::optional<std::string_view> name = renamer.write(*listing.rule, value, element.cdata);
            if (!name) {
                report.failure = renamer.failure();
                return;
            }
            written = cleanSpecialCharForDisplay(*name);
        } else {
            written = cleanSpecialCharForDisplay(cleaner.clean(value));
        }
        raw = cleanSpecialCharForDisplay(value);
        listing.raw = raw;
        listing.written = written;
        visit(listing);
    });
    return report;
}

} // namespace scrivane
