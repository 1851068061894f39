#pragma once

#include "names/locale_rules.h"
#include "names/name_options.h"
#include "rule_set.h"
#include "statement/statement_form.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// One payee name of a statement beside what the rules make of it.
struct RuleListing
{
    std::string_view raw; // as "Names in file" lists it
    std::string_view written; // as the cleaned list shows what a clean writes; empty when cleaned away
    std::optional<std::size_t> rule; // the rule that wrote it, counting from 0
};

struct RuleListingReport
{
    Charset charset = Charset::Ascii; // the statement's, in which the names are to be read
    // Why a clean would fail (a rule's name the character set cannot hold); the
    // listing stops at that name. Empty otherwise.
    std::string failure;
};

// Each name that "Names in file" lists, in file order, with what a clean by
// options and rules writes in its place and which rule, if any, wrote it: what
// scrivane-clean --list rules prints and the Payee Rules window shows. The views
// last for the call only.
RuleListingReport forEachRuleListing(std::string_view text,
                                     const NameOptions& options,
                                     const RuleSet& rules,
                                     const LocaleRules& locale,
                                     const std::function<void(const RuleListing&)>& visit);

} // namespace scrivane
