#include "names/name_list.h"
#include "names/names_preview.h"

#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Charset)

static void row(const char* name, const QByteArray& text, const QByteArray& expected)
{
    QTest::newRow(name) << text << expected;
}

class TestNameList : public QObject
{
    Q_OBJECT

private slots:
    void listText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        row("any case, in order", "<NAME>ONE<MEMO>x<name>TWO<Name>ONE", "ONE\r\nTWO\r\nONE");
        row("empty values skipped", "<NAME><NAME>   <NAME> X <NAME>", "X");
        row("line breaks kept", "<NAME>A\n<NAME>  B  \r\n<MEMO>", "A\n\r\nB  \r\n");
        row("no names: the tag must lead", "OFXHEADER:100\n<NAMES>A< NAME>B<MEMO>", "");
        row("five entities, any case", "<NAME>AT&AMP;T &Quot;X&qUOT; O&apos;N &lt;&GT;", "AT&T \"X\" O'N <>");
        row("ampersand first", "<NAME>&amp;lt;&AmP;Gt;", "<>");
        row("references and other entities stay", "<NAME>A &#38; &#x26; &nbsp; &amp B", "A &#38; &#x26; &nbsp; &amp B");
        row("cdata without markup", "<NAME><![CDATA[ EFTPOS  ]]></NAME>\r\n<NAME><![CDATA[A<B]]>", "EFTPOS\r\nA<B");
    }

    void listText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        SegmentList segments;
        splitTagSegments({text.constData(), std::size_t(text.size())}, segments);
        QCOMPARE(QByteArray::fromStdString(namesListText(segments)), expected);
    }

    // The previews' one pass over a statement: its own character set, and its names raw or as a clean leaves them.
    void preview_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("clean");
        QTest::addColumn<QByteArray>("names");
        QTest::addColumn<Charset>("charset");
        const QByteArray header1252 = "OFXHEADER:100\r\nCHARSET:1252\r\n\r\n";
        const QByteArray names = "<NAME>CAF\xC9 1234<NAME>CHECK 12<MEMO>m";
        QTest::newRow("raw, 1252") << header1252 + names << false << QByteArray("CAF\xC9 1234\r\nCHECK 12")
                                   << Charset::Windows1252;
        QTest::newRow("cleaned, 1252") << header1252 + names << true << QByteArray("Caf\xE9") << Charset::Windows1252;
        QTest::newRow("cleaned, no header")
            << QByteArray("<NAME>ACME 77<MEMO>") << true << QByteArray("Acme") << Charset::Ascii;
    }
    void preview()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, clean);
        QFETCH(QByteArray, names);
        QFETCH(Charset, charset);
        const NamesPreview preview = previewNames({text.constData(), std::size_t(text.size())},
                                                  clean ? std::optional(NameOptions()) : std::nullopt,
                                                  LocaleRules::enUS());
        QCOMPARE(QByteArray::fromStdString(namesListText(preview.names)), names);
        QVERIFY(preview.charset == charset);
    }
};

QTEST_APPLESS_MAIN(TestNameList)
#include "tst_name_list.moc"
