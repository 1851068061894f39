#include "payee_rules_store.h"

#include "rules/payee_renamer.h"
#include "rules/rule_set.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace scrivane {

namespace {

const QString group = QStringLiteral("PayeeRules");

// A hand-edited value need not come back as a plain string: an unquoted "a,b"
// arrives as a list. Nothing at all is no value.
std::optional<std::string> textOf(const QSettings& store, const QString& key)
{
    if (!store.contains(key))
        return std::nullopt;
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    if (!value.canConvert<QString>())
        return std::nullopt;
    return value.toString().toStdString();
}

// An entry's number: digits alone, 1 or more.
std::optional<unsigned long> numberOf(const QString& entry)
{
    bool ok = false;
    const unsigned long number = entry.toULong(&ok);
    if (!ok || number == 0 || entry.isEmpty()
        || !std::all_of(entry.begin(), entry.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return number;
}

} // namespace

StoredRules readPayeeRules(const UserSettings& store)
{
    StoredRules stored;
    if (!store.usable().ok())
        return stored;
    try {
        QSettings settings(store.fileName(), QSettings::IniFormat);
        if (settings.status() == QSettings::AccessError)
            return stored;
        settings.beginGroup(group);
        std::vector<std::pair<unsigned long, QString>> entries;
        for (const QString& entry : settings.childGroups()) {
            if (const std::optional<unsigned long> number = numberOf(entry))
                entries.emplace_back(*number, entry);
            else
                stored.skipped.push_back({entry, "is named by no number"});
        }
        std::sort(entries.begin(), entries.end());
        for (const auto& [number, entry] : entries) {
            const std::optional<std::string> match = textOf(settings, entry + QStringLiteral("/match"));
            const std::optional<std::string> text = textOf(settings, entry + QStringLiteral("/text"));
            const std::optional<std::string> name = textOf(settings, entry + QStringLiteral("/name"));
            const std::optional<MatchKind> kind = match ? matchKindFromName(*match) : MatchKind::Contains;
            if (!text || !name) {
                stored.skipped.push_back({entry, !text ? "has no text" : "has no name"});
            } else if (!kind) {
                stored.skipped.push_back(
                    {entry, "matches by \"" + *match + "\", which is none of contains, begins, exact and pattern"});
            } else {
                PayeeRule rule {*kind, *text, *name};
                if (const std::optional<RuleProblem> problem = ruleProblem(rule))
                    stored.skipped.push_back({entry, problem->reason});
                else
                    stored.rules.push_back(std::move(rule));
            }
        }
    } catch (...) {
        return {};
    }
    return stored;
}

bool savePayeeRules(const UserSettings& store, const std::vector<PayeeRule>& rules)
{
    if (!store.usable().ok())
        return false;
    try {
        QSettings settings(store.fileName(), QSettings::IniFormat);
        settings.remove(group);
        settings.beginWriteArray(group, static_cast<int>(rules.size()));
        for (std::size_t i = 0; i < rules.size(); ++i) {
            settings.setArrayIndex(static_cast<int>(i));
            settings.setValue(QStringLiteral("match"), QString::fromUtf8(matchKindName(rules[i].match)));
            settings.setValue(QStringLiteral("text"), QString::fromStdString(rules[i].text));
            settings.setValue(QStringLiteral("name"), QString::fromStdString(rules[i].name));
        }
        settings.endArray();
        settings.sync();
        return settings.status() != QSettings::AccessError;
    } catch (...) {
        return false;
    }
}

std::shared_ptr<const PayeeRenaming> savedRenaming(const UserSettings& store)
{
    StoredRules stored = readPayeeRules(store);
    if (stored.rules.empty())
        return nullptr;
    auto compiled = RuleSet::compile(std::move(stored.rules), RuleSet::Checked::Yes);
    if (RuleSet* rules = std::get_if<RuleSet>(&compiled))
        return std::make_shared<RuleRenaming>(std::move(*rules));
    return nullptr;
}

} // namespace scrivane
