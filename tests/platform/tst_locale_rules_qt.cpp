#include "platform/locale_rules_qt.h"

#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::DateOrder)

class TestLocaleRulesQt : public QObject
{
    Q_OBJECT

private slots:
    void dateOrder_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<DateOrder>("order");
        QTest::newRow("US") << "M/d/yy" << DateOrder::MonthDayYear;
        QTest::newRow("UK") << "dd/MM/yyyy" << DateOrder::DayMonthYear;
        QTest::newRow("German") << "dd.MM.yy" << DateOrder::DayMonthYear;
        QTest::newRow("ISO") << "yyyy-MM-dd" << DateOrder::YearMonthDay;
        QTest::newRow("weekday first") << "ddd, M/d/yyyy" << DateOrder::DayMonthYear;
        QTest::newRow("quoted letters") << "'de' M/d/yy" << DateOrder::MonthDayYear;
        QTest::newRow("quoted year first") << "'y' d.M.yy" << DateOrder::DayMonthYear;
    }
    void dateOrder()
    {
        QFETCH(QString, format);
        QFETCH(DateOrder, order);
        QCOMPARE(dateOrderOf(format), order);
    }

    void rulesFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<DateOrder>("order");
        QTest::addColumn<QString>("march");
        QTest::addColumn<QString>("dec");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "."
                               << ","
                               << "$" << DateOrder::MonthDayYear << "March"
                               << "Dec";
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "."
                               << ","
                               << "£" << DateOrder::DayMonthYear << "March"
                               << "Dec";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << ","
                               << "."
                               << "€" << DateOrder::DayMonthYear << "März"
                               << "Dez.";
        QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan) << "."
                               << ","
                               << "￥" << DateOrder::YearMonthDay << "3月"
                               << "12月";
    }
    void rulesFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, decimal);
        QFETCH(QString, group);
        QFETCH(QString, currency);
        QFETCH(DateOrder, order);
        QFETCH(QString, march);
        QFETCH(QString, dec);
        LocaleRules rules = localeRulesFor(locale);
        QCOMPARE(QString::fromStdString(rules.decimalPoint), decimal);
        QCOMPARE(QString::fromStdString(rules.groupSeparator), group);
        QCOMPARE(QString::fromStdString(rules.currencySymbol), currency);
        QCOMPARE(rules.dateOrder, order);
        QCOMPARE(QString::fromStdString(rules.monthNames[2]), march);
        QCOMPARE(QString::fromStdString(rules.monthAbbreviations[11]), dec);
        QCOMPARE(QString::fromStdString(rules.amDesignator), locale.amText());
        QVERIFY(!rules.amDesignator.empty());
    }

    // What the rules are for: the cleaner reads "1.234,50" as a number in
    // Germany, "25/12/2012" as a date in Britain but not in the US.
    void numbersAndDatesReadTheLocalWay()
    {
        LocaleRules german = localeRulesFor(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(isNumericWord("1.234,50", german));
        QVERIFY(isNumericWord("1,234.50", LocaleRules::enUS()));
        LocaleRules british = localeRulesFor(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QVERIFY(isDateWord("25/12/2012", british));
        QVERIFY(!isDateWord("25/12/2012", localeRulesFor(QLocale(QLocale::English, QLocale::UnitedStates))));
        QVERIFY(isDateWord("3-März-2012", german));
    }
};

QTEST_APPLESS_MAIN(TestLocaleRulesQt)
#include "tst_locale_rules_qt.moc"
