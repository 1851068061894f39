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
    // Numbers follow the user's locale; dates are dates in either day/month order,
    // with month names in the locale's language or in English.
    void rulesFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("notNumber");
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QStringList>("notDates");
        const QStringList everywhere {"03/15", "15/03", "12/25/2012", "25/12/2012", "2012-12-25", "25-Dec-2012"};
        const QStringList nowhere {"13/45", "31/02/2012", "2012-25-12", "ACME", "1/2/3/4"};
        QTest::newRow("en_US") << "en_US"
                               << "$1,234.50"
                               << "1.234,50" << everywhere + QStringList {"DEC25", "3-March"}
                               << nowhere + QStringList {"99/12/31"};
        QTest::newRow("en_GB") << "en_GB"
                               << "\u00A31,234.50"
                               << "1.234,50" << everywhere + QStringList {"25.12.12", "Sept.5"} << nowhere;
        QTest::newRow("de_DE") << "de_DE"
                               << "1.234,50"
                               << "1,234.50"
                               << everywhere + QStringList {"25.12.2012", "3.M\u00E4rz", "25-Dez-2012", "Mai5"}
                               << nowhere + QStringList {"M\u00E4rz.32"};
        QTest::newRow("fr_FR") << "fr_FR"
                               << "1234,50"
                               << "1.234.50"
                               << everywhere + QStringList {"25d\u00E9c.2012", "3-mars", "1-ao\u00FBt", "JUIN5"}
                               << nowhere + QStringList {"juil.32"};
        QTest::newRow("ja_JP") << "ja_JP"
                               << "1,234"
                               << "1.234.5" << everywhere + QStringList {"99/12/31", "2012/12/25", "Dec.25"} << nowhere;
    }
    void rulesFollowTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, number);
        QFETCH(QString, notNumber);
        QFETCH(QStringList, dates);
        QFETCH(QStringList, notDates);
        const LocaleRules rules = localeRulesFor(QLocale(locale));
        QVERIFY(isNumericWord(number.toStdString(), rules));
        QVERIFY(!isNumericWord(notNumber.toStdString(), rules));
        for (const QString& word : dates)
            QVERIFY2(isDateWord(word.toStdString(), rules), qPrintable(word));
        for (const QString& word : notDates)
            QVERIFY2(!isDateWord(word.toStdString(), rules), qPrintable(word));
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
