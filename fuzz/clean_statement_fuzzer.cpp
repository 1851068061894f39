// The whole clean in memory, as the program runs it: names cleaned, then the
// bank identifier put in, with options and target from the front of the input
// (see fuzz_input.h). Beside the checks of each step, the written statement must
// list, read again, exactly the names that the cleaned preview showed. An XML
// statement cleaned for QuickBooks is converted to the SGML form first; read
// back, the conversion holds the XML's element tree and text, and the name and
// identifier steps are then held to their invariants on the converted text.
// The check of what was written never fails, gives the same findings for the
// same bytes, and places every finding in the statement as it came.
// Any statement that stays XML (for Quicken and Other, and for QuickBooks when
// asked to keep its form) and came in well-formed goes out well-formed. The
// clean then runs once more with payee rules (rule_invariants.h).

#include "conversion_invariants.h"
#include "fuzz_input.h"
#include "invariants.h"
#include "rule_invariants.h"

#include "names/name_cleaner.h"
#include "names/name_list.h"
#include "names/statement_cleaner.h"
#include "statement/sgml_conversion.h"
#include "statement/statement_check.h"
#include "statement/xml_reader.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace scrivane;
using namespace scrivane::fuzz;

namespace {

// Whether the XML reader reads the document to its end.
bool wellFormed(std::string_view document)
{
    struct Accept : XmlHandler
    {
        void processingInstruction(std::string_view, std::string_view) override { }
        bool startElement(std::string_view, bool) override { return true; }
        bool endElement(std::string_view) override { return true; }
        bool text(std::u32string_view, TextOrigin) override { return true; }
        std::string stopReason() const override { return {}; }
    } accept;
    return readXml(document, accept).ok();
}

// The names a preview of the list shows, in their order.
std::vector<std::string> listedNames(const SegmentList& segments)
{
    std::vector<std::string> names;
    forEachPayeeName(segments, [&names](std::string_view name) { names.emplace_back(name); });
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const RunConfig config = readRunConfig(in);
    const std::string_view text = in.rest();
    const LocaleRules& locale = LocaleRules::enUS();

    SegmentList segments;
    std::string converted;
    const FormReport form = cleanStatement(text, converted, segments, config.target, config.options, locale);
    const std::string written = joinSegments(segments);

    // The same run step by step, each step held to its own invariants.
    SegmentList steps;
    splitTagSegments(text, steps);
    const bool xmlIn = isXmlForm(steps);
    const bool xmlForQuickBooks = config.target == Target::QuickBooks && xmlIn;
    FUZZ_CHECK(!form.converted || xmlForQuickBooks, "only an XML statement for QuickBooks is converted");
    FUZZ_CHECK(form.converted || form.notConverted.empty() != xmlForQuickBooks,
               "an XML statement for QuickBooks is converted, or the user is told why not");
    const Snapshot cut = snapshot(steps);
    Charset charset = detectCharset(steps);
    cleanPayeeNames(steps, config.options, locale);
    checkNameRewrite(cut, steps, config.options, charset, locale, xmlIn);
    std::vector<std::string> previewed = listedNames(steps);
    std::string cleanedXml;
    if (form.converted) {
        // The names are cleaned in the XML and the cleaned XML converted; only
        // where the cleaning made it unconvertible is the statement as it came
        // converted and its names cleaned on the SGML form.
        cleanedXml = joinSegments(steps);
        const SgmlConversion direct = convertToSgml(cleanedXml);
        const std::string_view source = direct.converted ? std::string_view(cleanedXml) : text;
        FUZZ_CHECK(!direct.converted || direct.text == converted, "the cleaned XML is what is converted");
        checkConversion(source, converted);
        splitTagSegments(converted, steps);
        FUZZ_CHECK(!isXmlForm(steps), "the converted statement is in the SGML form");
        if (!direct.converted) {
            const Snapshot sgml = snapshot(steps);
            charset = detectCharset(steps);
            cleanPayeeNames(steps, config.options, locale);
            checkNameRewrite(sgml, steps, config.options, charset, locale, false);
        }
        // The names now stand in the SGML form's own bytes, read back above.
        previewed = listedNames(steps);
    }
    const Snapshot cleaned = snapshot(steps);
    // The form is that of the cleaned list: a name removed before the header can
    // bring an XML declaration into the prolog, or end tags into the sign-on.
    const bool closed = signOnClosesElements(steps, scanSignOn(steps));
    makeOFXFileCompatable(steps, config.target);
    // A rewritten CDATA name may hold a "<" inside its segment; tags proper
    // still open their segments.
    checkBankIdRewrite(cleaned, steps, config.target, closed, TagMatch::AtStart);
    FUZZ_CHECK(joinSegments(steps) == written, "the whole clean is its steps in order");

    SegmentList reread;
    splitTagSegments(written, reread);
    FUZZ_CHECK(listedNames(reread) == previewed, "the written names are the previewed ones");

    const CleanedStatement check {text, written, config.target, form.converted, form.notConverted};
    const std::vector<Finding> findings = checkCleaned(check);
    const std::vector<Finding> again = checkCleaned(check);
    FUZZ_CHECK(std::equal(findings.begin(),
                          findings.end(),
                          again.begin(),
                          again.end(),
                          [](const Finding& a, const Finding& b) {
                              return a.sameAs(b) && a.line == b.line && a.value == b.value && a.first == b.first
                                  && a.level == b.level && a.fixedByClean == b.fixedByClean;
                          }),
               "the same bytes give the same findings");
    // What was written reads the same whole or in the pieces a writer gets.
    const std::vector<Finding> joined = checkStatement(written, config.target, form.notConverted);
    const std::vector<Finding> pieces = checkStatement(segments, config.target, form.notConverted);
    FUZZ_CHECK(std::equal(joined.begin(),
                          joined.end(),
                          pieces.begin(),
                          pieces.end(),
                          [](const Finding& a, const Finding& b) {
                              return a.sameAs(b) && a.line == b.line && a.value == b.value;
                          }),
               "the written statement gives the same findings joined and in pieces");
    // LF, CR LF and CR alone each end a line.
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        lines += text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ? 1 : 0;
    for (const Finding& f : findings)
        FUZZ_CHECK(f.line >= 1 && f.line <= lines, "every finding points at a line of the statement as it came");

    if (xmlIn && wellFormed(text)) {
        if (!form.converted)
            FUZZ_CHECK(wellFormed(written), "an XML statement kept in its form stays well-formed");
        if (config.target == Target::QuickBooks) {
            SegmentList kept;
            std::string unused;
            cleanStatement(text, unused, kept, config.target, config.options, locale, FormChoice::Keep);
            FUZZ_CHECK(wellFormed(joinSegments(kept)), "an XML statement kept in its form stays well-formed");
        }
    }

    checkRuleRewrite(text, config.options, config.target, locale);

    if (form.converted)
        FUZZ_CHECK(written.size() <= converted.size() + 26, "only the identifier element makes the statement longer");
    else if (charset != Charset::Utf8)
        FUZZ_CHECK(written.size() <= text.size() + 26, "only the identifier element makes the statement longer");
    else if (isValidUtf8(text))
        FUZZ_CHECK(isValidUtf8(written), "valid UTF-8 in gives valid UTF-8 out");
    return 0;
}
