#include "names/name_cleaner.h"

#include <QRegularExpression>
#include <QTest>

using namespace scrivane;

// Options as the rows give them, "key=value;...": a flag is on for "1", the word list is taken as it is, and every
// option not named keeps its default.
static NameOptions optionsOf(const QByteArray& given)
{
    NameOptions options;
    for (const QByteArray& entry : given.isEmpty() ? QByteArrayList() : given.split(';')) {
        const QByteArray key = entry.split('=')[0], value = entry.split('=').value(1);
        if (key == "omitWords")
            options.omitWords = value.toStdString();
        for (auto [name, flag] : {std::pair("mixedCase", &options.mixedCase),
                                  {"removeDates", &options.removeDates},
                                  {"removeNumbers", &options.removeNumbers},
                                  {"removeRepeat", &options.removeRepeat}})
            if (key == name)
                *flag = value == "1";
    }
    return options;
}

// A row as one text in which "{a|b}" stands for a in the input and for b in the expected output,
// cleaned with the "key=value;..." options of stored and every other option at its default.
static void row(const char* name, const QByteArray& change, const QByteArray& stored = {})
{
    static const QRegularExpression edit(R"(\{([^|}]*)\|([^}]*)\})");
    const QString text = QString::fromLatin1(change);
    QTest::newRow(name) << QString(text).replace(edit, "\\1").toLatin1() << stored
                        << QString(text).replace(edit, "\\2").toLatin1();
}

static const QByteArray header1252 = "OFXHEADER:100\r\nENCODING:USASCII\r\nCHARSET:1252\r\n\r\n";

class TestNameCleaner : public QObject
{
    Q_OBJECT

private slots:
    void clean_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("expected");
        row("number after #", "<NAME>{POS PURCHASE #123456 BIGMART|Pos Purchase Bigmart}<MEMO>");
        row("date", "<NAME>{ACH DEBIT 03/15 ACME CORP|Ach Debit Acme Corp}<MEMO>");
        row("repeat and number", "<NAME>{PETRO PETRO OIL 57442|Petro Oil}<MEMO>");
        row("cleaned away, empty", "<TRNAMT>1{<NAME>CHECK 1234<NAME>|}<MEMO>m");
        row("lower-case tag", "{<name>ACME -|<NAME>Acme}<MEMO>");
        row("runs of spaces", "<NAME>{   ACME   CORP   |Acme Corp}<MEMO>");
        row("lone # kept, ? dropped", "<NAME>{SHOP # 12 ?|Shop #}");
        row("trailing #", "<NAME>{ACME#|Acme}");
        row("last character goes before the case", "<NAME>{ACME INC-|Acme INC}<NAME>{MC-|Mc}<NAME>{D' -|D'}");
        row("not payee names", "<NAMES>CHECK 1\n< NAME>CHECK\n</NAME>\n");
        row("one last character only", "<NAME>{ACME --|ACME -}", "mixedCase=0");
        row("repeat keeps letter case", "<NAME>{ACME ACME acme|ACME acme}", "mixedCase=0");
        row("repeat looks at dropped word", "<NAME>{ACME 1234 ACME|ACME ACME}", "mixedCase=0");
        // A stored list replaces the default one, so REF stays.
        row("omit list", "<NAME>{CHECK check Pmt |}REF CHECKCARD PMT,{ XXX|}", "mixedCase=0;omitWords=Check PMT XXX");
        row("every flag off", "<NAME>a a 1 #1 3/15", "mixedCase=0;removeDates=0;removeNumbers=0;removeRepeat=0");
        row("numbers only", "<NAME>a {1 |}3/15", "removeNumbers=1;removeDates=0;mixedCase=0");

        row("CR LF", "<NAME>{ACME CORP\r\n|Acme Corp\r}<MEMO>");
        row("LF", "<NAME>{ACME CORP\n|Acme Corp}<MEMO>");
        row("CR LF, spaces", "<NAME>{ACME CORP\r\n    |Acme Corp\r}<MEMO>");
        row("CR LF, tabs", "<NAME>{ACME CORP|Acme Corp}\r\n\t\t<MEMO>");
        row("last word carries the break", "<NAME>{REF CHECK\r\n|Check\r}<MEMO>");
        row("number with CR LF", "<NAME>{PETRO OIL 57442\r\n|Petro Oil}<MEMO>");

        row("end tag goes with its name", "<NAME>{ACME|Acme}</NAME>\n{<NAME>CHECK 1234</NAME>\n|}<MEMO>x</MEMO>");
        row("end tag spaced as XML allows", "{<NAME>CHECK 1</NAME >|}{<NAME>CHECK 2</name\r\n>|}<NAME>{X|X}</NAME >");
        row("end tag past comments", "{<NAME>CHECK 1|}<!-- a < b --><?pi?>{</NAME>|}{<NAME>CHECK 2|}<!--x--><NAME>Y");
        row("XML tag as written",
            "<?xml version='1.0'?><name>{POS 12|Pos}</name>{<name>CHECK 1</name>|}<Name>{A|A}</Name>");
        row("cdata", "<NAME><![CDATA[{ ACME  CORP |Acme Corp}]]>\n</NAME>\r\n<MEMO>");
        row("cdata cleaned away", "<MEMO>a\n{<NAME><![CDATA[CHECK 1234]]></NAME>\n|}<MEMO>b");
        row("cdata holding <", "<NAME><![CDATA[{A<B CORP|A<b Corp}]]></NAME>");
        row("cdata closing past the next name", "<NAME><![CDATA[CHECK 1</NAME><NAME><![CDATA[{ACME|Acme}]]></NAME>");
        row("entities", "<NAME>{AT&amp;T B&AMP;G &#38; &#X26; CO\n|At&amp;t B&amp;g &#38; &#x26; Co}<MEMO>");

        // The settings store and the platform hand their texts over in UTF-8, whatever the statement's set.
        row("1252, locale text", header1252 + "<NAME>{ACME \xA3\x35|Acme}");
        row("1252, omit list", header1252 + "<NAME>{CAF\xC9 M\xC9TRO|M\xE9tro}", "omitWords=caf\xC3\xA9");
        row("UTF-8 names and ASCII names",
            "OFXHEADER:100\r\nENCODING:UTF-8\r\n\r\n<NAME>{\303\211COLE MCKAY LLC|\303\211cole McKay LLC}"
            "<NAME>{ACME INC -|Acme INC}");
    }

    void clean()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, expected);
        // US rules but for the pound sign, a locale text outside ASCII that the platform gives in UTF-8.
        static const LocaleRules pounds {.currencySymbol = "\xC2\xA3"};
        SegmentList segments;
        splitTagSegments({text.constData(), std::size_t(text.size())}, segments);
        cleanPayeeNames(segments, optionsOf(stored), pounds);
        QCOMPARE(QByteArray::fromStdString(joinSegments(segments)), expected);
    }
};

QTEST_APPLESS_MAIN(TestNameCleaner)
#include "tst_name_cleaner.moc"
