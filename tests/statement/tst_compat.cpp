#include "statement/compat.h"
#include "statement/statement_form.h"

#include <QRegularExpression>
#include <QTest>

using namespace scrivane;

static QByteArray statement(const QByteArray& signOnTail, const QByteArray& response = "STMTTRNRS")
{
    return "OFXHEADER:100\r\n\r\n<SONRS><CODE>0\r\n" + signOnTail + "</SONRS>\r\n<" + response + ">\r\n";
}

// A row as one text in which "[a|b]" stands for a in the input and for b in the expected output.
static void row(const QByteArray& name, Target target, const QByteArray& change)
{
    static const QRegularExpression edit(R"(\[([^|\]]*)\|([^\]]*)\])");
    const QString text = QString::fromLatin1(change);
    QTest::newRow(name.constData()) << QString(text).replace(edit, "\\1").toLatin1() << target
                                    << QString(text).replace(edit, "\\2").toLatin1();
}

class TestCompat : public QObject
{
    Q_OBJECT

private slots:
    void rewrite_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        const struct { QByteArray response, quicken, quickbooks; } kinds[] = {
            {"STMTTRNRS", "3000", "5885"}, {"CCSTMTTRNRS", "3000", "3106"},
            {"INVSTMTTRNRS", "11372", "5885"}, {"OTHERTRNRS", "3000", "5885"}};
        // clang-format on
        const Target qb = Target::QuickBooks, qk = Target::Quicken;
        for (const auto& k : kinds) {
            row(k.response + ", Quicken", qk, statement("[|<INTU.BID>" + k.quicken + "]", k.response));
            row(k.response + ", QuickBooks", qb, statement("[|<INTU.BID>" + k.quickbooks + "]", k.response));
            row(k.response + ", Other", Target::Other, statement("", k.response));
        }
        row("replaced in place", qk, statement("[<INTU.BID>24\r\n|<INTU.BID>3000]<X>me\r\n"));
        row("lower-case tags", qb, "<sonrs>[<intu.bid>1\n|<INTU.BID>3106]</sonrs><ccstmttrnrs>");
        row("later identifier unseen", qk, "<SONRS>[|<INTU.BID>3000]</SONRS><STMTTRNRS><INTU.BID>1");
        row("first statement decides", qb, "<SONRS>[|<INTU.BID>5885]</SONRS><STMTTRNRS><CCSTMTTRNRS>");
        row("last closing tag counts", qk, "<SONRS></SONRS><SONRS>[|<INTU.BID>3000]</SONRS><STMTTRNRS>");
        row("later closing tag unseen", qk, "<SONRS><INTU.BID>7\n<STMTTRNRS></SONRS>");
        // A CDATA section or a comment holds text, not tags, whatever it looks like.
        row("closing tag in a name's CDATA",
            qk,
            "<SONRS>[|<INTU.BID>3000]</SONRS><NAME><![CDATA[</SONRS>]]><STMTTRNRS>");
        row("sign-on in a comment", qb, "<SONRS>[|<INTU.BID>5885]</SONRS><!-- <SONRS></SONRS> --><STMTTRNRS>");
        row("closing tag first", qb, "</SONRS>\n<STMTTRNRS>");
        // The XML form closes every element, so an inserted identifier needs its end tag.
        const QByteArray decl = "\xEF\xBB\xBF \r\n<?xml version=\"1.0\"?>\n";
        const QByteArray body = "<OFX><SONRS><CODE>0</CODE>\n[|<INTU.BID>3000</INTU.BID>]</SONRS><STMTTRNRS></OFX>";
        row("xml after byte-order mark", qk, decl + body);
        row("<?OFX header alone", qk, "<?OFX OFXHEADER=\"200\"?>\n" + body);
        row("xml, replaced", qb, decl + "<SONRS><INTU.BID>[42|3106]</INTU.BID>\n</SONRS><CCSTMTTRNRS>");
        row("xml, replaced in lower case", qk, decl + "<sonrs>[<intu.bid>1|<intu.bid>3000]</intu.bid></sonrs>");
        row("xml, nothing to go by", qk, decl + "<SONRS>\n[|<INTU.BID>3000</INTU.BID>]</SONRS>");
        row("xml header, open elements", qk, decl + "<OFX><SONRS><CODE>0\n[|<INTU.BID>3000]</SONRS><STMTTRNRS>");
        row("xml, end tag with a line break",
            qk,
            decl + "<SONRS><DTSERVER>2</DTSERVER\n>[|<INTU.BID>3000</INTU.BID>]</SONRS>");
        row("xml, text beside a child",
            qk,
            decl + "<SONRS><STATUS>$<CODE>0</CODE></STATUS>[|<INTU.BID>3000</INTU.BID>]</SONRS><STMTTRNRS>");
        // An OFX 1 statement whose sign-on response closes its elements gets a closed one too.
        const QByteArray closed = "OFXHEADER:100\n<SONRS><STATUS><CODE>0</CODE></STATUS><LANGUAGE></LANGUAGE>\n";
        row("closed, Quicken", qk, closed + "[|<INTU.BID>3000</INTU.BID>]</SONRS><STMTTRNRS>");
        row("closed, QuickBooks", qb, closed + "[|<INTU.BID>3106</INTU.BID>]</SONRS><CCSTMTTRNRS>");
        row("closed, Other", Target::Other, closed + "</SONRS><STMTTRNRS>");
        row("closed, replaced with end tag", qb, closed + "<INTU.BID>[1|5885]</INTU.BID></SONRS>");
        row("closed, replaced without", qk, closed + "[<INTU.BID>1\n|<INTU.BID>3000]</SONRS>");
        // Where the styles mix, the sign-on response's own elements decide, all of them.
        row("only sign-on closed",
            qk,
            "<A>1\n<SONRS><CODE>0</CODE>[|<INTU.BID>3000</INTU.BID>]</SONRS><STMTTRNRS><B>2");
        row("all but sign-on closed", qk, "<SONRS><CODE>0\n[|<INTU.BID>3000]</SONRS><STMTTRNRS><B>1</B>");
        row("sign-on half closed", qk, "<SONRS><CODE>0</CODE><DTSERVER>2\n[|<INTU.BID>3000]</SONRS><STMTTRNRS>");
    }

    void rewrite()
    {
        QFETCH(QByteArray, text);
        QFETCH(Target, target);
        QFETCH(QByteArray, expected);
        SegmentList segments;
        splitTagSegments({text.constData(), std::size_t(text.size())}, segments);
        const std::size_t size = segments.size();
        makeOFXFileCompatable(segments, target);
        QCOMPARE(QByteArray::fromStdString(joinSegments(segments)), expected);
        QCOMPARE(segments.size(), size);
    }

    void charset_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Charset>("expected");
        const QByteArray h = "OFXHEADER:100\r\nENCODING:USASCII\r\nCHARSET:";
        QTest::newRow("1252") << h + "1252\r\n\r\n<OFX><NAME>CAF\xC9" << Charset::Windows1252;
        QTest::newRow("ISO-8859-1") << h + "ISO-8859-1\r\n<OFX>" << Charset::Windows1252;
        QTest::newRow("8859-1") << h + "8859-1\r\n<OFX>" << Charset::Windows1252;
        QTest::newRow("UTF-8") << QByteArray("OFXHEADER:100\nENCODING:UTF-8\nCHARSET:NONE\n<OFX>") << Charset::Utf8;
        QTest::newRow("UNICODE") << QByteArray("OFXHEADER:100\nENCODING:UNICODE\nCHARSET:1252\n<OFX>") << Charset::Utf8;
        QTest::newRow("none") << h + "NONE\r\n<OFX>" << Charset::Ascii;
        // Many banks declare 1252 and send UTF-8.
        QTest::newRow("1252 label, UTF-8 letters") << h + "1252\r\n<OFX><NAME>CAF\xC3\x89" << Charset::Utf8;
        // "à€¯" in 1252 has the shape of an over-long UTF-8 sequence, which UTF-8 forbids.
        QTest::newRow("1252 label, over-long shape") << h + "1252\r\n<OFX><NAME>\xE0\x80\xAF" << Charset::Windows1252;
        QTest::newRow("xml") << QByteArray("<?xml version=\"1.0\"?><OFX>") << Charset::Utf8;
        QTest::newRow("xml, us-ascii") << QByteArray("<?xml version='1.0' encoding='us-ascii'?><OFX>")
                                       << Charset::Ascii;
        // UTF-16 declared over single bytes: they are read for what they are.
        const QByteArray utf16 = "<?xml version=\"1.0\" encoding=\"utf-16\"?><OFX><NAME>CAF";
        QTest::newRow("xml, utf-16 over 1252") << utf16 + "\xC9" << Charset::Windows1252;
        QTest::newRow("xml, utf-16 over UTF-8") << utf16 + "\xC3\x89" << Charset::Utf8;
    }

    void charset()
    {
        QFETCH(QByteArray, text);
        QFETCH(Charset, expected);
        SegmentList segments;
        splitTagSegments({text.constData(), std::size_t(text.size())}, segments);
        QCOMPARE(detectCharset(segments), expected);
    }
};

QTEST_APPLESS_MAIN(TestCompat)
#include "tst_compat.moc"
