#include "convert/amount.h"
#include "convert/bank_file.h"
#include "convert/date.h"
#include "convert/mapping.h"

#include <QTest>

using namespace scrivane;

// Amounts, dates and the mapping's text form: the small readers that every row
// of every bank's file goes through.
class TestConvertValues : public QObject
{
    Q_OBJECT

private slots:
    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("expected"); // as OFX writes it; empty: refused

        // clang-format off
        const struct { const char* text; bool comma; const char* expected; } rows[] = {
            {"1,000.00", false, "1000.00"}, {"1.000,00", true, "1000.00"}, {"11'373.94", false, "11373.94"},
            {"1 234,56", true, "1234.56"}, {"1\xC2\xA0" "234,5", true, "1234.50"}, {"1,00,000.00", false, "100000.00"},
            {"50000", false, "50000.00"}, {"0.125", false, "0.125"}, {"-17.60", false, "-17.60"},
            {"$20.00", false, "20.00"}, {"-$20.00", false, "-20.00"}, {"$-20.00", false, "-20.00"},
            {"(20.00)", false, "-20.00"}, {"($1,020.00)", false, "-1020.00"}, {"20,00-", true, "-20.00"},
            {"\xE2\x82\xAC 1.234,56", true, "1234.56"}, {"10,00 \xE2\x82\xAC", true, "10.00"},
            {"CHF 10.00", false, "10.00"}, {"R$ 5,00", true, "5.00"}, {"+5", false, "5.00"},
            {"\xE2\x88\x92" "5.25", false, "-5.25"}, {"100.00 CR", false, "100.00"}, {"100.00DR", false, "-100.00"},
            // What is no amount, or a misread mark.
            {"INV-1", false, ""}, {"ATM", false, ""}, {"12/25", false, ""}, {"31.03.2019", true, ""},
            {"1,2,3", false, ""}, {"1.5.0", true, ""}, {"5 5", false, ""}, {"", false, ""}, {"-", false, ""},
            {"--5", false, ""}, {"(-5)", false, ""}, {"1,000.00", true, ""}, {"1234567890123456789", false, ""},
        };
        // clang-format on
        for (const auto& r : rows)
            QTest::newRow(r.text) << QString::fromUtf8(r.text) << r.comma << QString::fromUtf8(r.expected);
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(bool, comma);
        QFETCH(QString, expected);
        std::string problem;
        const auto amount = parseAmount(text.toStdString(), comma ? DecimalMark::Comma : DecimalMark::Point, &problem);
        QCOMPARE(amount ? QString::fromStdString(ofxAmount(*amount)) : QString(), expected);
        QCOMPARE(problem.empty(), amount.has_value());
    }

    void decimalMarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mark"); // -1: says nothing
        const int point = int(DecimalMark::Point), comma = int(DecimalMark::Comma);
        QTest::newRow("both, point last") << "1,000.00" << point;
        QTest::newRow("both, comma last") << "1.000,00" << comma;
        QTest::newRow("one decimal") << "10,5" << comma;
        QTest::newRow("groups twice") << "1.000.000" << comma;
        QTest::newRow("one group of three") << "1,000" << -1;
        QTest::newRow("none") << "12" << -1;
    }
    void decimalMarks()
    {
        QFETCH(QString, text);
        QFETCH(int, mark);
        const auto found = decimalMarkOf(text.toStdString());
        QCOMPARE(found ? int(*found) : -1, mark);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("orders"); // the orders it reads in
        QTest::addColumn<QString>("date"); // as OFX writes it, in the first of them

        // clang-format off
        const struct { const char* text; const char* orders; const char* date; } rows[] = {
            {"2019-03-31", "ymd", "20190331"}, {"20150208", "ymd", "20150208"}, {"2021-02-03 13:12", "ymd", "20210203"},
            {"2021-02-03T13:12:00Z", "ymd", "20210203"}, {"31.03.2019", "dmy", "20190331"},
            {"2/24/15", "mdy", "20150224"}, {"24/03/2022", "dmy", "20220324"}, {"05/03/2021", "mdy dmy", "20210503"},
            {"12/31/99", "mdy", "19991231"}, {"1/2/69", "mdy dmy", "20690102"},
            // Quicken's years after an apostrophe are of this century.
            {"6/12'15", "mdy dmy", "20150612"}, {"12/25' 3", "mdy", "20031225"},
            // Month names fix the order, in each language read.
            {"03 Jan 2020", "dmy", "20200103"}, {"Jan 3, 2020", "mdy", "20200103"}, {"3-janv.-2020", "dmy", "20200103"},
            {"1. M\xC3\xA4rz 2020", "dmy", "20200301"}, {"12 dic 2021", "dmy", "20211212"},
            {"2020 Feb 29", "ymd", "20200229"},
            // Not dates.
            {"29/02/2021", "", ""}, {"2019-02-29", "", ""}, {"13/13/2020", "", ""}, {"ACME", "", ""}, {"12.03", "", ""},
            {"", "", ""}, {"12:31:46", "", ""}, {"1/2/123", "", ""}, {"Ma 3 2020", "", ""},
        };
        // clang-format on
        for (const auto& r : rows)
            QTest::newRow(r.text) << QString::fromUtf8(r.text) << r.orders << r.date;
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QString, orders);
        QFETCH(QString, date);
        const std::string t = text.toStdString();
        const DateOrders possible = possibleDateOrders(t);
        QStringList words;
        std::optional<NumericDateOrder> first;
        for (NumericDateOrder order :
             {NumericDateOrder::YearMonthDay, NumericDateOrder::MonthDayYear, NumericDateOrder::DayMonthYear}) {
            if (possible & orderBit(order)) {
                words << QString::fromStdString(std::string(dateOrderWord(order)));
                first = first.value_or(order);
            }
        }
        QCOMPARE(words.join(' '), orders);
        const auto parsed = first ? parseDate(t, *first) : std::nullopt;
        QCOMPARE(parsed ? QString::fromStdString(ofxDate(*parsed)) : QString(), date);
    }

    // A bank's file is the user's source: what is made from it never takes its name.
    void outputPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("output"); // empty: not a bank's file
        QTest::newRow("csv for QuickBooks") << "/h/May.csv" << int(Target::QuickBooks) << "/h/May.QBO";
        QTest::newRow("CSV for Quicken") << "C:\\x\\May.CSV" << int(Target::Quicken) << "C:\\x\\May.QFX";
        QTest::newRow("qif for Other") << "May.qif" << int(Target::Other) << "May.ofx";
        QTest::newRow("an OFX statement") << "May.ofx" << int(Target::Other) << "";
        QTest::newRow("csv in the folder only") << "/h/a.csv/May" << int(Target::Other) << "";
    }
    void outputPaths()
    {
        QFETCH(QString, path);
        QFETCH(int, target);
        QFETCH(QString, output);
        const std::string p = path.toStdString();
        QCOMPARE(bankFileFormatOf(p).has_value(), !output.isEmpty());
        if (!output.isEmpty())
            QCOMPARE(QString::fromStdString(convertedOutputPath(p, Target(target))), output);
    }

    void mappingTextRoundTrips()
    {
        Mapping m;
        m.columns = ColumnMap {};
        m.columns->date = 0;
        m.columns->payee = 4;
        m.columns->debit = 5;
        m.columns->credit = 6;
        m.columns->id = 10;
        m.dateOrder = NumericDateOrder::DayMonthYear;
        m.reversed = true;
        m.accountId = "12,3=4%\n5";
        m.accountType = AccountType::CreditCard;
        m.currency = "CHF";
        const std::string text = mappingText(m);
        QCOMPARE(text,
                 std::string("date=1,payee=5,debit=6,credit=7,id=11,order=dmy,sign=reversed,account=12%2C3%3D4%25%0A5,"
                             "type=creditcard,currency=CHF"));
        QCOMPARE(mappingFromText(text), std::optional(m));
        QCOMPARE(mappingFromText(""), std::optional(Mapping {}));
    }

    void badMappingTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        QTest::newRow("column zero") << "date=0"
                                     << "date=0: a column is a number from 1";
        QTest::newRow("not a number") << "payee=x"
                                      << "payee=x: a column is a number";
        QTest::newRow("role twice") << "date=1,date=2"
                                    << "date is given twice";
        QTest::newRow("column twice") << "date=1,payee=1"
                                      << "column 1 is given as both date and payee";
        QTest::newRow("unknown key") << "colour=1"
                                     << "\"colour=1\" is not understood";
        QTest::newRow("bad order") << "order=dym"
                                   << "\"order=dym\" is not understood";
        QTest::newRow("bad escape") << "account=1%2"
                                    << "\"account=1%2\" is not understood";
        QTest::newRow("no value") << "date"
                                  << "\"date\" is not key=value";
    }
    void badMappingTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        std::string why;
        QVERIFY(!mappingFromText(text.toStdString(), &why));
        QVERIFY2(QString::fromStdString(why).startsWith(problem), why.c_str());
        // The command line's --map takes columns only.
        QVERIFY(!columnsFromText("date=1,order=dmy", &why));
        QVERIFY2(why.find("is not a column") != std::string::npos, why.c_str());
    }
};

QTEST_APPLESS_MAIN(TestConvertValues)
#include "tst_convert_values.moc"
