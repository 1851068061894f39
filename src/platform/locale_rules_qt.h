#pragma once

#include "names/locale_rules.h"

#include <QLocale>

namespace scrivane {

// The numeric and date conventions of a locale, as the name cleaner reads them.
// The programs pass QLocale::system().
LocaleRules localeRulesFor(const QLocale& locale);

// The order of day, month and year in a date format such as "dd/MM/yyyy".
DateOrder dateOrderOf(const QString& dateFormat);

} // namespace scrivane
