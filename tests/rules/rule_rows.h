#pragma once

#include "rules/payee_renamer.h"
#include "rules/rule_set.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

// Rules written one to a line as "kind|text|name", with "\n" (backslash, n)
// for a line break inside a field.
inline std::vector<scrivane::PayeeRule> parseRules(const QString& lines)
{
    std::vector<scrivane::PayeeRule> rules;
    for (const QString& line : lines.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = QString(line).replace(QStringLiteral("\\n"), QStringLiteral("\n")).split(u'|');
        rules.push_back({scrivane::matchKindFromName(fields[0].toStdString()).value_or(scrivane::MatchKind::Contains),
                         fields.value(1).toStdString(),
                         fields.value(2).toStdString()});
    }
    return rules;
}

inline scrivane::RuleSet compiledRules(const QString& lines)
{
    auto result = scrivane::RuleSet::compile(parseRules(lines));
    if (auto* error = std::get_if<scrivane::RuleError>(&result))
        qFatal("rules do not compile: %s", error->message.c_str());
    return std::move(std::get<scrivane::RuleSet>(result));
}

inline std::shared_ptr<const scrivane::RuleRenaming> renamingOf(const QString& lines)
{
    return std::make_shared<scrivane::RuleRenaming>(compiledRules(lines));
}
