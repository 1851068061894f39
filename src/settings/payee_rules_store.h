#pragma once

#include "names/payee_renaming.h"
#include "rules/payee_rule.h"
#include "user_settings.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace scrivane {

// The payee rules in the user's settings file, in a group of their own beside
// [Prefs], one numbered entry a rule in the user's order, to be read and
// edited by hand:
//
//   [PayeeRules]
//   1\match=contains
//   1\text=wal mart
//   1\name=Walmart
//   size=1
//
// "size" is written for Qt's arrays and not needed to read: the entries count.

// An entry that was passed over, and why, in words that follow "the rule".
struct SkippedRule
{
    QString entry; // its number as it stands in the file
    std::string reason;
};

struct StoredRules
{
    std::vector<PayeeRule> rules;
    std::vector<SkippedRule> skipped;
};

// The rules the file holds, by their numbers. An entry that cannot be read (no
// number, no text or name, another kind of match, or a rule that could not be
// used) is left out and listed in skipped; the other rules stand as they are.
// An entry without a match is a contains rule, the default. A store that cannot
// be read holds no rules.
StoredRules readPayeeRules(const UserSettings& store);

// Puts rules in place of the group, in one write of the file; [Prefs] and
// anything else the file holds stay. True exactly when they reached the disk.
bool savePayeeRules(const UserSettings& store, const std::vector<PayeeRule>& rules);

// The saved rules as a clean in the desktop program takes them (NameOptions::
// renaming): nothing when none is saved, so that the clean stays as it always
// was. An entry that cannot be read is left out here, as readPayeeRules does,
// and named in the Payee Rules window.
std::shared_ptr<const PayeeRenaming> savedRenaming(const UserSettings& store);

} // namespace scrivane
