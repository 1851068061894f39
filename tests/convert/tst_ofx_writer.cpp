#include "convert/ofx_writer.h"

#include <QTest>

using namespace scrivane;

namespace {

Transaction
row(Date date, std::int64_t cents, const char* payee, const char* memo, const char* check, const char* fitid)
{
    Transaction t;
    t.date = date;
    t.amount = {cents, 2};
    t.payee = payee;
    t.memo = memo;
    t.checkNumber = check;
    t.fitid = fitid;
    return t;
}

QByteArray lines(const QByteArrayList& list)
{
    return list.join("\r\n") + "\r\n";
}

const QByteArray header1252 = lines({"OFXHEADER:100",
                                     "DATA:OFXSGML",
                                     "VERSION:102",
                                     "SECURITY:NONE",
                                     "ENCODING:USASCII",
                                     "CHARSET:1252",
                                     "COMPRESSION:NONE",
                                     "OLDFILEUID:NONE",
                                     "NEWFILEUID:NONE",
                                     ""});
const QByteArray signOn = lines({"<OFX>",
                                 "<SIGNONMSGSRSV1>",
                                 "<SONRS>",
                                 "<STATUS>",
                                 "<CODE>0",
                                 "<SEVERITY>INFO",
                                 "</STATUS>",
                                 "<DTSERVER>20240107",
                                 "<LANGUAGE>ENG",
                                 "</SONRS>",
                                 "</SIGNONMSGSRSV1>"});

} // namespace

class TestOfxWriter : public QObject
{
    Q_OBJECT

private slots:
    // A bank statement worked out by hand from the OFX 1.0.2 element order.
    void writesBankStatement()
    {
        BankStatement s;
        s.accountId = "1234";
        s.transactions = {
            row({2024, 1, 5}, -1250, "ACME & SONS <WEST>", "card\t1234\r\n", "", "F1"),
            row({2024, 1, 6}, -7500, "Check 558", "", "558", "F2"),
            row({2024, 1, 7},
                150000,
                "A payee name that is longer than thirty-two characters",
                "salary",
                "INV-7",
                "F3"),
        };
        const QByteArray expected = header1252 + signOn
            + lines({"<BANKMSGSRSV1>",
                     "<STMTTRNRS>",
                     "<TRNUID>0",
                     "<STATUS>",
                     "<CODE>0",
                     "<SEVERITY>INFO",
                     "</STATUS>",
                     "<STMTRS>",
                     "<CURDEF>USD",
                     "<BANKACCTFROM>",
                     "<BANKID>000000000",
                     "<ACCTID>1234",
                     "<ACCTTYPE>CHECKING",
                     "</BANKACCTFROM>",
                     "<BANKTRANLIST>",
                     "<DTSTART>20240105",
                     "<DTEND>20240107",
                     "<STMTTRN>",
                     "<TRNTYPE>DEBIT",
                     "<DTPOSTED>20240105",
                     "<TRNAMT>-12.50",
                     "<FITID>F1",
                     "<NAME>ACME &amp; SONS &lt;WEST&gt;",
                     "<MEMO>card 1234",
                     "</STMTTRN>",
                     "<STMTTRN>",
                     "<TRNTYPE>CHECK",
                     "<DTPOSTED>20240106",
                     "<TRNAMT>-75.00",
                     "<FITID>F2",
                     "<CHECKNUM>558",
                     "<NAME>Check 558",
                     "</STMTTRN>",
                     "<STMTTRN>",
                     "<TRNTYPE>CREDIT",
                     "<DTPOSTED>20240107",
                     "<TRNAMT>1500.00",
                     "<FITID>F3",
                     "<REFNUM>INV-7",
                     "<NAME>A payee name that is longer than",
                     "<MEMO>A payee name that is longer than thirty-two characters - salary",
                     "</STMTTRN>",
                     "</BANKTRANLIST>",
                     "<LEDGERBAL>",
                     "<BALAMT>0.00",
                     "<DTASOF>20240107",
                     "</LEDGERBAL>",
                     "</STMTRS>",
                     "</STMTTRNRS>",
                     "</BANKMSGSRSV1>",
                     "</OFX>"});
        QCOMPARE(QByteArray::fromStdString(writeOfx({s})), expected);
    }

    // A card statement beside a savings one, each in its own message set, with
    // its balance; a character that Windows-1252 lacks makes the file UTF-8.
    void writesCardAndUtf8()
    {
        BankStatement card;
        card.accountId = "4000";
        card.accountType = AccountType::CreditCard;
        card.currency = "EUR";
        card.transactions = {row({2024, 1, 7},
                                 -999,
                                 "\xE1\xBA\xB0"
                                 "d Caf\xC3\xA9",
                                 "",
                                 "",
                                 "C1")};
        card.ledgerBalance = Amount {-999, 2};
        card.balanceDate = {2024, 1, 7};
        BankStatement savings;
        savings.accountId = "S";
        savings.accountType = AccountType::Savings;
        savings.transactions = {row({2024, 1, 2}, 100, "Interest", "", "", "S1")};
        const QByteArray text = QByteArray::fromStdString(writeOfx({card, savings}));
        QVERIFY(text.contains("ENCODING:UTF-8\r\nCHARSET:NONE\r\n"));
        QVERIFY(text.contains("<NAME>\xE1\xBA\xB0"
                              "d Caf\xC3\xA9\r\n"));
        const qsizetype bank = text.indexOf("<BANKMSGSRSV1>\r\n<STMTTRNRS>"),
                        cards = text.indexOf("<CREDITCARDMSGSRSV1>\r\n<CCSTMTTRNRS>");
        QVERIFY(bank > 0 && cards > bank);
        QVERIFY(text.contains("<ACCTTYPE>SAVINGS\r\n"));
        QVERIFY(text.contains("<CURDEF>EUR\r\n<CCACCTFROM>\r\n<ACCTID>4000\r\n</CCACCTFROM>\r\n"));
        QVERIFY(text.contains("<LEDGERBAL>\r\n<BALAMT>-9.99\r\n<DTASOF>20240107\r\n</LEDGERBAL>\r\n</CCSTMTRS>"));

        // The same in Windows-1252 once every character has its byte there.
        card.transactions[0].payee = "Caf\xC3\xA9 \xE2\x82\xAC";
        const QByteArray latin = QByteArray::fromStdString(writeOfx({card}));
        QVERIFY(latin.contains("CHARSET:1252"));
        QVERIFY(latin.contains("<NAME>Caf\xE9 \x80\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestOfxWriter)
#include "tst_ofx_writer.moc"
