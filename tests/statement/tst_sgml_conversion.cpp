#include "statement/sgml_conversion.h"

#include <QTest>

using namespace scrivane;

namespace {

const QByteArray xmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
                           "NEWFILEUID=\"NONE\"?>\n";

// The OFX 1.0.2 header with the three values that come from the "<?OFX" instruction.
QByteArray
sgmlHead(const QByteArray& security = "NONE", const QByteArray& oldUid = "NONE", const QByteArray& newUid = "NONE")
{
    return "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:" + security
        + "\r\nENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:" + oldUid
        + "\r\nNEWFILEUID:" + newUid + "\r\n\r\n";
}

// Lines written as banks write them: each one ended by CR LF.
QByteArray lines(const QByteArrayList& list)
{
    return list.join("\r\n") + "\r\n";
}

} // namespace

class TestSgmlConversion : public QObject
{
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QByteArray>("expected");

        // The header: values of the instruction, defaults where it has none.
        QTest::newRow("header from the instruction")
            << QByteArray("<?xml version='1.0'?><?OFX OFXHEADER='200' SECURITY='TYPE1' OLDFILEUID='7' "
                          "NEWFILEUID = \"8\"?><OFX></OFX>")
            << sgmlHead("TYPE1", "7", "8") + lines({"<OFX></OFX>"});
        QTest::newRow("no instruction") << QByteArray("<?xml version=\"1.0\"?>\r\n<OFX><A>1</A></OFX>")
                                        << sgmlHead() + lines({"<OFX>", "<A>1", "</OFX>"});
        QTest::newRow("byte-order mark, standalone") << QByteArray(
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<OFX><A>1</A></OFX>")
                                                     << sgmlHead() + lines({"<OFX>", "<A>1", "</OFX>"});
        QTest::newRow("instruction without uids") << QByteArray("<?OFX OFXHEADER=\"200\"?><OFX><A>1</A></OFX>")
                                                  << sgmlHead() + lines({"<OFX>", "<A>1", "</OFX>"});

        // Character sets: everything ends in Windows-1252.
        QTest::newRow("utf-8 letters") << xmlHead + "<OFX><N>Caf\xC3\xA9 \xE2\x82\xAC\xC5\x93</N></OFX>"
                                       << sgmlHead() + lines({"<OFX>", "<N>Caf\xE9 \x80\x9C", "</OFX>"});
        QTest::newRow("latin-1") << QByteArray(
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><OFX><N>\xE9\xFF</N></OFX>")
                                 << sgmlHead() + lines({"<OFX>", "<N>\xE9\xFF", "</OFX>"});
        QTest::newRow("windows-1252") << QByteArray(
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?><OFX><N>\x80\x99</N></OFX>")
                                      << sgmlHead() + lines({"<OFX>", "<N>\x80\x99", "</OFX>"});
        QTest::newRow("us-ascii") << QByteArray("<?xml version=\"1.0\" encoding=\"USASCII\"?><OFX><N>a</N></OFX>")
                                  << sgmlHead() + lines({"<OFX>", "<N>a", "</OFX>"});
        // UTF-16 declared over single bytes: they are what they are, UTF-8 where they can be, else Windows-1252.
        const QByteArray utf16 = "<?xml version=\"1.0\" encoding=\"utf-16\"?>";
        QTest::newRow("utf-16 over utf-8")
            << utf16 + "<OFX><N>Caf\xC3\xA9</N></OFX>" << sgmlHead() + lines({"<OFX>", "<N>Caf\xE9", "</OFX>"});
        QTest::newRow("utf-16 over 1252")
            << utf16 + "<OFX><N>Caf\xE9 \x80</N></OFX>" << sgmlHead() + lines({"<OFX>", "<N>Caf\xE9 \x80", "</OFX>"});
        QTest::newRow("numeric references") << xmlHead + "<OFX><N>&#233;&#x20AC;&#65;</N></OFX>"
                                            << sgmlHead()
                + lines({"<OFX>",
                         "<N>\xE9\x80"
                         "A",
                         "</OFX>"});

        // Aggregates keep both tags, data elements lose the end tag; white space
        // and comments between elements go.
        QTest::newRow("nesting") << xmlHead + "<OFX>\n\t<A>\n <B>x</B><!-- c --><C>y</C>\n</A>\n</OFX>"
                                 << sgmlHead() + lines({"<OFX>", "<A>", "<B>x", "<C>y", "</A>", "</OFX>"});
        QTest::newRow("empty elements") << xmlHead + "<OFX><BANKTRANLIST/><MEMO></MEMO><N>  </N></OFX>"
                                        << sgmlHead()
                + lines({"<OFX>", "<BANKTRANLIST></BANKTRANLIST>", "<MEMO></MEMO>", "<N></N>", "</OFX>"});
        QTest::newRow("text kept as it stands")
            << xmlHead + "<OFX><M> a  b </M></OFX>" << sgmlHead() + lines({"<OFX>", "<M> a  b ", "</OFX>"});
        QTest::newRow("processing instruction inside")
            << xmlHead + "<OFX><?x y?><A>1<?x?>2</A></OFX>" << sgmlHead() + lines({"<OFX>", "<A>12", "</OFX>"});

        // The body of OFX 1 under an XML header: aggregates are closed, a data element ends at the next tag (its
        // end tag optional), and white space before that tag is layout.
        QTest::newRow("OFX 1 body") << xmlHead
                + lines({"<OFX>",
                         "<SONRS>",
                         "<STATUS>",
                         "<CODE>0",
                         "<SEVERITY>INFO  ",
                         "</STATUS>",
                         "<DTSERVER>20170510</DTSERVER>",
                         "<MEMO>",
                         "<NAME>AT&amp;T",
                         "</SONRS>",
                         "</OFX>"})
                                    << sgmlHead()
                + lines({"<OFX>",
                         "<SONRS>",
                         "<STATUS>",
                         "<CODE>0",
                         "<SEVERITY>INFO",
                         "</STATUS>",
                         "<DTSERVER>20170510",
                         "<MEMO></MEMO>",
                         "<NAME>AT&amp;T",
                         "</SONRS>",
                         "</OFX>"});
        QTest::newRow("OFX 1 body, utf-16 declared")
            << utf16 + "<OFX><STMTTRN><NAME>Caf\xE9<MEMO>x</STMTTRN></OFX>"
            << sgmlHead() + lines({"<OFX>", "<STMTTRN>", "<NAME>Caf\xE9", "<MEMO>x", "</STMTTRN>", "</OFX>"});

        // Entities stay entities; other references become their characters.
        QTest::newRow("entities") << xmlHead + "<OFX><N>AT&amp;T &lt;&gt; a>b</N></OFX>"
                                  << sgmlHead() + lines({"<OFX>", "<N>AT&amp;T &lt;&gt; a>b", "</OFX>"});
        QTest::newRow("quotes") << xmlHead + "<OFX><N>&quot;Joe&apos;s&quot;</N></OFX>"
                                << sgmlHead() + lines({"<OFX>", "<N>\"Joe's\"", "</OFX>"});
        QTest::newRow("references to markup") << xmlHead + "<OFX><N>&#38;&#60;&#x3E;</N></OFX>"
                                              << sgmlHead() + lines({"<OFX>", "<N>&amp;&lt;&gt;", "</OFX>"});

        // CDATA content becomes text with the markup characters escaped.
        QTest::newRow("cdata") << xmlHead + "<OFX><N><![CDATA[B&G <CAFE> ]]]></N></OFX>"
                               << sgmlHead() + lines({"<OFX>", "<N>B&amp;G &lt;CAFE&gt; ]", "</OFX>"});
        QTest::newRow("cdata between text")
            << xmlHead + "<OFX><N>a<![CDATA[&]]>b</N></OFX>" << sgmlHead() + lines({"<OFX>", "<N>a&amp;b", "</OFX>"});
        QTest::newRow("cdata line ends") << xmlHead + "<OFX><N><![CDATA[a\r\nb]]></N></OFX>"
                                         << sgmlHead() + lines({"<OFX>", "<N>a\nb", "</OFX>"});
    }
    void converts()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QByteArray, expected);
        const SgmlConversion result = convertToSgml(xml.toStdString());
        QVERIFY2(result.converted, result.reason.c_str());
        QCOMPARE(QByteArray::fromStdString(result.text), expected);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("reason");

        // A character that Windows-1252 lacks is named, never dropped.
        QTest::newRow("check mark") << xmlHead + "<OFX><N>OK \xE2\x9C\x93</N></OFX>"
                                    << "the character \"\u2713\" (U+2713) has no place in Windows-1252";
        QTest::newRow("reference beyond 1252") << xmlHead + "<OFX><N>&#x4E2D;</N></OFX>"
                                               << "the character \"\u4E2D\" (U+4E2D)";
        QTest::newRow("C1 control") << xmlHead + "<OFX><N>&#x85;</N></OFX>"
                                    << "(U+0085) has no place";
        // U+0080 is no euro sign, though 1252 keeps the euro at byte 0x80.
        QTest::newRow("first C1 control") << xmlHead + "<OFX><N>&#x80;</N></OFX>"
                                          << "(U+0080) has no place";
        QTest::newRow("markup in a header value")
            << QByteArray("<?OFX SECURITY=\"N</SONRS>\"?><OFX></OFX>") << "the header value SECURITY=\"N</SONRS>\"";
        QTest::newRow("header value") << QByteArray("<?OFX NEWFILEUID=\"a b\"?><OFX></OFX>")
                                      << "the header value NEWFILEUID=\"a b\"";
        // What the SGML form has no way to say.
        QTest::newRow("attributes") << xmlHead + "<OFX><A x=\"1\">2</A></OFX>"
                                    << "<A> has attributes";
        QTest::newRow("mixed content") << xmlHead + "<OFX>x<A>2</A></OFX>"
                                       << "text stands beside the elements";
        QTest::newRow("text after an element") << xmlHead + "<OFX><A>2</A>x</OFX>"
                                               << "text stands beside the elements inside <OFX>";
        QTest::newRow("aggregate holding text") << xmlHead + "<OFX><STMTTRN> cut </STMTTRN></OFX>"
                                                << "text stands inside <STMTTRN>, which holds only elements";
        QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"EBCDIC\"?><OFX/>")
                                          << "its encoding EBCDIC is not one that Scrivane reads";
        QTest::newRow("utf-16 with NUL bytes")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-16\"?><OFX>") + '\0' + "</OFX>"
            << "its encoding UTF-16 is not one that Scrivane reads";

        QTest::newRow("document type") << xmlHead + "<!DOCTYPE OFX><OFX/>"
                                       << "it has a document type declaration, which Scrivane does not read";

        // Not well-formed: what xmllint rejects. The first fault is told, with its line.
        const char* notXml = "it is not well-formed XML (line ";
        const auto bad = [&](const char* name, const QByteArray& text, const QString& where) {
            QTest::newRow(name) << text << QString(notXml) + where;
        };
        bad("tags cross", xmlHead + "<OFX>\n<A><B>1</A></B></OFX>", "4: the end tag </A> does not close <B>)");
        // Where neither reading gets through, the one that got further tells why.
        bad("OFX 1 body, aggregate left open",
            xmlHead + "<OFX>\n<STMTTRN>\n<CODE>0\n<SEVERITY>INFO\n</OFX>",
            "7: the end tag </OFX> does not close <SEVERITY>");
        QTest::newRow("OFX 1 body, broken further on")
            << xmlHead + "<OFX>\n<STATUS>\n<CODE>0\n<SEVERITY>INFO\n</STATUS>\n<N>a</M>\n</OFX>"
            << "it is not well-formed XML, nor a body of OFX 1 under an XML header (line 8: the end tag </M> does not "
               "close <OFX>)";
        bad("unclosed", xmlHead + "<OFX><A>1</A>", "3: the statement ends before the end tag </OFX>");
        bad("undefined entity", xmlHead + "<OFX><N>&nbsp;</N></OFX>", "3: the entity &nbsp; is not defined");
        bad("bare ampersand", xmlHead + "<OFX><N>A & B</N></OFX>", "3: \"&\" does not begin a reference");
        bad("two roots", xmlHead + "<OFX></OFX><OFX></OFX>", "3: something other than a comment follows");
        bad("text before the root", xmlHead + "x<OFX></OFX>", "3: text stands before the root element");
        bad("declaration not first",
            QByteArray("\n<?xml version=\"1.0\"?><OFX/>"),
            "2: an XML declaration stands elsewhere");
        bad("double hyphen in comment", xmlHead + "<!-- a -- b --><OFX/>", "3: \"--\" stands inside a comment");
        bad("cdata end in text", xmlHead + "<OFX><N>]]></N></OFX>", "3: \"]]>\" stands in text");
        bad("lone <", xmlHead + "<OFX><N>a < b</N></OFX>", "3: a name is missing");
        bad("duplicate attribute", xmlHead + "<OFX a=\"1\" a=\"2\"/>", "3: an attribute stands twice");
        bad("invalid utf-8", xmlHead + "<OFX><N>\xE9</N></OFX>", "3: bytes that are not valid UTF-8");
        bad("beyond ascii",
            QByteArray("<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<OFX><N>\xE9</N></OFX>"),
            "2: a byte beyond ASCII");
        bad("control character", xmlHead + "<OFX><N>\x01</N></OFX>", "3: the character U+0001");
        bad("reference to nothing", xmlHead + "<OFX><N>&#0;</N></OFX>", "3: a character reference to U+0000");
        bad("no root", xmlHead, "3: there is no root element");
    }
    void refuses()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, reason);
        const SgmlConversion result = convertToSgml(xml.toStdString());
        QVERIFY(!result.converted);
        QVERIFY(result.text.empty());
        QVERIFY2(QString::fromStdString(result.reason).contains(reason), result.reason.c_str());
    }
};

QTEST_APPLESS_MAIN(TestSgmlConversion)
#include "tst_sgml_conversion.moc"
