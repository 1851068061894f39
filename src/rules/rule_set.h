#pragma once

#include "payee_rule.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace scrivane {

// Why a list of rules cannot be used: the rule that stops it, counting from 1,
// and the whole message for the user.
struct RuleError
{
    std::size_t number = 0;
    std::string message;
};

class RuleMatcher;

// Payee rules, indexed for matching: the first rule in the user's order that
// matches a name wins. Nothing is tried one rule after another: contains rules
// are found through one of their words, exact ones by the whole folded name,
// begins ones by walking a tree of prefixes along the name, and all patterns
// run at once as one RE2 set. A name thus costs about the same with a thousand
// rules as with ten.
class RuleSet
{
public:
    RuleSet(); // no rule: nothing matches
    ~RuleSet();
    RuleSet(RuleSet&&) noexcept;
    RuleSet& operator=(RuleSet&&) noexcept;

    // The rules ready to match, or the first that cannot be used (ruleProblem).
    // Rules the caller has already held to ruleProblem one by one, as
    // readRulesCsv does, need not be checked twice: Checked::Yes.
    enum class Checked { No, Yes };
    static std::variant<RuleSet, RuleError> compile(std::vector<PayeeRule> rules, Checked checked = Checked::No);

    bool empty() const;
    std::size_t size() const;
    // In the user's order, counting from 0.
    const PayeeRule& rule(std::size_t index) const;

private:
    friend class RuleMatcher;
    struct Index;
    std::unique_ptr<Index> index_;
};

// Matches names against one rule set, keeping its buffers from one name to the
// next. The set must outlive the matcher.
class RuleMatcher
{
public:
    explicit RuleMatcher(const RuleSet& rules);
    ~RuleMatcher();

    // The first rule, counting from 0, that matches a name given as a reader of
    // the statement sees it, in UTF-8.
    std::optional<std::size_t> firstMatch(std::string_view name);

private:
    const RuleSet::Index* index_;
    std::string folded_;
    std::vector<std::string_view> words_;
    std::vector<std::uint32_t> present_;
    std::vector<int> patternHits_;
};

} // namespace scrivane
