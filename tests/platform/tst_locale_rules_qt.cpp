#include "platform/locale_rules_qt.h"

#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::DateOrder)

class TestLocaleRulesQt : public QObject
{
    Q_OBJECT

private slots:
    void rulesFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("number"); // a number there, with group separator and decimals
        QTest::addColumn<QString>("date"); // a date there that is not one in the US
        QTest::addColumn<DateOrder>("order");
        QTest::addColumn<QString>("march");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "1.234,50€"
                               << "25.12.2012" << DateOrder::DayMonthYear << "März";
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "£1,234.50"
                               << "25/12/2012" << DateOrder::DayMonthYear << "March";
        QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan) << "￥1,234.50"
                               << "2012/12/25" << DateOrder::YearMonthDay << "3月";
    }
    void rulesFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, number);
        QFETCH(QString, date);
        QFETCH(DateOrder, order);
        QFETCH(QString, march);
        LocaleRules rules = localeRulesFor(locale);
        QCOMPARE(rules.dateOrder, order);
        QCOMPARE(QString::fromStdString(rules.monthNames[2]), march);
        QCOMPARE(QString::fromStdString(rules.pmDesignator), locale.pmText());
        QVERIFY(isNumericWord(number.toStdString(), rules));
        QVERIFY(!isNumericWord(number.toStdString(), LocaleRules::enUS()));
        QVERIFY(isDateWord(date.toStdString(), rules));
    }

    // Literal text in a format ('de', 'y') holds no field.
    void quotedTextIsNoField()
    {
        QCOMPARE(dateOrderOf(QStringLiteral("'y' d.M.yy")), DateOrder::DayMonthYear);
        QCOMPARE(dateOrderOf(QStringLiteral("'de' M/d/yy")), DateOrder::MonthDayYear);
    }
};

QTEST_APPLESS_MAIN(TestLocaleRulesQt)
#include "tst_locale_rules_qt.moc"
