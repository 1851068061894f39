#include "names/name_list.h"

#include <QTest>

using namespace scrivane;

class TestNameList : public QObject
{
    Q_OBJECT

private slots:
    void displayForm_data();
    void displayForm();
    void listText_data();
    void listText();
};

void TestNameList::displayForm_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("amp") << QByteArray("AT&amp;T") << QByteArray("AT&T");
    QTest::newRow("capitals") << QByteArray("&AMP;&QUOT;&APOS;&LT;&GT;") << QByteArray("&\"'<>");
    QTest::newRow("mixed case") << QByteArray("&Quot;X&qUOT;") << QByteArray("\"X\"");
    QTest::newRow("apos") << QByteArray("O&apos;NEIL") << QByteArray("O'NEIL");
    QTest::newRow("amp first, then lt") << QByteArray("&amp;lt;") << QByteArray("<");
    QTest::newRow("amp first, then gt") << QByteArray("&AmP;Gt;") << QByteArray(">");
    QTest::newRow("amp after lt stays") << QByteArray("&lt;amp;") << QByteArray("<amp;");
    QTest::newRow("decimal reference") << QByteArray("A &#38; B") << QByteArray("A &#38; B");
    QTest::newRow("hex reference") << QByteArray("A &#x26; B") << QByteArray("A &#x26; B");
    QTest::newRow("other entity") << QByteArray("&nbsp;") << QByteArray("&nbsp;");
    QTest::newRow("no semicolon") << QByteArray("&amp &lt") << QByteArray("&amp &lt");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestNameList::displayForm()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(cleanSpecialCharForDisplay(name.toStdString())), expected);
}

void TestNameList::listText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no names") << QByteArray("OFXHEADER:100\n<OFX><MEMO>x</OFX>") << QByteArray();
    QTest::newRow("any case, in order") << QByteArray("<NAME>ONE<MEMO>x<name>TWO<Name>ONE")
                                        << QByteArray("ONE\r\nTWO\r\nONE");
    QTest::newRow("empty values skipped") << QByteArray("<NAME><NAME>   <NAME> X <NAME>") << QByteArray("X");
    QTest::newRow("line breaks kept") << QByteArray("<NAME>A\n<NAME>  B  \r\n<MEMO>") << QByteArray("A\n\r\nB  \r\n");
    QTest::newRow("line break alone") << QByteArray("<NAME>\r\n<NAME>X") << QByteArray("\r\n\r\nX");
    QTest::newRow("tag must lead") << QByteArray("<NAMES>A< NAME>B<MEMO><NAME>C") << QByteArray("C");
    QTest::newRow("entities") << QByteArray("<NAME>AT&amp;T<NAME>&#38;") << QByteArray("AT&T\r\n&#38;");
    QTest::newRow("cdata without markup")
        << QByteArray("<NAME><![CDATA[ EFTPOS WDL  ]]></NAME>\r\n<NAME>NEXT") << QByteArray("EFTPOS WDL\r\nNEXT");
    QTest::newRow("cdata holding <") << QByteArray("<NAME><![CDATA[A<B]]></NAME>") << QByteArray("A<B");
    QTest::newRow("empty cdata") << QByteArray("<NAME><![CDATA[  ]]></NAME><NAME>X") << QByteArray("X");
}

void TestNameList::listText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    const std::string input = text.toStdString();
    SegmentList segments;
    splitTagSegments(input, segments);
    QCOMPARE(QByteArray::fromStdString(namesListText(segments)), expected);
}

QTEST_APPLESS_MAIN(TestNameList)
#include "tst_name_list.moc"
