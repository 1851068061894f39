#include "locale_rules_qt.h"

namespace scrivane {

DateOrder dateOrderOf(const QString& dateFormat)
{
    // Quoted literals in a format ('de', 'г.') are text, not fields.
    qsizetype day = -1;
    qsizetype month = -1;
    qsizetype year = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < dateFormat.size(); ++i) {
        QChar c = dateFormat[i];
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == u'd' && day < 0)
                day = i;
            else if (c == u'M' && month < 0)
                month = i;
            else if (c == u'y' && year < 0)
                year = i;
        }
    }
    if (year >= 0 && (month < 0 || year < month) && (day < 0 || year < day))
        return DateOrder::YearMonthDay;
    if (day >= 0 && month >= 0 && day < month)
        return DateOrder::DayMonthYear;
    return DateOrder::MonthDayYear;
}

LocaleRules localeRulesFor(const QLocale& locale)
{
    // The C locale means no locale was chosen (LANG=C, a bare server). Its ISO
    // dates would keep "03/15" in names; statements are read as US English then.
    if (locale.language() == QLocale::C)
        return LocaleRules::enUS();
    LocaleRules rules;
    rules.decimalPoint = locale.decimalPoint().toStdString();
    rules.groupSeparator = locale.groupSeparator().toStdString();
    rules.currencySymbol = locale.currencySymbol(QLocale::CurrencySymbol).toStdString();
    rules.dateOrder = dateOrderOf(locale.dateFormat(QLocale::ShortFormat));
    for (int m = 1; m <= 12; ++m) {
        rules.monthNames[static_cast<std::size_t>(m - 1)] = locale.monthName(m, QLocale::LongFormat).toStdString();
        rules.monthAbbreviations[static_cast<std::size_t>(m - 1)]
            = locale.monthName(m, QLocale::ShortFormat).toStdString();
    }
    rules.amDesignator = locale.amText().toStdString();
    rules.pmDesignator = locale.pmText().toStdString();
    return rules;
}

} // namespace scrivane
