#include "names/locale_rules.h"

#include <QTest>

using namespace scrivane;

namespace {

const LocaleRules& locale(const QByteArray& name)
{
    static const LocaleRules dayFirst = [] {
        LocaleRules r;
        r.currencySymbol = "\xC2\xA3"; // pound sign
        r.dateOrder = DateOrder::DayMonthYear;
        return r;
    }();
    static const LocaleRules german = [] {
        LocaleRules r;
        r.decimalPoint = ",";
        r.groupSeparator = ".";
        r.currencySymbol = "\xE2\x82\xAC"; // euro sign
        r.dateOrder = DateOrder::DayMonthYear;
        // Only the months that the rows use; one of them holds a letter outside ASCII.
        r.monthNames[2] = r.monthAbbreviations[2] = "M\xC3\xA4rz";
        r.monthNames[4] = r.monthAbbreviations[4] = "Mai";
        r.monthNames[11] = "Dezember";
        r.monthAbbreviations[11] = "Dez";
        return r;
    }();
    if (name == "dayFirst")
        return dayFirst;
    if (name == "de")
        return german;
    return LocaleRules::enUS();
}

void addRows(const QByteArray& localeName, std::initializer_list<std::pair<const char*, bool>> rows)
{
    for (const auto& [word, expected] : rows)
        QTest::addRow("%s \"%s\"", localeName.constData(), word) << localeName << QByteArray(word) << expected;
}

} // namespace

class TestLocaleRules : public QObject
{
    Q_OBJECT

private slots:
    void numeric_data();
    void numeric();
    void date_data();
    void date();
};

void TestLocaleRules::numeric_data()
{
    QTest::addColumn<QByteArray>("localeName");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<bool>("expected");
    addRows("enUS",
            {{"1234", true},
             {"57442", true},
             {"-12.50", true},
             {"12A", false},
             {"#", false},
             {"-", false},
             {"", false},
             {"$1,234.00", true},
             {"12.50-", true},
             {"(7)", true},
             {"1,,2", false},
             {"+5", true},
             {".5", true},
             {"5.", true},
             {".", false},
             {"1.2.3", false},
             {"1e5", true},
             {"1e", false},
             {"--5", false},
             {"$$5", false},
             {"(-5)", false},
             {",5", false},
             {"5,", false},
             {"5$", true},
             {"-$5", true},
             {"\t42\r\n", true},
             {"4 2", false},
             {"\xE2\x82\xAC"
              "5",
              false},
             {"03/15", false},
             {"$", false},
             {"()", false}});
    addRows("dayFirst",
            {{"\xC2\xA3"
              "5",
              true},
             {"1,234.5", true},
             {"$5", false}});
    addRows("de",
            {{"1.234,50", true},
             {"-12,50", true},
             {"12,50\xE2\x82\xAC", true},
             {"\xE2\x82\xAC"
              "12",
              true},
             {"1,,5", false},
             {"$5", false},
             {"1234", true},
             {"12A", false}});
}

void TestLocaleRules::numeric()
{
    QFETCH(QByteArray, localeName);
    QFETCH(QByteArray, word);
    QFETCH(bool, expected);
    QCOMPARE(isNumericWord(word.toStdString(), locale(localeName)), expected);
}

void TestLocaleRules::date_data()
{
    QTest::addColumn<QByteArray>("localeName");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<bool>("expected");
    addRows("enUS", {{"03/15", true},       {"12/25/2012", true}, {"ACME", false},     {"2012-12-25", true},
                     {"25-Dec-2012", true}, {"DEC25", true},      {"25DEC2012", true}, {"10:30PM", true},
                     {"7PM", true},         {"23:59", true},      {"13/45", false},    {"1/2/3/4", false},
                     {"02/30", false},      {"02/29", true},      {"12-25-12", true},  {"12/25-2012", false},
                     {"25/12", false},      {"DECO", false},      {"December", false}, {"May-2012", true},
                     {"0PM", false},        {"24:00", false},     {"10:60", false},    {"12", false},
                     {"1234", false},       {"3/15\r\n", true},   {"\t12.25", true},   {"12/25/123", false},
                     {"", false},           {"/", false},         {"3/", false},       {"5-Oct", true}});
    addRows("dayFirst", {{"25/12", true}, {"12/25", false}, {"31/04", false}, {"25/12/2012", true}});
    addRows("de",
            {{"25.12.2012", true},
             {"3.Mai", true},
             {"Mai2012", true},
             {"M\xC3\xA4rz", false},
             {"1.M\xC3\xA4rz", true},
             {"25-Dec-2012", false},
             {"25-Dez-2012", true}});
}

void TestLocaleRules::date()
{
    QFETCH(QByteArray, localeName);
    QFETCH(QByteArray, word);
    QFETCH(bool, expected);
    QCOMPARE(isDateWord(word.toStdString(), locale(localeName)), expected);
}

QTEST_APPLESS_MAIN(TestLocaleRules)
#include "tst_locale_rules.moc"
