#include "fake_option_source.h"
#include "names/name_cleaner.h"

#include <QStringList>
#include <QTest>

using namespace scrivane;

namespace {

// Cleans text with the given "key=value" entries stored and every other key absent.
QByteArray cleaned(const QByteArray& text, const QStringList& stored, const LocaleRules& locale = LocaleRules::enUS())
{
    FakeOptionSource source;
    for (const QString& entry : stored) {
        const qsizetype eq = entry.indexOf('=');
        source.stored[entry.left(eq).toStdString()] = entry.mid(eq + 1).toStdString();
    }
    const std::string input = text.toStdString();
    SegmentList segments;
    splitTagSegments(input, segments);
    cleanPayeeNames(segments, source, locale);
    return QByteArray::fromStdString(joinSegments(segments));
}

void addColumns()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QByteArray>("expected");
}

const QStringList none;
const QByteArray header1252 = "OFXHEADER:100\r\nENCODING:USASCII\r\nCHARSET:1252\r\n\r\n";
const QByteArray headerUtf8 = "OFXHEADER:100\r\nENCODING:UTF-8\r\nCHARSET:NONE\r\n\r\n";
const QStringList upperCase {"mixedCase=0"};

} // namespace

class TestNameCleaner : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules() { check(); }
    void flags_data();
    void flags() { check(); }
    void lineBreaks_data();
    void lineBreaks() { check(); }
    void markup_data();
    void markup() { check(); }
    void charsets_data();
    void charsets() { check(); }
    void localeTextInStatementCharset_data();
    void localeTextInStatementCharset();
    void optionsReadAtEveryCall();
    void splitWords_data();
    void splitWords();

private:
    void check()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, stored);
        QFETCH(QByteArray, expected);
        QCOMPARE(cleaned(text, stored), expected);
    }
};

void TestNameCleaner::rules_data()
{
    addColumns();
    QTest::newRow("number after #") << QByteArray("<NAME>POS PURCHASE #123456 BIGMART<MEMO>") << none
                                    << QByteArray("<NAME>Pos Purchase Bigmart<MEMO>");
    QTest::newRow("date") << QByteArray("<NAME>ACH DEBIT 03/15 ACME CORP<MEMO>") << none
                          << QByteArray("<NAME>Ach Debit Acme Corp<MEMO>");
    QTest::newRow("repeat and number") << QByteArray("<NAME>PETRO PETRO OIL 57442<MEMO>") << none
                                       << QByteArray("<NAME>Petro Oil<MEMO>");
    QTest::newRow("cleaned away") << QByteArray("<TRNAMT>1<NAME>CHECK 1234<MEMO>m") << none
                                  << QByteArray("<TRNAMT>1<MEMO>m");
    QTest::newRow("empty name") << QByteArray("<NAME><MEMO>") << none << QByteArray("<MEMO>");
    QTest::newRow("lower-case tag") << QByteArray("<name>ACME -<MEMO>") << none << QByteArray("<NAME>Acme<MEMO>");
    QTest::newRow("spaces") << QByteArray("<NAME>   ACME   CORP   <MEMO>") << none
                            << QByteArray("<NAME>Acme Corp<MEMO>");
    QTest::newRow("lone # kept") << QByteArray("<NAME>SHOP # 12 X") << none << QByteArray("<NAME>Shop # X");
    QTest::newRow("trailing ?") << QByteArray("<NAME>ACME ?") << none << QByteArray("<NAME>Acme");
    QTest::newRow("trailing #") << QByteArray("<NAME>ACME#") << none << QByteArray("<NAME>Acme");
    QTest::newRow("one trailing char") << QByteArray("<NAME>ACME --") << upperCase << QByteArray("<NAME>ACME -");
    QTest::newRow("repeat respects case")
        << QByteArray("<NAME>ACME ACME acme") << upperCase << QByteArray("<NAME>ACME acme");
    QTest::newRow("repeat looks at dropped word")
        << QByteArray("<NAME>ACME 1234 ACME") << upperCase << QByteArray("<NAME>ACME ACME");
    QTest::newRow("omit list") << QByteArray("<NAME>CHECK check Pmt CHECKCARD PMT, ACME")
                               << QStringList {"mixedCase=0", "omitWords=Check PMT XXX"}
                               << QByteArray("<NAME>CHECKCARD PMT, ACME");
    QTest::newRow("stored omit list replaces default")
        << QByteArray("<NAME>CHECK REF XXX") << QStringList {"omitWords=XXX"} << QByteArray("<NAME>Check Ref");
    QTest::newRow("not payee names") << QByteArray("<NAMES>CHECK 1234\n< NAME>CHECK\n</NAME>\n") << none
                                     << QByteArray("<NAMES>CHECK 1234\n< NAME>CHECK\n</NAME>\n");
}

void TestNameCleaner::flags_data()
{
    addColumns();
    const QByteArray number = "<NAME>ACME 1234";
    const struct
    {
        const char* stored;
        const char* expected;
    } truth[] = {
        {"1", "<NAME>Acme"},
        {"True", "<NAME>Acme"},
        {"0", "<NAME>Acme 1234"},
        {"FALSE", "<NAME>Acme 1234"},
        {"", "<NAME>Acme 1234"},
        {"yes", "<NAME>Acme 1234"},
    };
    for (const auto& t : truth) {
        QTest::addRow("removeNumbers \"%s\"", t.stored)
            << number << QStringList {QString("removeNumbers=") + t.stored} << QByteArray(t.expected);
    }
    QTest::newRow("removeNumbers off keeps #n")
        << QByteArray("<NAME>SHOP #123") << QStringList {"removeNumbers=0"} << QByteArray("<NAME>Shop #123");
    QTest::newRow("removeDates off") << QByteArray("<NAME>ACME 03/15") << QStringList {"removeDates="}
                                     << QByteArray("<NAME>Acme 03/15");
    QTest::newRow("removeRepeat off") << QByteArray("<NAME>ACME ACME") << QStringList {"removeRepeat="}
                                      << QByteArray("<NAME>Acme Acme");
    QTest::newRow("mixedCase off") << QByteArray("<NAME>ACME corp") << QStringList {"mixedCase="}
                                   << QByteArray("<NAME>ACME corp");
    QTest::newRow("mixedCase False") << QByteArray("<NAME>ACME corp") << QStringList {"mixedCase=False"}
                                     << QByteArray("<NAME>ACME corp");
}

void TestNameCleaner::lineBreaks_data()
{
    addColumns();
    QTest::newRow("CR LF") << QByteArray("<NAME>ACME CORP\r\n<MEMO>") << none << QByteArray("<NAME>Acme Corp\r<MEMO>");
    QTest::newRow("LF") << QByteArray("<NAME>ACME CORP\n<MEMO>") << none << QByteArray("<NAME>Acme Corp<MEMO>");
    QTest::newRow("CR LF, spaces") << QByteArray("<NAME>ACME CORP\r\n    <MEMO>") << none
                                   << QByteArray("<NAME>Acme Corp\r<MEMO>");
    QTest::newRow("CR LF, tabs") << QByteArray("<NAME>ACME CORP\r\n\t\t<MEMO>") << none
                                 << QByteArray("<NAME>Acme Corp\r\n\t\t<MEMO>");
    QTest::newRow("last word not omitted")
        << QByteArray("<NAME>REF CHECK\r\n<MEMO>") << none << QByteArray("<NAME>Check\r<MEMO>");
    QTest::newRow("number with CR LF") << QByteArray("<NAME>PETRO OIL 57442\r\n<MEMO>") << none
                                       << QByteArray("<NAME>Petro Oil<MEMO>");
    QTest::newRow("date with tabs") << QByteArray("<NAME>ACME 12/25/2012\n\t<MEMO>") << none
                                    << QByteArray("<NAME>Acme<MEMO>");
    QTest::newRow("only a line break") << QByteArray("<NAME>\r\n<MEMO>") << none << QByteArray("<NAME>\r<MEMO>");
}

void TestNameCleaner::markup_data()
{
    addColumns();
    QTest::newRow("end tag goes with name")
        << QByteArray("<NAME>CHECK 1234</NAME>\n<MEMO>x</MEMO>") << none << QByteArray("<MEMO>x</MEMO>");
    QTest::newRow("end tag, any case") << QByteArray("<name>1234</Name>\r\n<MEMO>") << none << QByteArray("<MEMO>");
    QTest::newRow("empty element") << QByteArray("<NAME></NAME><MEMO>") << none << QByteArray("<MEMO>");
    QTest::newRow("kept name keeps end tag")
        << QByteArray("<NAME>ACME</NAME>\n<MEMO>") << none << QByteArray("<NAME>Acme</NAME>\n<MEMO>");
    QTest::newRow("end tag not next") << QByteArray("<NAME>CHECK 12\n<MEMO></NAME>") << none
                                      << QByteArray("<MEMO></NAME>");
    QTest::newRow("cdata") << QByteArray("<NAME><![CDATA[EFTPOS WDL HANDYWAY ALDI STORE  ]]></NAME>\r\n<MEMO>") << none
                           << QByteArray("<NAME><![CDATA[Eftpos Wdl Handyway Aldi Store]]></NAME>\r\n<MEMO>");
    QTest::newRow("cdata, text after section")
        << QByteArray("<NAME><![CDATA[ACME]]>\r\n</NAME>") << none << QByteArray("<NAME><![CDATA[Acme]]>\r\n</NAME>");
    QTest::newRow("cdata on its own line")
        << QByteArray("<NAME>\r\n  <![CDATA[ACME]]></NAME>") << none << QByteArray("<NAME><![CDATA[Acme]]></NAME>");
    QTest::newRow("cdata cleaned away") << QByteArray("<MEMO>a\n<NAME><![CDATA[CHECK 1234]]></NAME>\n<MEMO>b") << none
                                        << QByteArray("<MEMO>a\n<MEMO>b");
    QTest::newRow("cdata holding <") << QByteArray("<NAME><![CDATA[A<B CORP]]></NAME>") << none
                                     << QByteArray("<NAME><![CDATA[A<b Corp]]></NAME>");
    QTest::newRow("&amp;") << QByteArray("<NAME>AT&amp;T MOBILITY\n<MEMO>") << none
                           << QByteArray("<NAME>At&amp;t Mobility<MEMO>");
    QTest::newRow("&AMP;") << QByteArray("<NAME>B&AMP;G CAFE") << none << QByteArray("<NAME>B&amp;g Cafe");
    QTest::newRow("&#38;") << QByteArray("<NAME>JOHNSON &#38; SONS") << none << QByteArray("<NAME>Johnson &#38; Sons");
    QTest::newRow("&#X26;") << QByteArray("<NAME>SMITH &#X26; CO") << none << QByteArray("<NAME>Smith &#x26; Co");
}

void TestNameCleaner::charsets_data()
{
    addColumns();
    const QByteArray latin1 = "<NAME>CAF\xC9 M\xC9TRO";
    const QByteArray utf8 = "<NAME>CAF\xC3\x89 M\xC3\x89TRO";
    const QByteArray xml = "<?xml version=\"1.0\"?>\n";
    QTest::newRow("1252") << header1252 + latin1 << none << header1252 + "<NAME>Caf\xE9 M\xE9tro";
    QTest::newRow("utf-8") << headerUtf8 + utf8 << none << headerUtf8 + "<NAME>Caf\xC3\xA9 M\xC3\xA9tro";
    QTest::newRow("xml") << xml + utf8 << none << xml + "<NAME>Caf\xC3\xA9 M\xC3\xA9tro";
    QTest::newRow("unknown, utf-8 bytes") << utf8 << none << QByteArray("<NAME>Caf\xC3\x89 M\xC3\x89tro");
    QTest::newRow("unknown, 1252 bytes") << latin1 << none << QByteArray("<NAME>Caf\xC9 M\xC9tro");
    QTest::newRow("utf-8 header, 1252 bytes") << headerUtf8 + latin1 << none << headerUtf8 + "<NAME>Caf\xC9 M\xC9tro";
    // Many banks declare 1252 and send UTF-8; mapping those bytes by the 1252 table would break them.
    QTest::newRow("1252 header, utf-8 bytes")
        << header1252 + utf8 << none << header1252 + "<NAME>Caf\xC3\xA9 M\xC3\xA9tro";
    // The settings store hands its text over in UTF-8, whatever the statement's set.
    QTest::newRow("1252, omit list") << header1252 + latin1 << QStringList {"omitWords=caf\xC3\xA9"}
                                     << header1252 + "<NAME>M\xE9tro";
    QTest::newRow("omit list ignores case")
        << headerUtf8 + utf8 << QStringList {"omitWords=caf\xC3\xA9"} << headerUtf8 + "<NAME>M\xC3\xA9tro";
}

void TestNameCleaner::localeTextInStatementCharset_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("1252") << header1252
            + "<NAME>ACME \xA3"
              "5 \x80"
              "5"
                          << header1252
            + "<NAME>Acme \x80"
              "5";
    QTest::newRow("utf-8") << headerUtf8
            + "<NAME>ACME \xC2\xA3"
              "5" << headerUtf8 + "<NAME>Acme";
    QTest::newRow("unknown") << QByteArray("<NAME>ACME \xC2\xA3"
                                           "5 \xA3"
                                           "5")
                             << QByteArray("<NAME>Acme \xA3"
                                           "5");
}

void TestNameCleaner::localeTextInStatementCharset()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    LocaleRules pounds;
    pounds.currencySymbol = "\xC2\xA3"; // as the platform gives it, in UTF-8
    QCOMPARE(cleaned(text, none, pounds), expected);
}

void TestNameCleaner::optionsReadAtEveryCall()
{
    FakeOptionSource source;
    const std::string text = "<NAME>ACME CORP";
    SegmentList segments;
    splitTagSegments(text, segments);
    cleanPayeeNames(segments, source, LocaleRules::enUS());
    QCOMPARE(segments[1], "<NAME>Acme Corp");

    using Asked = std::vector<std::pair<std::string, SettingDefault>>;
    const Asked expected {{"omitWords", std::string("CHECK REF")},
                          {"mixedCase", true},
                          {"removeDates", 1LL},
                          {"removeNumbers", 1LL},
                          {"removeRepeat", 1LL}};
    QVERIFY(source.asked == expected);

    source.asked.clear();
    source.stored.emplace("mixedCase", "0");
    splitTagSegments(text, segments);
    cleanPayeeNames(segments, source, LocaleRules::enUS());
    QCOMPARE(segments[1], "<NAME>ACME CORP");
    QVERIFY(source.asked == expected);
}

void TestNameCleaner::splitWords_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("empty") << QByteArray() << QList<QByteArray> {""};
    QTest::newRow("all spaces") << QByteArray("    ") << QList<QByteArray> {""};
    QTest::newRow("runs of spaces") << QByteArray("  A   B C  ") << QList<QByteArray> {"A", "B", "C"};
    QTest::newRow("tabs and breaks are word characters")
        << QByteArray("A\tB C\r\n") << QList<QByteArray> {"A\tB", "C\r\n"};
    QTest::newRow("break alone") << QByteArray("A \r\n") << QList<QByteArray> {"A", "\r\n"};
}

void TestNameCleaner::splitWords()
{
    QFETCH(QByteArray, name);
    QFETCH(QList<QByteArray>, expected);
    std::vector<std::string_view> words {"left", "over"};
    const std::string text = name.toStdString();
    scrivane::splitWords(text, words);
    QList<QByteArray> actual;
    for (std::string_view w : words)
        actual.append(QByteArray(w.data(), static_cast<qsizetype>(w.size())));
    QCOMPARE(actual, expected);
}

QTEST_APPLESS_MAIN(TestNameCleaner)
#include "tst_name_cleaner.moc"
