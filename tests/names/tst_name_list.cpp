#include "names/name_list.h"

#include <QTest>

using namespace scrivane;

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
};

QTEST_APPLESS_MAIN(TestNameList)
#include "tst_name_list.moc"
