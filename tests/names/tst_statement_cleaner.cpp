#include "names/statement_cleaner.h"

#include <QTest>

using namespace scrivane;

namespace {

// An XML statement of one kind with a sign-on response; tail goes at its end.
QByteArray xmlStatement(const QByteArray& response, const QByteArray& signOnTail = {}, const QByteArray& tail = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\n<OFX>\n"
           "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE></STATUS>"
        + signOnTail + "</SONRS></SIGNONMSGSRSV1>\n<" + response + "><TRNUID>1</TRNUID><STMTTRN><NAME>CHECK 1234</NAME>"
        + "<NAME>POS PURCHASE #123456 BIGMART</NAME></STMTTRN><STMTTRN><NAME>ACME CABLE INC CHECK</NAME></STMTTRN></"
        + response + ">" + tail + "</OFX>\n";
}

} // namespace

class TestStatementCleaner : public QObject
{
    Q_OBJECT

private slots:
    // The identifier is placed by the usual rules, on the converted statement:
    // without an end tag, like any element of the SGML form.
    void form_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Target>("target");
        QTest::addColumn<FormChoice>("choice");
        QTest::addColumn<bool>("converted");
        QTest::addColumn<QByteArray>("signOn"); // from "<CODE>" to "</SONRS>" in the output

        const FormChoice forTarget = FormChoice::ForTarget;
        const QByteArray sgmlSignOn = "<CODE>0\r\n</STATUS>\r\n";
        QTest::newRow("bank, QuickBooks") << xmlStatement("STMTTRNRS") << Target::QuickBooks << forTarget << true
                                          << sgmlSignOn + "<INTU.BID>5885</SONRS>";
        QTest::newRow("credit card, QuickBooks") << xmlStatement("CCSTMTTRNRS") << Target::QuickBooks << forTarget
                                                 << true << sgmlSignOn + "<INTU.BID>3106</SONRS>";
        QTest::newRow("investment, QuickBooks") << xmlStatement("INVSTMTTRNRS") << Target::QuickBooks << forTarget
                                                << true << sgmlSignOn + "<INTU.BID>5885</SONRS>";
        QTest::newRow("identifier replaced")
            << xmlStatement("CCSTMTTRNRS", "<INTU.BID>1</INTU.BID>") << Target::QuickBooks << forTarget << true
            << sgmlSignOn + "<INTU.BID>3106</SONRS>";
        QTest::newRow("Quicken keeps XML") << xmlStatement("STMTTRNRS") << Target::Quicken << forTarget << false
                                           << QByteArray("<CODE>0</CODE></STATUS><INTU.BID>3000</INTU.BID></SONRS>");
        QTest::newRow("Other keeps XML") << xmlStatement("STMTTRNRS") << Target::Other << forTarget << false
                                         << QByteArray("<CODE>0</CODE></STATUS></SONRS>");
        QTest::newRow("form kept on request")
            << xmlStatement("CCSTMTTRNRS") << Target::QuickBooks << FormChoice::Keep << false
            << QByteArray("<CODE>0</CODE></STATUS><INTU.BID>3106</INTU.BID></SONRS>");
        // Not well-formed: cleaned as it is, and the identifier closed as XML wants.
        QTest::newRow("malformed") << xmlStatement("STMTTRNRS", {}, "</BAD>") << Target::QuickBooks << forTarget
                                   << false << QByteArray("<CODE>0</CODE></STATUS><INTU.BID>5885</INTU.BID></SONRS>");
    }
    void form()
    {
        QFETCH(QByteArray, input);
        QFETCH(Target, target);
        QFETCH(FormChoice, choice);
        QFETCH(bool, converted);
        QFETCH(QByteArray, signOn);

        // The list views into the text: it must outlive the list.
        const std::string text = input.toStdString();
        SegmentList segments;
        std::string store;
        const FormReport report
            = cleanStatement(text, store, segments, target, NameOptions {}, LocaleRules::enUS(), choice);
        const QByteArray output = QByteArray::fromStdString(joinSegments(segments));
        QCOMPARE(report.converted, converted);
        const bool refused = target == Target::QuickBooks && choice == FormChoice::ForTarget && !converted;
        QCOMPARE(QByteArray::fromStdString(report.notConverted).startsWith("it is not well-formed XML (line 5:"),
                 refused);
        const qsizetype from = output.indexOf("<CODE>"), to = output.indexOf("</SONRS>") + 8;
        QCOMPARE(output.mid(from, to - from), signOn);
        // The names are cleaned alike in both forms; a name cleaned away leaves no line.
        if (converted) {
            QVERIFY(output.startsWith("OFXHEADER:100\r\n"));
            QVERIFY2(output.contains("<STMTTRN>\r\n<NAME>Pos Purchase Bigmart\r\n</STMTTRN>"), output.constData());
            QVERIFY(!output.contains("</NAME>") && !output.contains("CHECK"));
            QVERIFY(output.contains("<STMTTRN>\r\n<NAME>Acme Cable INC\r\n</STMTTRN>"));
        } else {
            QVERIFY(output.startsWith("<?xml"));
            QVERIFY2(output.contains("<STMTTRN><NAME>Pos Purchase Bigmart</NAME></STMTTRN>"), output.constData());
            QVERIFY(output.contains("<STMTTRN><NAME>Acme Cable INC</NAME></STMTTRN>"));
        }
    }
};

QTEST_APPLESS_MAIN(TestStatementCleaner)
#include "tst_statement_cleaner.moc"
