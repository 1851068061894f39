#include "invariants.h"

#include "reference_name_cleaner.h"

#include "names/case_map.h"
#include "names/proper_case.h"
#include "statement/text.h"

namespace scrivane::fuzz {

namespace {

constexpr std::string_view nameTag = "<NAME>";
constexpr std::string_view cdataOpen = "<![CDATA[";
constexpr std::string_view cdataClose = "]]>";

bool isNameSegment(std::string_view s)
{
    return startsWithNoCase(s, nameTag);
}

// "</NAME>", or with the white space before its ">" that XML allows.
bool isNameEndTag(std::string_view s)
{
    if (!startsWithNoCase(s, "</NAME"))
        return false;
    const std::size_t close = s.find_first_not_of(" \t\r\n", 6);
    return close != std::string_view::npos && s[close] == '>';
}

// The segment after the comment or processing instruction that opens segment i
// (it runs over several segments when it holds a "<"), never past the next name;
// i itself when none opens there.
std::size_t pastAside(const Snapshot& s, std::size_t i)
{
    const bool comment = s[i].starts_with("<!--");
    if (!comment && !s[i].starts_with("<?"))
        return i;
    const std::string_view close = comment ? "-->" : "?>";
    for (std::size_t k = i; k < s.size(); ++k) {
        if (k > i && isNameSegment(s[k]))
            return k;
        if (std::string_view(s[k]).substr(k == i ? (comment ? 4 : 2) : 0).find(close) != std::string_view::npos)
            return k + 1;
    }
    return s.size();
}

// A name whose value is a CDATA section: the tag with nothing but white space
// after it, then "<![CDATA[" opening the next segment and "]]>" closing the
// section before another name starts.
struct CdataSection
{
    bool found = false;
    bool unclosed = false; // opened, but no "]]>" before the next name
    std::size_t first = 0;
    std::size_t last = 0;
    std::string content;
    std::string tail; // after "]]>" in the last segment
};

CdataSection findCdata(const Snapshot& s, std::size_t name)
{
    CdataSection section;
    if (!trimBlanks(std::string_view(s[name]).substr(nameTag.size())).empty() || name + 1 >= s.size()
        || !s[name + 1].starts_with(cdataOpen))
        return section;
    // "]]>" holds no "<", so it never spans two segments.
    std::string content;
    for (std::size_t i = name + 1; i < s.size(); ++i) {
        if (i > name + 1 && isNameSegment(s[i]))
            break;
        const std::string_view body = std::string_view(s[i]).substr(i == name + 1 ? cdataOpen.size() : 0);
        const std::size_t close = body.find(cdataClose);
        if (close != std::string_view::npos) {
            section.found = true;
            section.first = name + 1;
            section.last = i;
            section.content = content + std::string(body.substr(0, close));
            section.tail = std::string(body.substr(close + cdataClose.size()));
            return section;
        }
        content += body;
    }
    section.unclosed = true;
    return section;
}

std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', i), text.size());
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

bool isTrailingJunk(char c)
{
    return c == '-' || c == '#' || c == '?' || c == '\n';
}

class ValueChecker
{
public:
    ValueChecker(const NameOptions& options, Charset charset, const LocaleRules& locale)
        : options_(options)
        , charset_(charset)
        , locale_(locale)
        , map_(charset)
        // The omit words are stored as UTF-8 and compared in the statement's own set.
        , omitList_(" " + map_.lowerText(textInCharset(options.omitWords, charset)) + " ")
        , dropsWords_(options.removeNumbers || options.removeDates || options.removeRepeat
                      || !trimSpaces(options.omitWords).empty())
    {
    }

    // raw: the value before (trimmed of spaces); cleaned: the value written.
    void check(std::string_view raw, std::string_view cleaned) const
    {
        FUZZ_CHECK(cleaned == referenceCleanName(raw, options_, charset_, locale_),
                   "the name as the literal rules clean it");
        const std::vector<std::string_view> rawWords = wordsOf(raw);
        if (cleaned.empty()) {
            // Without rules that drop words, only a lone trailing character can go.
            FUZZ_CHECK(dropsWords_ || rawWords.empty()
                           || (rawWords.size() == 1 && rawWords[0].size() == 1 && isTrailingJunk(rawWords[0][0])),
                       "a name is cleaned away only by the rules");
            return;
        }
        FUZZ_CHECK(cleaned.front() != ' ' && cleaned.back() != ' ', "a cleaned name has no spaces around it");
        FUZZ_CHECK(cleaned.find("  ") == std::string_view::npos, "kept words are joined by one space");
        if (charset_ != Charset::Utf8)
            FUZZ_CHECK(cleaned.size() <= raw.size(), "cleaning never lengthens a single-byte name");
        if (options_.mixedCase && charset_ != Charset::Utf8)
            FUZZ_CHECK(properCase(cleaned, charset_) == cleaned, "a mixed-case name is its own proper case");

        // Letter case of non-ASCII UTF-8 does not always survive a round trip,
        // so the word-by-word comparison keeps to text it can fold exactly.
        if (options_.mixedCase && charset_ == Charset::Utf8 && !isAscii(raw))
            return;
        const std::vector<std::string_view> kept = wordsOf(cleaned);
        std::size_t k = 0;
        for (std::size_t m = 0; m < kept.size(); ++m) {
            const bool last = m + 1 == kept.size();
            const std::string keptWord = fold(kept[m]);
            while (k < rawWords.size() && !sameWord(keptWord, rawWords[k], last))
                ++k;
            FUZZ_CHECK(k < rawWords.size(), "the kept words are words of the raw name, in order");
            if (!last)
                checkMayStay(rawWords[k]);
            ++k;
        }
        if (!dropsWords_) {
            const bool lastWent = kept.size() + 1 == rawWords.size() && rawWords.back().size() == 1
                && isTrailingJunk(rawWords.back()[0]);
            FUZZ_CHECK(kept.size() == rawWords.size() || lastWent, "without rules that drop words, every word stays");
        }
    }

private:
    std::string fold(std::string_view word) const
    {
        return options_.mixedCase ? map_.lowerText(word) : std::string(word);
    }

    // The last kept word may have lost its final character to the tidy-up.
    bool sameWord(const std::string& keptWord, std::string_view rawWord, bool last) const
    {
        const std::string raw = fold(rawWord);
        if (raw == keptWord)
            return true;
        return last && !rawWord.empty() && isTrailingJunk(rawWord.back())
            && fold(rawWord.substr(0, rawWord.size() - 1)) == keptWord;
    }

    void checkMayStay(std::string_view word) const
    {
        if (options_.removeNumbers) {
            FUZZ_CHECK(!isNumericWord(word, locale_), "no number is kept");
            FUZZ_CHECK(!(word.starts_with('#') && isNumericWord(word.substr(1), locale_)), "no '#' number is kept");
        }
        if (options_.removeDates)
            FUZZ_CHECK(!isDateWord(word, locale_), "no date is kept");
        FUZZ_CHECK(omitList_.find(" " + map_.lowerText(word) + " ") == std::string::npos,
                   "no word of the omit list is kept");
    }

    const NameOptions& options_;
    Charset charset_;
    const LocaleRules& locale_;
    CaseMap map_;
    std::string omitList_;
    bool dropsWords_;
};

} // namespace

void checkNameRewrite(const Snapshot& before,
                      const SegmentList& after,
                      const NameOptions& options,
                      Charset charset,
                      const LocaleRules& locale,
                      bool xmlForm)
{
    const std::size_t n = before.size();
    FUZZ_CHECK(after.size() == n, "the name cleaner keeps the length of the list");
    const ValueChecker values(options, charset, locale);
    std::vector<bool> mayChange(n, false);

    // The end tag of a name that went may go with it, past comments between them,
    // and nothing else beside it.
    auto endTagGoes = [&](std::size_t i) {
        for (std::size_t past; i < n && (past = pastAside(before, i)) != i;)
            i = past;
        if (i < n && isNameEndTag(before[i])) {
            FUZZ_CHECK(after[i].empty(), "the end tag of a removed name goes with it");
            mayChange[i] = true;
        }
    };

    for (std::size_t j = 0; j < n; ++j) {
        if (!isNameSegment(before[j]))
            continue;
        mayChange[j] = true;
        // XML tells "<name>" from "<NAME>", so there the tag stays as written.
        const std::string_view tag = xmlForm ? std::string_view(before[j]).substr(0, nameTag.size()) : nameTag;
        const CdataSection section = findCdata(before, j);
        if (section.unclosed) {
            FUZZ_CHECK(after[j] == before[j], "a name whose section closes past the next name stays");
            continue;
        }
        if (!section.found) {
            const std::string_view raw = trimSpaces(std::string_view(before[j]).substr(nameTag.size()));
            if (after[j].empty()) {
                values.check(raw, {});
                endTagGoes(j + 1);
            } else {
                FUZZ_CHECK(after[j].starts_with(tag), "a kept name is written with its tag, upper case but in XML");
                const std::string_view cleaned = after[j].substr(tag.size());
                FUZZ_CHECK(!cleaned.empty(), "a kept name is not empty");
                FUZZ_CHECK(cleaned.find('<') == std::string_view::npos, "a plain name holds no '<'");
                values.check(raw, cleaned);
            }
            continue;
        }
        for (std::size_t k = section.first; k <= section.last; ++k)
            mayChange[k] = true;
        const std::string_view raw = trimSpaces(section.content);
        if (after[j].empty()) {
            for (std::size_t k = section.first; k <= section.last; ++k)
                FUZZ_CHECK(after[k].empty(), "a removed CDATA name goes whole");
            values.check(raw, {});
            endTagGoes(section.last + 1);
        } else {
            FUZZ_CHECK(after[j] == tag, "a CDATA name keeps its bare tag");
            const std::string_view rebuilt = after[section.first];
            FUZZ_CHECK(rebuilt.starts_with(cdataOpen), "the section stays a CDATA section");
            const std::string closing = std::string(cdataClose) + section.tail;
            FUZZ_CHECK(rebuilt.size() >= cdataOpen.size() + closing.size() && rebuilt.ends_with(closing),
                       "the section closes as before, with what followed it");
            for (std::size_t k = section.first + 1; k <= section.last; ++k)
                FUZZ_CHECK(after[k].empty(), "the later pieces of a rewritten section are merged into the first");
            values.check(raw, rebuilt.substr(cdataOpen.size(), rebuilt.size() - cdataOpen.size() - closing.size()));
        }
        j = section.last;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!mayChange[i])
            FUZZ_CHECK(after[i] == before[i], "only payee names change");
    }
}

} // namespace scrivane::fuzz
