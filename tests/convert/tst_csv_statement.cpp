#include "convert/bank_file.h"

#include <QTest>

using namespace scrivane;

namespace {

StatementReading readCsvText(const QByteArray& csv, const QString& given = QString())
{
    const BankFile file = readBankFile(csv.toStdString(), BankFileFormat::Csv);
    const auto mapping = mappingFromText(given.toStdString());
    return readStatements(file, mapping.value_or(Mapping {}));
}

// A row as "date amount payee|memo|check|id".
QStringList shown(const StatementReading& reading)
{
    QStringList out;
    for (const BankStatement& s : reading.statements) {
        for (const Transaction& t : s.transactions) {
            out << QString::fromStdString(ofxDate(t.date) + " " + ofxAmount(t.amount) + " " + t.payee + "|" + t.memo
                                          + "|" + t.checkNumber + "|" + t.bankId);
        }
    }
    return out;
}

} // namespace

// Bank exports as the banks write them, read into rows: how the columns are
// found, what is asked, and how a line that cannot be read is told.
class TestCsvStatement : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("mapping"); // as applied

        QTest::newRow("signed amount, preamble, totals")
            << QByteArray("Account statement\r\nExported 2024-02-01,,\r\n\r\nDate,Description,Amount,Memo\r\n"
                          "2024-01-05,ACME CORP,-12.50,card 1234\r\n2024-01-06,Salary,\"1,500.00\",\r\n"
                          "Total,,\"1,487.50\",\r\n")
            << "account=9" << QStringList {"20240105 -12.50 ACME CORP|card 1234||", "20240106 1500.00 Salary|||"}
            << "date=1,payee=2,amount=3,memo=4,order=ymd,account=9";
        QTest::newRow("withdrawal and deposit, dollars, check number")
            << QByteArray(
                   "\"Date\",\"Type\",\"CheckNumber\",\"Description\",\"Withdrawal\",\"Deposit\",\"RunningBalance\"\n"
                   "\"08/17/2022\",\"DEPOSIT\",\"\",\"Mobile Deposit\",\"\",\"$20.00\",\"$878.47\"\n"
                   "\"08/09/2022\",\"CHECK\",\"558\",\"Check Paid #558\",\"$75.00\",\"\",\"$858.47\"\n")
            << "account=9" << QStringList {"20220817 20.00 Mobile Deposit|||", "20220809 -75.00 Check Paid #558||558|"}
            << "date=1,payee=4,debit=5,credit=6,check=3,balance=7,order=mdy,account=9";
        QTest::newRow("indicator column, sign reversed")
            << QByteArray("Date,Description,Amount,Transaction Type\r6/12/15,Transfer,\"1,000.00\",debit\r"
                          "6/13/15,Refund,5.00,credit\r")
            << "sign=reversed,account=9" << QStringList {"20150612 1000.00 Transfer|||", "20150613 -5.00 Refund|||"}
            << "date=1,payee=2,amount=3,indicator=4,order=mdy,sign=reversed,account=9";
        QTest::newRow("German, decimal commas, Windows-1252")
            << QByteArray("Buchungstag;Empf\xE4nger;Verwendungszweck;Betrag;W\xE4hrung\n"
                          "31.03.2019;M\xFCller GmbH;Miete M\xE4rz;-1.234,56;EUR\n01.04.2019;Gehalt;;2.000,00;EUR\n")
            << "account=DE1"
            << QStringList {"20190331 -1234.56 M\u00fcller GmbH|Miete M\u00e4rz||", "20190401 2000.00 Gehalt|||"}
            << "date=1,payee=2,amount=4,memo=3,order=dmy,account=DE1,currency=EUR";
        QTest::newRow("French debit and credit, card number")
            << QByteArray("Date op\xC3\xA9ration;Num\xC3\xA9ro de carte;Libell\xC3\xA9;D\xC3\xA9"
                          "bit;Cr\xC3\xA9"
                          "dit\n"
                          "15/01/2024;XXXX1234;CARREFOUR;45,10;\n20/01/2024;XXXX1234;REMBOURSEMENT;;12,00\n")
            << "" << QStringList {"20240115 -45.10 CARREFOUR|||", "20240120 12.00 REMBOURSEMENT|||"}
            << "date=1,payee=3,debit=4,credit=5,order=dmy,account=XXXX1234,type=creditcard";
        QTest::newRow("no titles: the columns by their values")
            << QByteArray("\"01/02/2020\",\"-12.34\",\"*\",\"\",\"COFFEE SHOP 1\"\n"
                          "\"01/15/2020\",\"100.00\",\"*\",\"\",\"PAYROLL\"\n")
            << "account=9" << QStringList {"20200102 -12.34 COFFEE SHOP 1|||", "20200115 100.00 PAYROLL|||"}
            << "date=1,payee=5,amount=2,order=mdy,account=9";
        QTest::newRow("quoted line break, bank's ids")
            << QByteArray("id,created,amount,description\nch_1,2021-02-03 13:12,25.00,\"Entry 316,\nBig Event\"\n"
                          "ch_2,2021-02-03 06:53,27.50,Entry 315\n")
            << "account=9"
            << QStringList {"20210203 25.00 Entry 316,\nBig Event|||ch_1", "20210203 27.50 Entry 315|||ch_2"}
            << "date=2,payee=4,amount=3,id=1,order=ymd,account=9";
        QTest::newRow("columns given") << QByteArray("a,b,c,d\n2020-01-02,x,5,y\n")
                                       << "date=1,payee=4,amount=3,memo=2,account=9"
                                       << QStringList {"20200102 5.00 y|x||"}
                                       << "date=1,payee=4,amount=3,memo=2,order=ymd,account=9";
    }
    void reads()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, given);
        QFETCH(QStringList, rows);
        QFETCH(QString, mapping);
        const StatementReading reading = readCsvText(csv, given);
        QVERIFY2(reading.error.empty(), reading.error.c_str());
        QCOMPARE(reading.questions.size(), std::size_t(0));
        QCOMPARE(shown(reading), rows);
        QCOMPARE(QString::fromStdString(mappingText(reading.mapping)), mapping);
    }

    // What the file cannot settle is asked, and once answered the rows are read.
    void asks_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QList<int>>("questions");
        QTest::addColumn<QString>("answer");

        const QByteArray ambiguous = "Date,Payee,Amount\n05/03/2021,A,1\n12/11/2021,B,2\n";
        QTest::newRow("every day 12 or less")
            << ambiguous << "account=9" << QList<int> {int(Question::DateOrder)} << "account=9,order=dmy";
        QTest::newRow("no account") << QByteArray("Date,Payee,Amount\n2021-03-05,A,1\n") << ""
                                    << QList<int> {int(Question::AccountId)} << "account=x";
        QTest::newRow("two columns of amounts, no titles")
            << QByteArray("2021-03-05,A,1.00,2.00\n2021-03-06,B,3.00,4.00\n") << "account=9"
            << QList<int> {int(Question::Columns)} << "account=9,date=1,payee=2,amount=4";
        QTest::newRow("all of them") << ambiguous << ""
                                     << QList<int> {int(Question::AccountId), int(Question::DateOrder)}
                                     << "account=9,order=mdy";
    }
    void asks()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, given);
        QFETCH(QList<int>, questions);
        QFETCH(QString, answer);
        const StatementReading asked = readCsvText(csv, given);
        QVERIFY2(asked.error.empty(), asked.error.c_str());
        QList<int> got;
        for (Question q : asked.questions)
            got << int(q);
        QCOMPARE(got, questions);
        QVERIFY(asked.statements.empty());
        if (questions.contains(int(Question::DateOrder)))
            QCOMPARE(asked.dateOrders,
                     orderBit(NumericDateOrder::MonthDayYear) | orderBit(NumericDateOrder::DayMonthYear));
        const StatementReading answered = readCsvText(csv, answer);
        QVERIFY2(answered.complete(), answered.error.c_str());
        QCOMPARE(answered.statements.size(), std::size_t(1));
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("error");

        const QByteArray head = "Date,Payee,Amount\n2020-01-02,A,1.00\n";
        QTest::newRow("bad date") << head + "2020-02-30,B,2.00\n"
                                  << ""
                                  << "line 3, Date: \"2020-02-30\" is not a date";
        QTest::newRow("dates in two orders")
            << QByteArray("Date,Payee,Amount\n13/01/2020,A,1\n01/13/2020,B,2\n") << ""
            << "line 3, Date: \"01/13/2020\" is not written in the order of the dates above it";
        QTest::newRow("date against the order given")
            << head + "2020-01-03,B,2.00\n"
            << "order=dmy"
            << "line 2, Date: \"2020-01-02\" is not a date written day, month, year";
        QTest::newRow("missing date") << head + ",B,2.00\n2020-01-04,C,3.00\n"
                                      << ""
                                      << "line 3, Date: there is no date";
        QTest::newRow("bad amount") << head + "2020-01-03,B,\"1,2,3\"\n"
                                    << ""
                                    << "line 3, Amount: \"1,2,3\" is not an amount (its digits are grouped unevenly)";
        QTest::newRow("no amount") << head + "2020-01-03,B,\n"
                                   << ""
                                   << "line 3, Amount: there is no amount";
        QTest::newRow("too few fields") << head + "2020-01-03,B\n"
                                        << ""
                                        << "line 3: it has 2 fields where the titles have 3";
        QTest::newRow("too many fields") << head + "2020-01-03,B,1,x\n"
                                         << ""
                                         << "line 3: it has 4 fields where the titles have 3";
        QTest::newRow("debit and credit both") << QByteArray("Date,Payee,Debit,Credit\n2020-01-02,A,1.00,2.00\n") << ""
                                               << "line 2: Debit and Credit both hold an amount";
        QTest::newRow("neither debit nor credit")
            << QByteArray("Date,Payee,Debit,Credit\n2020-01-02,A,1.00,\n2020-01-03,B,,\n") << ""
            << "line 3: neither Debit nor Credit holds an amount";
        QTest::newRow("bad indicator") << QByteArray(
            "Date,Payee,Amount,Type\n2020-01-02,A,1.00,debit\n2020-01-03,B,1,?\n")
                                       << "date=1,payee=2,amount=3,indicator=4"
                                       << "line 3, Type: \"?\" says neither debit nor credit";
        QTest::newRow("quote never closed") << head + "2020-01-03,\"B,1\n2020-01-04,C,1\n"
                                            << ""
                                            << "line 3: a quoted field opens here and is never closed";
        QTest::newRow("column beyond the table") << head << "date=1,payee=9,amount=3"
                                                 << "payee=9: it has only 3 columns";
        QTest::newRow("titles and a total") << QByteArray("Date,Payee,Amount\nTotal,,0.00\n") << ""
                                            << "it holds no transactions";
        QTest::newRow("no titles, no dates") << QByteArray("Payee,1.00\nOther,2.00\n") << ""
                                             << "no line of it holds a date and an amount";
    }
    void refuses()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, given);
        QFETCH(QString, error);
        const StatementReading reading = readCsvText(csv, given + (given.isEmpty() ? "" : ",") + "account=9");
        QCOMPARE(QString::fromStdString(reading.error), error);
        // Never some of the rows: all of them, or none.
        QCOMPARE(reading.statements.empty(), !error.isEmpty());
    }

    // FITIDs: the same row gets the same id in next month's export, two equal
    // rows of one day get different ones, and the bank's own ids are used.
    void fitids()
    {
        const QByteArray january = "Date,Payee,Amount\n2024-01-30,Coffee,-3.50\n2024-01-31,Coffee,-3.50\n"
                                   "2024-01-31,Coffee,-3.50\n";
        const QByteArray february = "Date,Payee,Amount\n2024-01-31,Coffee,-3.50\n2024-01-31,Coffee,-3.50\n"
                                    "2024-02-01,Coffee,-3.50\n";
        const auto ids = [](const QByteArray& csv, const char* account) {
            const StatementReading reading = readCsvText(csv, QString("account=") + account);
            QStringList out;
            for (const Transaction& t : reading.statements.at(0).transactions)
                out << QString::fromStdString(t.fitid);
            return out;
        };
        const QStringList jan = ids(january, "9"), feb = ids(february, "9");
        QCOMPARE(QSet<QString>(jan.begin(), jan.end()).size(), 3);
        QCOMPARE(feb.mid(0, 2), jan.mid(1, 2));
        QVERIFY(!jan.contains(feb[2]));
        QVERIFY(ids(january, "8")[0] != jan[0]);
        // The hash is written down so that it never changes: this value was
        // worked out apart from this code, from the definition in fitid.h, and
        // must stay what it is.
        QCOMPARE(jan[0], QString("03734FF7E1D4139E"));

        const StatementReading withIds = readCsvText(
            "Id,Date,Payee,Amount\nT1,2024-01-02,A,1\nT1,2024-01-02,B,2\nT1-2,2024-01-03,C,3\n,2024-01-03,D,4\n",
            "account=9");
        QStringList bank;
        for (const Transaction& t : withIds.statements.at(0).transactions)
            bank << QString::fromStdString(t.fitid);
        QCOMPARE(bank.mid(0, 3), QStringList({"T1", "T1-3", "T1-2"}));
        QCOMPARE(bank[3].size(), 16);
    }

    void ledgerBalance_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("asOf");
        QTest::newRow("oldest first") << QByteArray("Date,Payee,Amount,Balance\n2024-01-01,A,1,11\n2024-01-02,B,2,13\n"
                                                    "2024-01-02,C,3,16\n")
                                      << "16.00"
                                      << "20240102";
        QTest::newRow("newest first") << QByteArray("Date,Payee,Amount,Balance\n2024-01-02,C,3,16\n2024-01-02,B,2,13\n"
                                                    "2024-01-01,A,1,11\n")
                                      << "16.00"
                                      << "20240102";
        QTest::newRow("no balances") << QByteArray("Date,Payee,Amount\n2024-01-01,A,1\n") << ""
                                     << "";
    }
    void ledgerBalance()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, balance);
        QFETCH(QString, asOf);
        const BankStatement s = readCsvText(csv, "account=9").statements.at(0);
        QCOMPARE(s.ledgerBalance ? QString::fromStdString(ofxAmount(*s.ledgerBalance)) : QString(), balance);
        QCOMPARE(s.ledgerBalance ? QString::fromStdString(ofxDate(s.balanceDate)) : QString(), asOf);
    }
};

QTEST_APPLESS_MAIN(TestCsvStatement)
#include "tst_csv_statement.moc"
