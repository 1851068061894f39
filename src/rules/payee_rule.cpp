#include "payee_rule.h"

#include "rule_text.h"
#include "statement/text.h"
#include "statement/utf8.h"

#include <re2/re2.h>

namespace scrivane {

namespace {

constexpr std::string_view kindNames[] = {"contains", "begins", "exact", "pattern"};

} // namespace

std::string_view matchKindName(MatchKind kind)
{
    return kindNames[static_cast<int>(kind)];
}

std::optional<MatchKind> matchKindFromName(std::string_view word)
{
    word = trimBlanks(word);
    if (word.empty())
        return MatchKind::Contains;
    for (int k = 0; k < 4; ++k) {
        if (equalsNoCase(word, kindNames[k]))
            return static_cast<MatchKind>(k);
    }
    return std::nullopt;
}

std::optional<RuleProblem> ruleProblem(const PayeeRule& rule)
{
    const TextFacts text = factsOf(rule.text);
    const TextFacts name = factsOf(rule.name);
    if (!text.utf8)
        return RuleProblem {RuleField::Text, "holds bytes that are not UTF-8 in its text"};
    if (!name.utf8)
        return RuleProblem {RuleField::Name, "holds bytes that are not UTF-8 in its name"};
    if (rule.match == MatchKind::Contains      ? !text.word
            : rule.match == MatchKind::Pattern ? rule.text.empty()
                                               : !text.nonBlank)
        return RuleProblem {RuleField::Text,
                            rule.match == MatchKind::Contains ? "has no word to look for" : "has no text to look for"};
    if (!name.nonSpace)
        return RuleProblem {RuleField::Name, "has no name to write"};
    if (name.control)
        return RuleProblem {RuleField::Name, "has a line break or another control character in its name"};
    if (rule.match == MatchKind::Pattern) {
        RE2::Options options;
        options.set_log_errors(false);
        const RE2 pattern(rule.text, options);
        if (!pattern.ok())
            return RuleProblem {RuleField::Text, "has a pattern that does not compile: " + pattern.error()};
    }
    return std::nullopt;
}

std::string describeRule(std::size_t number, const PayeeRule& rule)
{
    return "Rule " + std::to_string(number) + " (" + std::string(matchKindName(rule.match)) + " \"" + rule.text + "\")";
}

} // namespace scrivane
