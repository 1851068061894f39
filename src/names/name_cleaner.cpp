#include "name_cleaner.h"

#include "case_map.h"
#include "payee_element.h"
#include "proper_case.h"
#include "statement/text.h"

namespace scrivane {

void splitWords(std::string_view name, std::vector<std::string_view>& words)
{
    words.clear();
    std::string_view s = trimSpaces(name);
    for (std::size_t space; (space = s.find(' ')) != std::string_view::npos;) {
        words.push_back(s.substr(0, space));
        s = trimSpaces(s.substr(space));
    }
    words.push_back(s);
}

namespace {

// The locale's texts come from the platform in UTF-8; the words they are compared
// with are in the statement's own bytes.
LocaleRules localeInCharset(const LocaleRules& locale, Charset charset)
{
    LocaleRules rules = locale;
    if (charset != Charset::Windows1252)
        return rules;
    for (std::string* text : {&rules.decimalPoint,
                              &rules.groupSeparator,
                              &rules.currencySymbol,
                              &rules.amDesignator,
                              &rules.pmDesignator}) {
        *text = textInCharset(*text, charset);
    }
    for (auto* names : {&rules.monthNames, &rules.monthAbbreviations}) {
        for (std::string& name : *names)
            name = textInCharset(name, charset);
    }
    return rules;
}

} // namespace

NameCleaner::NameCleaner(NameOptions options, const LocaleRules& locale, Charset charset)
    : options_(std::move(options))
    , locale_(localeInCharset(locale, charset))
    , charset_(charset)
    , omitList_(options_.omitWords, charset)
{
}

std::string_view NameCleaner::clean(std::string_view rawName)
{
    // The words as splitWords gives them, taken one at a time: a list of them
    // would cost more than the name itself for a long name of short words.
    std::string_view rest = trimSpaces(rawName);
    std::string_view previous;
    result_.clear();
    // Kept words never make the name longer, so the result grows in place.
    result_.reserve(rest.size());
    for (bool first = true, last = false; !last; first = false) {
        const std::size_t space = rest.find(' ');
        last = space == std::string_view::npos;
        const std::string_view word = rest.substr(0, space);
        rest = last ? std::string_view() : trimSpaces(rest.substr(space));
        const bool repeated = !first && word == previous;
        previous = word;
        if (options_.removeNumbers && isNumericWord(word, locale_))
            continue;
        if (options_.removeNumbers && word.starts_with('#') && isNumericWord(word.substr(1), locale_))
            continue;
        if (options_.removeDates && isDateWord(word, locale_))
            continue;
        if (options_.removeRepeat && repeated)
            continue;
        if (omitList_.contains(word))
            continue;
        // result = trim(result + " " + trim(word)): words have no spaces, so only
        // an empty word can leave a space to trim.
        std::string_view kept = trimSpaces(word);
        if (!kept.empty()) {
            if (!result_.empty())
                result_.push_back(' ');
            result_.append(kept);
        }
    }
    if (!result_.empty()) {
        char last = result_.back();
        if (last == '-' || last == '#' || last == '?' || last == '\n') {
            result_.pop_back();
            result_.assign(trimSpaces(result_));
        }
    }
    if (options_.mixedCase && !result_.empty())
        result_.assign(trimSpaces(properCase(result_, charset_)));
    return result_;
}

namespace {

bool isMarkupSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The end tag of a payee name, with whatever follows it up to the next tag. XML
// allows white space before its ">".
bool isPayeeEndTag(std::string_view segment)
{
    if (!startsWithNoCase(segment, "</NAME"))
        return false;
    std::size_t k = 6;
    while (k < segment.size() && isMarkupSpace(segment[k]))
        ++k;
    return k < segment.size() && segment[k] == '>';
}

// The segment after a comment or processing instruction that starts at segment
// i (one holding a "<" runs over several segments); i when none starts there.
// The search stops at the next payee name, so an unclosed comment costs no more
// than the segments up to it.
std::size_t pastAside(const SegmentList& segments, std::size_t i)
{
    const std::string_view first = segments[i];
    const bool comment = first.starts_with("<!--");
    if (!comment && !first.starts_with("<?"))
        return i;
    const std::string_view close = comment ? "-->" : "?>";
    for (std::size_t k = i; k < segments.size(); ++k) {
        const std::string_view seg = k == i ? first.substr(comment ? 4 : 2) : segments[k];
        if (k > i && isPayeeNameSegment(seg))
            return k;
        if (seg.find(close) != std::string_view::npos)
            return k + 1;
    }
    return segments.size();
}

// A name that goes takes its end tag with it, found past any comments between
// them: an end tag left without its start tag would break an XML statement.
void removeEndTagAfter(SegmentList& segments, std::size_t last)
{
    std::size_t k = last + 1;
    for (std::size_t past; k < segments.size() && (past = pastAside(segments, k)) != k;)
        k = past;
    if (k < segments.size() && isPayeeEndTag(segments[k]))
        segments.clearAt(k);
}

} // namespace

void writePayeeName(SegmentList& segments, const PayeeElement& element, std::string_view name, bool keepTag)
{
    const std::size_t i = element.index;
    const std::string_view tag = keepTag ? segments[i].substr(0, 6) : std::string_view("<NAME>");
    if (!element.cdata) {
        if (name.empty()) {
            segments.clearAt(i);
            removeEndTagAfter(segments, i);
        } else {
            segments.set(i, tag, name);
        }
        return;
    }
    if (name.empty()) {
        for (std::size_t k = i; k <= element.cdataLast; ++k)
            segments.clearAt(k);
        removeEndTagAfter(segments, element.cdataLast);
        return;
    }
    segments.set(i, tag);
    std::string rebuilt("<![CDATA[");
    rebuilt.append(name);
    rebuilt.append("]]>");
    rebuilt.append(element.cdataTail);
    segments.set(element.cdataFirst, rebuilt);
    for (std::size_t k = element.cdataFirst + 1; k <= element.cdataLast; ++k)
        segments.clearAt(k);
}

NamesReport cleanPayeeNames(SegmentList& segments, const NameOptions& options, const LocaleRules& locale)
{
    const Charset charset = detectCharset(segments);
    NameCleaner cleaner(options, locale, charset);
    // XML tells "<name>" from "<NAME>": there a tag stays as it is written, so
    // that its end tag still closes it.
    const bool keepTag = isXmlForm(segments);
    const std::unique_ptr<PayeeRenaming::Statement> renaming
        = options.renaming ? options.renaming->forStatement(charset, keepTag) : nullptr;
    NamesReport report;
    forEachPayeeElement(segments, [&](const PayeeElement& element) {
        if (!report.ok())
            return;
        const std::string_view raw = rawPayeeValue(segments, element);
        if (renaming) {
            // A renamed payee is not cleaned at all: the user's name goes in as typed.
            if (const std::optional<std::string_view> name = renaming->rename(raw, element.cdata)) {
                writePayeeName(segments, element, *name, keepTag);
                return;
            }
            if (!renaming->failure().empty()) {
                report.failure = renaming->failure();
                return;
            }
        }
        writePayeeName(segments, element, cleaner.clean(raw), keepTag);
    });
    return report;
}

} // namespace scrivane
