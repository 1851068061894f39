#pragma once

#include "payee_rule.h"

#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// Rules as a bookkeeper keeps them outside the program, under version control
// or to share between machines: comma-separated values (RFC 4180) in UTF-8,
// with the header "match,text,name" and one rule to a record in the user's order.

struct RulesFile
{
    std::vector<PayeeRule> rules;
    // Empty when every rule was read; otherwise the first thing wrong, naming
    // its line and column, and no rules are given.
    std::string error;
};

// Reads a rules file. The header's three columns may stand in any order; a
// byte-order mark is allowed; an empty match is contains. A rule that could
// not be used (ruleProblem) makes the file malformed, so that an import never
// brings in half a list; the rules given need no second check
// (RuleSet::Checked::Yes).
RulesFile readRulesCsv(std::string_view bytes);

// The rules as a file that readRulesCsv reads back to the same rules. It starts
// with a UTF-8 byte-order mark, without which spreadsheets read the letters
// beyond ASCII in the machine's own code page.
std::string writeRulesCsv(const std::vector<PayeeRule>& rules);

} // namespace scrivane
