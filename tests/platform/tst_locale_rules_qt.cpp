#include "names/locale_rules.h"
#include "platform/locale_rules_qt.h"

#include <QtTest>

using namespace scrivane;

// The name cleaner sees the user's locale only through these rules, so a wrong
// separator or date order here makes it drop the wrong words.
class TestLocaleRulesQt : public QObject
{
    Q_OBJECT

private slots:
    void rulesFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("notNumber");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("notDate");
        QTest::newRow("en_US") << "en_US"
                               << "$1,234.50"
                               << "1.234,50"
                               << "12/25/2012"
                               << "25/12/2012";
        QTest::newRow("de_DE") << "de_DE"
                               << "1.234,50"
                               << "1,234.50"
                               << "25.12.2012"
                               << "12.25.2012";
        QTest::newRow("sv_SE") << "sv_SE"
                               << "1234,50"
                               << "1.234.50"
                               << "2012-12-25"
                               << "2012-25-12";
    }
    void rulesFollowTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, number);
        QFETCH(QString, notNumber);
        QFETCH(QString, date);
        QFETCH(QString, notDate);
        const LocaleRules rules = localeRulesFor(QLocale(locale));
        QVERIFY(isNumericWord(number.toStdString(), rules));
        QVERIFY(!isNumericWord(notNumber.toStdString(), rules));
        QVERIFY(isDateWord(date.toStdString(), rules));
        QVERIFY(!isDateWord(notDate.toStdString(), rules));
    }

    void monthNamesAndDateOrder()
    {
        const LocaleRules us = localeRulesFor(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(us.monthNames[11], std::string("December"));
        QCOMPARE(us.monthAbbreviations[0], std::string("Jan"));
        QVERIFY(isDateWord("25-Dec-2012", us));
        QCOMPARE(dateOrderOf("d 'de' MMMM 'de' yyyy"), DateOrder::DayMonthYear);
        QCOMPARE(dateOrderOf("yy/MM/dd"), DateOrder::YearMonthDay);
        QCOMPARE(dateOrderOf("M/d/yy"), DateOrder::MonthDayYear);
    }
};

QTEST_APPLESS_MAIN(TestLocaleRulesQt)
#include "tst_locale_rules_qt.moc"
