#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// How a rule decides that a payee name is one of its payee's spellings.
enum class MatchKind {
    Contains, // every word of the text is one of the name's words, in any order
    Begins, // the name begins with the text
    Exact, // the name is the text
    Pattern, // a regular expression (RE2) is found somewhere in the name
};

// One payee rule as the user keeps it: texts in UTF-8, the name exactly as it is
// to be written.
struct PayeeRule
{
    MatchKind match = MatchKind::Contains;
    std::string text;
    std::string name;

    bool operator==(const PayeeRule&) const = default;
};

// "contains", "begins", "exact", "pattern": how rule files and the settings
// store spell the kinds.
std::string_view matchKindName(MatchKind kind);

// The kind a stored word stands for, in any letter case and with spaces around
// it; an empty word is the default kind, contains. Nothing for any other word.
std::optional<MatchKind> matchKindFromName(std::string_view word);

enum class RuleField { Match, Text, Name };

// Why a rule cannot be used: the field at fault and the reason, in words that
// follow "the rule" ("has no name to write").
struct RuleProblem
{
    RuleField field = RuleField::Text;
    std::string reason;
};

// What keeps a rule from being used, or nothing when it can. A pattern is
// compiled to find out.
std::optional<RuleProblem> ruleProblem(const PayeeRule& rule);

// How messages name a rule: its number counting from 1 and what it matches,
// as in: rule 3 (contains "wal mart").
std::string describeRule(std::size_t number, const PayeeRule& rule);

} // namespace scrivane
