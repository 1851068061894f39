#include "statement/compat.h"
#include "statement/statement_form.h"

#include <QTest>

#include <string>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Target)
Q_DECLARE_METATYPE(scrivane::Charset)

namespace {

// A sign-on response followed by a statement of the given transaction response tag.
QByteArray statement(const QByteArray& signOnTail, const QByteArray& response)
{
    return "OFXHEADER:100\r\n\r\n<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</STATUS><LANGUAGE>ENG\r\n" + signOnTail
        + "</SONRS>\r\n</SIGNONMSGSRSV1><MSGSRSV1><" + response + "><TRNUID>1\r\n</" + response + "></OFX>";
}

} // namespace

class TestCompat : public QObject
{
    Q_OBJECT

private slots:
    void rewrite_data();
    void rewrite();
    void insertionShiftsTowardsFront();
    void charset_data();
    void charset();
};

void TestCompat::rewrite_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Target>("target");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray bank = statement("", "STMTTRNRS");
    auto bankWith = [](const QByteArray& id) { return statement(id, "STMTTRNRS"); };
    const struct
    {
        const char* kind;
        const char* response;
        const char* quicken;
        const char* quickbooks;
    } kinds[] = {
        {"bank", "STMTTRNRS", "3000", "5885"},
        {"credit card", "CCSTMTTRNRS", "3000", "3106"},
        {"investment", "INVSTMTTRNRS", "11372", "5885"},
        {"no statement", "OTHERTRNRS", "3000", "5885"},
    };
    for (const auto& k : kinds) {
        const QByteArray text = statement("", k.response);
        QTest::addRow("%s, Quicken", k.kind)
            << text << Target::Quicken << statement(QByteArray("<INTU.BID>") + k.quicken, k.response);
        QTest::addRow("%s, QuickBooks", k.kind)
            << text << Target::QuickBooks << statement(QByteArray("<INTU.BID>") + k.quickbooks, k.response);
        QTest::addRow("%s, Other", k.kind) << text << Target::Other << text;
    }

    QTest::newRow("replaced in place") << bankWith("<INTU.BID>00024\r\n<INTU.USERID>me\r\n") << Target::Quicken
                                       << bankWith("<INTU.BID>3000<INTU.USERID>me\r\n");
    QTest::newRow("replaced, mixed case")
        << bankWith("<Intu.Bid>1\r\n") << Target::QuickBooks << bankWith("<INTU.BID>5885");
    QTest::newRow("Other keeps identifier")
        << bankWith("<INTU.BID>00024\r\n") << Target::Other << bankWith("<INTU.BID>00024\r\n");
    QTest::newRow("identifier after sign-on, before statement")
        << QByteArray("<SONRS><CODE>0\n</SONRS>\n<INTU.BID>1\n<STMTTRNRS>") << Target::Quicken
        << QByteArray("<SONRS><CODE>0\n</SONRS>\n<INTU.BID>3000<STMTTRNRS>");
    QTest::newRow("identifier after statement unseen")
        << QByteArray("<SONRS><CODE>0\n</SONRS>\n<STMTTRNRS><INTU.BID>1\n") << Target::Quicken
        << QByteArray("<SONRS><CODE>0\n<INTU.BID>3000</SONRS>\n<STMTTRNRS><INTU.BID>1\n");
    QTest::newRow("lower-case tags") << QByteArray("<sonrs><code>0\n</sonrs>\n<ccstmttrnrs>") << Target::QuickBooks
                                     << QByteArray("<sonrs><code>0\n<INTU.BID>3106</sonrs>\n<ccstmttrnrs>");
    QTest::newRow("first statement decides")
        << QByteArray("<SONRS></SONRS><INVSTMTTRNRS></INVSTMTTRNRS><STMTTRNRS>") << Target::Quicken
        << QByteArray("<SONRS><INTU.BID>11372</SONRS><INVSTMTTRNRS></INVSTMTTRNRS><STMTTRNRS>");
    QTest::newRow("first statement decides, credit card")
        << QByteArray("<SONRS></SONRS><CCSTMTTRNRS><INVSTMTTRNRS>") << Target::QuickBooks
        << QByteArray("<SONRS><INTU.BID>3106</SONRS><CCSTMTTRNRS><INVSTMTTRNRS>");
    QTest::newRow("last closing tag before statement")
        << QByteArray("<SONRS>a</SONRS><SONRS>b</SONRS><STMTTRNRS>") << Target::Quicken
        << QByteArray("<SONRS>a</SONRS><SONRS>b<INTU.BID>3000</SONRS><STMTTRNRS>");
    QTest::newRow("closing tag after statement unseen")
        << QByteArray("<SONRS><STMTTRNRS></SONRS>") << Target::Quicken << QByteArray("<SONRS><STMTTRNRS></SONRS>");
    QTest::newRow("no closing tag keeps identifier") << QByteArray("<SONRS><INTU.BID>7\n<STMTTRNRS>") << Target::Quicken
                                                     << QByteArray("<SONRS><INTU.BID>7\n<STMTTRNRS>");
    QTest::newRow("text begins with closing tag")
        << QByteArray("</SONRS>\n<STMTTRNRS>") << Target::QuickBooks << QByteArray("</SONRS>\n<STMTTRNRS>");
    QTest::newRow("no tags") << QByteArray("nothing here") << Target::Quicken << QByteArray("nothing here");

    // The XML form closes every element, so an inserted identifier needs its end tag.
    const QByteArray xmlBody = "<OFX><SONRS><LANGUAGE>ENG</LANGUAGE>\n</SONRS><STMTTRNRS></STMTTRNRS></OFX>";
    const QByteArray xmlDone
        = "<OFX><SONRS><LANGUAGE>ENG</LANGUAGE>\n<INTU.BID>3000</INTU.BID></SONRS><STMTTRNRS></STMTTRNRS></OFX>";
    const QByteArray decl = "<?xml version=\"1.0\"?>\n";
    const QByteArray pi = "<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\n";
    QTest::newRow("xml declaration") << decl + pi + xmlBody << Target::Quicken << decl + pi + xmlDone;
    QTest::newRow("xml after bom and blanks")
        << "\xEF\xBB\xBF \r\n" + decl + xmlBody << Target::Quicken << "\xEF\xBB\xBF \r\n" + decl + xmlDone;
    QTest::newRow("ofx processing instruction") << pi + xmlBody << Target::Quicken << pi + xmlDone;
    QTest::newRow("xml, replaced keeps its end tag")
        << decl + "<SONRS><INTU.BID>42</INTU.BID>\n</SONRS><CCSTMTTRNRS>" << Target::QuickBooks
        << decl + "<SONRS><INTU.BID>3106</INTU.BID>\n</SONRS><CCSTMTTRNRS>";
    QTest::newRow("sgml header, no end tag")
        << "OFXHEADER:100\n\n" + xmlBody << Target::Quicken
        << QByteArray("OFXHEADER:100\n\n<OFX><SONRS><LANGUAGE>ENG</LANGUAGE>\n<INTU.BID>3000</SONRS><STMTTRNRS>"
                      "</STMTTRNRS></OFX>");
    QTest::newRow("sgml, no header") << bank.mid(17) << Target::Quicken
                                     << statement("<INTU.BID>3000", "STMTTRNRS").mid(17);
}

void TestCompat::rewrite()
{
    QFETCH(QByteArray, text);
    QFETCH(Target, target);
    QFETCH(QByteArray, expected);

    const std::string input = text.toStdString();
    SegmentList segments;
    splitTagSegments(input, segments);
    const std::size_t size = segments.size();
    makeOFXFileCompatable(segments, target);
    QCOMPARE(QByteArray::fromStdString(joinSegments(segments)), expected);
    QCOMPARE(segments.size(), size);
}

void TestCompat::insertionShiftsTowardsFront()
{
    const std::string text = "HEADER\n<SONRS><CODE>0\n</SONRS><STMTTRNRS>";
    SegmentList segments;
    splitTagSegments(text, segments);
    makeOFXFileCompatable(segments, Target::QuickBooks);
    QCOMPARE(segments.size(), std::size_t(6));
    QCOMPARE(segments[0], "HEADER\n");
    QCOMPARE(segments[1], "<SONRS>");
    QCOMPARE(segments[2], "<CODE>0\n");
    QCOMPARE(segments[3], "<INTU.BID>5885");
    QCOMPARE(segments[4], "</SONRS>");

    // With "</SONRS>" as element 1 there is nowhere to insert: element 0 stays empty.
    splitTagSegments("</SONRS><STMTTRNRS>", segments);
    makeOFXFileCompatable(segments, Target::Quicken);
    QCOMPARE(segments[0], "");
    QCOMPARE(segments[1], "</SONRS>");
    QCOMPARE(segments[2], "<STMTTRNRS>");
}

void TestCompat::charset_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Charset>("expected");

    QTest::newRow("1252") << QByteArray("OFXHEADER:100\r\nENCODING:USASCII\r\nCHARSET:1252\r\n\r\n<OFX>")
                          << Charset::Windows1252;
    QTest::newRow("ISO-8859-1") << QByteArray("OFXHEADER:100\nCHARSET:ISO-8859-1\n<OFX>") << Charset::Windows1252;
    QTest::newRow("8859-1") << QByteArray("OFXHEADER:100\nCHARSET:8859-1\n<OFX>") << Charset::Windows1252;
    QTest::newRow("UTF-8") << QByteArray("OFXHEADER:100\nENCODING:UTF-8\nCHARSET:NONE\n<OFX>") << Charset::Utf8;
    QTest::newRow("UNICODE") << QByteArray("OFXHEADER:100\nENCODING:UNICODE\nCHARSET:1252\n<OFX>") << Charset::Utf8;
    QTest::newRow("ascii, no charset") << QByteArray("OFXHEADER:100\nENCODING:USASCII\nCHARSET:NONE\n<OFX>")
                                       << Charset::Ascii;
    QTest::newRow("no header") << QByteArray("<OFX><MEMO>CHARSET:1252\n") << Charset::Ascii;
    QTest::newRow("header key inside a value") << QByteArray("OFXHEADER:100\nX-CHARSET:1252\n<OFX>") << Charset::Ascii;
    QTest::newRow("1252 header, ascii only")
        << QByteArray("OFXHEADER:100\nCHARSET:1252\n<OFX><NAME>CAFE\n") << Charset::Windows1252;
    QTest::newRow("1252 header, 1252 letters")
        << QByteArray("OFXHEADER:100\nCHARSET:1252\n<OFX><NAME>CAF\xC9\n") << Charset::Windows1252;
    // "à€¯" in 1252 has the shape of an over-long UTF-8 sequence, which UTF-8 forbids.
    QTest::newRow("1252 header, over-long shape")
        << QByteArray("OFXHEADER:100\nCHARSET:1252\n<OFX><NAME>\xE0\x80\xAF\n") << Charset::Windows1252;
    QTest::newRow("1252 header, utf-8 letters")
        << QByteArray("OFXHEADER:100\nCHARSET:1252\n<OFX><NAME>CAF\xC3\x89\n") << Charset::Utf8;
    QTest::newRow("1252 header, utf-8 and 1252 letters")
        << QByteArray("OFXHEADER:100\nCHARSET:1252\n<OFX><NAME>CAF\xC3\x89\n<MEMO>\xC9") << Charset::Windows1252;
    QTest::newRow("xml, no encoding") << QByteArray("<?xml version=\"1.0\"?><OFX>") << Charset::Utf8;
    QTest::newRow("xml, utf-8") << QByteArray("\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><OFX>")
                                << Charset::Utf8;
    QTest::newRow("xml, us-ascii") << QByteArray("<?xml version=\"1.0\" encoding=\"us-ascii\"?><OFX>")
                                   << Charset::Ascii;
}

void TestCompat::charset()
{
    QFETCH(QByteArray, text);
    QFETCH(Charset, expected);
    const std::string input = text.toStdString();
    SegmentList segments;
    splitTagSegments(input, segments);
    QCOMPARE(detectCharset(segments), expected);
}

QTEST_APPLESS_MAIN(TestCompat)
#include "tst_compat.moc"
