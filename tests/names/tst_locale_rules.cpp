#include "names/locale_rules.h"

#include <QTest>

using namespace scrivane;

enum Kind { neither, number, date };

// Day first, "," as decimal point, the euro sign, and a month name with a letter outside ASCII.
static LocaleRules german()
{
    LocaleRules r {.decimalPoint = ",",
                   .groupSeparator = ".",
                   .currencySymbol = "\xE2\x82\xAC",
                   .dateOrder = DateOrder::DayMonthYear};
    r.monthNames[2] = r.monthAbbreviations[2] = "M\xC3\xA4rz";
    r.monthNames[11] = "Dezember";
    r.monthAbbreviations[11] = "Dez.";
    return r;
}

static void addRows(const char* localeName, Kind kind, std::initializer_list<const char*> words)
{
    for (const char* word : words)
        QTest::addRow("%s \"%s\"", localeName, word) << QByteArray(localeName) << QByteArray(word) << int(kind);
}

class TestLocaleRules : public QObject
{
    Q_OBJECT

private slots:
    void classify_data()
    {
        QTest::addColumn<QByteArray>("localeName");
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<int>("kind");
        addRows("en_US", number, {"1234", "57442", "-12.50", "\t42\r\n", "$1,234.00", "12.50-", "(7)", "1e5"});
        addRows("en_US", number, {"5.", ".5", "1,234,567", "1e-99999", "-1e99999", "007"});
        addRows("en_US", neither, {"12A", "#", "-", "", "1,,2", "\xE2\x82\xAC\x35", "ACME", "December"});
        addRows("en_US", date, {"03/15", "12/25/2012", "3/15\r\n", "2012-12-25", "25-Dec-2012", "DEC25", "10:30PM"});
        addRows("en_US", date, {"02/29", "1.2.3", "25/12", "31.12.2012", "15-Mar", "March12"});
        addRows("en_US", neither, {"13/45", "1/2/3/4", "02/30", "30/02", "24:00", "12/25/123", "2012/25/12"});
        addRows("de_DE", number, {"1.234,50", "12,50\xE2\x82\xAC"});
        // A US bank's statement keeps its month-first dates, and English month names
        // count beside the locale's own.
        addRows("de_DE", date, {"25/12", "12/25", "12/25/2012", "03/15", "1.M\xC3\xA4rz", "25-Dec-2012"});
        addRows("de_DE", date, {"Dez.25", "25DEZ2012", "MAY5"});
        addRows("de_DE", neither, {"$5", "1,,5", "13/13", "M\xC3\xA4rz", "Decem5", "31/02/2012"});
    }

    void classify()
    {
        QFETCH(QByteArray, localeName);
        QFETCH(QByteArray, word);
        QFETCH(int, kind);
        const LocaleRules locale = localeName == "de_DE" ? german() : LocaleRules::enUS();
        QCOMPARE(isNumericWord(word.toStdString(), locale), kind == number);
        QCOMPARE(parseNumber(word.toStdString(), locale).has_value(), kind == number);
        QCOMPARE(isDateWord(word.toStdString(), locale), kind == date);
    }
};

QTEST_APPLESS_MAIN(TestLocaleRules)
#include "tst_locale_rules.moc"
