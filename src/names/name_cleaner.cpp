#include "name_cleaner.h"

#include "case_map.h"
#include "payee_element.h"
#include "proper_case.h"
#include "statement/text.h"

#include <algorithm>

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
    // Digits alone are a number unless the currency symbol could begin with them.
    digitsAreNumbers_ = locale_.currencySymbol.empty() || locale_.currencySymbol.front() < '0'
        || locale_.currencySymbol.front() > '9';
    // A number begins with a digit, a parenthesis, a sign, the currency symbol or
    // the decimal point; a date with a digit or a month's name.
    for (char c = '0'; c <= '9'; ++c)
        numberInitials_[static_cast<unsigned char>(c)] = dateInitials_[static_cast<unsigned char>(c)] = true;
    for (char c : {'(', '+', '-'})
        numberInitials_[static_cast<unsigned char>(c)] = true;
    for (const std::string* affix : {&locale_.currencySymbol, &locale_.decimalPoint}) {
        if (!affix->empty())
            numberInitials_[static_cast<unsigned char>(affix->front())] = true;
    }
    // The month names are compared with ASCII letters in either case.
    const LocaleRules* const monthSources[] = {&locale_, &LocaleRules::enUS()};
    for (const LocaleRules* rules : monthSources) {
        for (const auto* names : {&rules->monthNames, &rules->monthAbbreviations}) {
            for (const std::string& name : *names) {
                if (!name.empty()) {
                    dateInitials_[static_cast<unsigned char>(asciiUpper(name.front()))] = true;
                    dateInitials_[static_cast<unsigned char>(asciiLower(asciiUpper(name.front())))] = true;
                }
            }
        }
    }
}

std::string_view NameCleaner::clean(std::string_view rawName)
{
    // The words as splitWords gives them, taken one at a time: a list of them
    // would cost more than the name itself for a long name of short words.
    const std::string_view name = trimSpaces(rawName);
    const char* const end = name.data() + name.size();
    const char* at = name.data();
    std::string_view previous;
    result_.clear();
    // Kept words never make the name longer, so the result grows in place.
    result_.reserve(name.size());
    for (bool first = true;; first = false) {
        // One look at each byte finds the word's end and whether it holds a digit:
        // every number and every date does, and most words of a name do not.
        const char* wordEnd = at;
        bool digit = false;
        for (; wordEnd != end && *wordEnd != ' '; ++wordEnd)
            digit |= static_cast<unsigned char>(*wordEnd - '0') < 10;
        const std::string_view word(at, static_cast<std::size_t>(wordEnd - at));
        const bool repeated = !first && word == previous;
        previous = word;
        const bool dropped = (digit && options_.removeNumbers
                              && (isNumber(word) || (word.starts_with('#') && isNumber(word.substr(1)))))
            || (digit && options_.removeDates && mayBeDate(word) && isDateWord(word, locale_))
            || (options_.removeRepeat && repeated) || omitList_.contains(word);
        // result = trim(result + " " + trim(word)): a word holds no space, and only
        // the word of an empty name is empty.
        if (!dropped && !word.empty()) {
            if (!result_.empty())
                result_.push_back(' ');
            result_.append(word);
        }
        if (wordEnd == end)
            break;
        at = wordEnd;
        while (*at == ' ')
            ++at; // the name ends in a word, not in a space
    }
    if (!result_.empty()) {
        char last = result_.back();
        if (last == '-' || last == '#' || last == '?' || last == '\n') {
            result_.pop_back();
            while (!result_.empty() && result_.back() == ' ')
                result_.pop_back(); // the start is a word
        }
    }
    // Proper case in the result's own buffer.
    if (options_.mixedCase)
        properCaseInPlace(result_, charset_);
    return result_;
}

bool NameCleaner::isNumber(std::string_view word) const
{
    // Most numbers in names are digits alone, which need none of the grammar,
    // and most other words cannot begin a number.
    const std::string_view s = trimBlanks(word);
    if (s.empty() || !numberInitials_[static_cast<unsigned char>(s.front())])
        return false;
    if (digitsAreNumbers_ && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    return isNumericWord(word, locale_);
}

bool NameCleaner::mayBeDate(std::string_view word) const
{
    // Every date and time begins with a digit or a month's name.
    const std::string_view s = trimBlanks(word);
    return !s.empty() && dateInitials_[static_cast<unsigned char>(s.front())];
}

namespace {

// The end tag of a payee name, with whatever follows it up to the next tag.
bool isPayeeEndTag(std::string_view segment)
{
    return equalsNoCase(endTagName(segment), "NAME");
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
        // Dropping the start tag of a name whose section never closes would leave
        // its end tag, far on, unmatched; such a name stays as it came.
        if (!report.ok() || element.cdataUnclosed)
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
