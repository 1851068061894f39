#include "convert/bank_file.h"

#include <QTest>

using namespace scrivane;

namespace {

StatementReading readQifText(const QByteArray& qif, const QString& given)
{
    const BankFile file = readBankFile(qif.toStdString(), BankFileFormat::Qif);
    return readStatements(file, mappingFromText(given.toStdString()).value_or(Mapping {}));
}

// Each statement as "account type: date amount payee|memo|number; ...".
QStringList shown(const StatementReading& reading)
{
    QStringList out;
    for (const BankStatement& s : reading.statements) {
        QStringList rows;
        for (const Transaction& t : s.transactions)
            rows << QString::fromStdString(ofxDate(t.date) + " " + ofxAmount(t.amount) + " " + t.payee + "|" + t.memo
                                           + "|" + t.checkNumber);
        out << QString::fromStdString(s.accountId + " " + std::string(accountTypeWord(s.accountType)) + ": ")
                + rows.join("; ");
    }
    return out;
}

} // namespace

// QIF files as Quicken and banks write them.
class TestQifStatement : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("qif");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QStringList>("statements");

        QTest::newRow("bank records, Quicken's years")
            << QByteArray("!Type:Bank\r\nD6/12'15\r\nT-1,500.00\r\nPTransfer\r\nMto savings\r\nN1042\r\n^\r\n"
                          "D12/25' 3\r\nU20.00\r\nPGift\r\nLIncome:Gifts\r\n^\r\n")
            << "order=mdy,account=77"
            << QStringList {"77 checking: 20150612 -1500.00 Transfer|to savings|1042; 20031225 20.00 Gift||"};
        QTest::newRow("card, type given, no last ^, decimal commas")
            << QByteArray("!Type:CCard\nD31.03.2019\nT-1.234,56\nPCaf\xE9\n^\nD01.04.2019\nT10,00\nPRefund\n")
            << "account=C1" << QStringList {"C1 creditcard: 20190331 -1234.56 Caf\u00e9||; 20190401 10.00 Refund||"};
        QTest::newRow("accounts, lists and splits")
            << QByteArray("!Option:AutoSwitch\n!Account\nNListed only\nTBank\n^\n!Clear:AutoSwitch\n"
                          "!Type:Cat\nNFood\nE\n^\n!Account\nNChecking\nTBank\n^\n!Type:Bank\nD2015-06-12\n"
                          "T-10.00\nPA\nSFood\n$-10.00\n^\n!Account\nNVisa\nTCCard\n^\n!Type:CCard\nD2015-06-13\n"
                          "T-5.00\nPB\n^\n")
            << "" << QStringList {"Checking checking: 20150612 -10.00 A||", "Visa creditcard: 20150613 -5.00 B||"};
    }
    void reads()
    {
        QFETCH(QByteArray, qif);
        QFETCH(QString, given);
        QFETCH(QStringList, statements);
        const StatementReading reading = readQifText(qif, given);
        QVERIFY2(reading.complete(), reading.error.c_str());
        QCOMPARE(shown(reading), statements);
    }

    void asks()
    {
        const QByteArray qif = "!Type:Bank\nD03/04/2020\nT1\n^\n";
        const StatementReading reading = readQifText(qif, "");
        QCOMPARE(reading.questions, std::vector<Question>({Question::DateOrder, Question::AccountId}));
        QVERIFY(reading.statements.empty());
        QVERIFY(readQifText(qif, "order=dmy,account=9").complete());
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("qif");
        QTest::addColumn<QString>("error");
        QTest::newRow("investment") << QByteArray("!Type:Invst\nD1/2/20\n^\n")
                                    << "line 1: investment accounts (!Type:Invst) have no place in a bank statement";
        QTest::newRow("no date") << QByteArray("!Type:Bank\nD1/2/20\nT1\n^\nPAcme\nT5\n^\n")
                                 << "line 5: the record has no date (D line)";
        QTest::newRow("no amount") << QByteArray("!Type:Bank\nD1/2/20\nPAcme\n^\n")
                                   << "line 2: the record has no amount (T line)";
        QTest::newRow("bad date") << QByteArray("!Type:Bank\nD1/2/20\nT1\n^\nD2/30/20\nT1\n^\n")
                                  << "line 5, date: \"2/30/20\" is not a date";
        QTest::newRow("bad amount")
            << QByteArray("!Type:Bank\nD1/2/20\nT12abc\n^\n")
            << "line 3, amount: \"12abc\" is not an amount (it holds characters that are not part of an amount)";
        QTest::newRow("bad amount in a later account")
            << QByteArray("!Account\nNA\n^\n!Type:Bank\nD1/2/20\nT1\n^\n!Account\nNB\n^\n!Type:Bank\nD1/3/20\nTx\n^\n")
            << "line 13, amount: \"x\" is not an amount (it holds characters that are not part of an amount)";
        QTest::newRow("before any type") << QByteArray("D1/2/20\nT1\n^\n")
                                         << "line 1: a record stands before any !Type line";
        QTest::newRow("unknown type") << QByteArray("!Type:Foo\n")
                                      << "line 1: \"!Type:Foo\" is not a kind of account this reads";
        QTest::newRow("nothing") << QByteArray("!Type:Bank\n") << "it holds no transactions";
    }
    void refuses()
    {
        QFETCH(QByteArray, qif);
        QFETCH(QString, error);
        const StatementReading reading = readQifText(qif, "order=mdy,account=9");
        QCOMPARE(QString::fromStdString(reading.error), error);
        QVERIFY(reading.statements.empty());
    }
};

QTEST_APPLESS_MAIN(TestQifStatement)
#include "tst_qif_statement.moc"
