#include "rule_invariants.h"

#include "invariants.h"

#include "names/name_cleaner.h"
#include "names/statement_cleaner.h"
#include "rules/payee_renamer.h"
#include "rules/rule_text.h"
#include "statement/text.h"

#include <re2/re2.h>

#include <array>
#include <cstdint>
#include <memory>

namespace scrivane::fuzz {

namespace {

// Names that need escaping in each form, end a CDATA section, or hold letters
// that ASCII or Windows-1252 lack.
constexpr std::array<std::string_view, 5> ruleNames
    = {"Walmart", "B & G <Cafe>", "Caf\xC3\xA9 ]]> D", "\xC5\x92uvre \xE2\x82\xAC", "\xE2\x86\x92 Arrow"};

std::uint64_t hashOf(std::string_view text)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : text)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return h;
}

// Up to four rules, each made from one of the statement's names by the bits of h.
std::vector<PayeeRule> rulesFrom(const SegmentList& segments, Charset charset, std::uint64_t h)
{
    std::vector<std::string> names;
    forEachPayeeElement(segments, [&](const PayeeElement& element) {
        std::string decoded;
        decodePayeeValue(rawPayeeValue(segments, element), element.cdata, charset, decoded);
        names.push_back(std::move(decoded));
    });
    std::vector<PayeeRule> rules;
    for (int r = 0; r < 4 && !names.empty(); ++r, h >>= 12) {
        const std::string& name = names[(h >> 4) % names.size()];
        std::string folded;
        foldText(name, true, folded);
        std::vector<std::string_view> words;
        splitFoldedWords(folded, words);
        const std::string firstWord = words.empty() ? std::string("zq") : std::string(words.front());
        PayeeRule rule {static_cast<MatchKind>(h & 3), {}, std::string(ruleNames[(h >> 2) % ruleNames.size()])};
        switch (rule.match) {
        case MatchKind::Contains:
            rule.text = words.size() > 1 ? std::string(words.back()) + " " + firstWord : firstWord;
            break;
        case MatchKind::Begins:
            rule.text = firstWord;
            break;
        case MatchKind::Exact:
            rule.text = name;
            break;
        case MatchKind::Pattern:
            rule.text = "(?i)^\\s*" + RE2::QuoteMeta(firstWord);
            break;
        }
        if (!ruleProblem(rule))
            rules.push_back(std::move(rule));
    }
    return rules;
}

// The SGML form keeps a value's line end after a rule's name; in XML and in a
// CDATA section the name stands alone.
std::string lineEndOf(std::string_view raw)
{
    std::size_t keep = raw.size();
    while (keep > 0 && (raw[keep - 1] == '\r' || raw[keep - 1] == '\n' || raw[keep - 1] == '\t'))
        --keep;
    return std::string(raw.substr(keep));
}

} // namespace

void checkRuleRewrite(std::string_view text, const NameOptions& options, Target target, const LocaleRules& locale)
{
    SegmentList original;
    splitTagSegments(text, original);
    const Charset charset = detectCharset(original);
    const bool xml = isXmlForm(original);
    auto compiled = RuleSet::compile(rulesFrom(original, charset, hashOf(text)));
    FUZZ_CHECK(std::holds_alternative<RuleSet>(compiled), "rules that pass their check compile");
    const auto renaming = std::make_shared<RuleRenaming>(std::move(std::get<RuleSet>(compiled)));
    const RuleSet& rules = renaming->rules();
    NameOptions withRules = options;
    withRules.renaming = renaming;

    SegmentList plain;
    SegmentList renamed;
    splitTagSegments(text, plain);
    splitTagSegments(text, renamed);
    cleanPayeeNames(plain, options, locale);
    const NamesReport report = cleanPayeeNames(renamed, withRules, locale);

    SegmentList whole;
    std::string converted;
    const FormReport form = cleanStatement(text, converted, whole, target, withRules, locale);
    if (!(target == Target::QuickBooks && xml))
        FUZZ_CHECK(form.failure == report.failure, "the whole clean fails where its name step fails");

    if (!report.ok()) {
        bool named = false;
        for (std::size_t r = 0; r < rules.size(); ++r) {
            std::string bytes;
            if (report.failure.starts_with(describeRule(r + 1, rules.rule(r)) + " ")
                && encodePayeeValue(rules.rule(r).name, charset, xml, false, bytes))
                named = true;
        }
        FUZZ_CHECK(named, "a failed clean names a rule whose name the character set cannot hold");
        return;
    }

    std::vector<bool> inName(original.size(), false);
    forEachPayeeElement(original, [&](const PayeeElement& element) {
        const std::size_t last = element.cdata ? element.cdataLast : element.index;
        for (std::size_t i = element.index; i <= last; ++i)
            inName[i] = true;
        std::string plainText;
        std::string renamedText;
        for (std::size_t i = element.index; i <= last; ++i) {
            plainText.append(plain[i]);
            renamedText.append(renamed[i]);
        }
        if (renamedText == plainText)
            return;
        const std::string_view raw = rawPayeeValue(original, element);
        const std::string tag(xml ? original[element.index].substr(0, 6) : std::string_view("<NAME>"));
        bool ruleName = false;
        for (std::size_t r = 0; r < rules.size() && !ruleName; ++r) {
            std::string value;
            if (encodePayeeValue(rules.rule(r).name, charset, xml, element.cdata, value))
                continue;
            const std::string expected = element.cdata
                ? tag + "<![CDATA[" + value + "]]>" + std::string(element.cdataTail)
                : tag + value + (xml ? std::string() : lineEndOf(raw));
            ruleName = renamedText == expected;
        }
        FUZZ_CHECK(ruleName, "every name written is a rule's name or the cleaned name");
    });
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (!inName[i])
            FUZZ_CHECK(renamed[i] == original[i] || renamed[i] == plain[i],
                       "every byte outside the names is what the clean without rules leaves");
    }
}

} // namespace scrivane::fuzz
