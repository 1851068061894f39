#include "rule_rows.h"
#include "support/samples.h"

#include "names/statement_cleaner.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace scrivane;

static const QByteArray header1252 = "OFXHEADER:100\r\nDATA:OFXSGML\r\nENCODING:USASCII\r\nCHARSET:1252\r\n\r\n";
static const QByteArray headerNone = "OFXHEADER:100\r\nDATA:OFXSGML\r\nENCODING:USASCII\r\nCHARSET:NONE\r\n\r\n";
static const QByteArray xmlHeader
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\" "
      "SECURITY=\"NONE\" OLDFILEUID=\"NONE\" NEWFILEUID=\"NONE\"?>\n";

struct Cleaned
{
    QByteArray text;
    FormReport report;
};

static Cleaned cleanText(const QByteArray& text, Target target, const NameOptions& options)
{
    SegmentList segments;
    std::string converted;
    const std::string_view input(text.constData(), std::size_t(text.size()));
    FormReport report = cleanStatement(input, converted, segments, target, options, LocaleRules::enUS());
    return {QByteArray::fromStdString(joinSegments(segments)), std::move(report)};
}

class TestRulesClean : public QObject
{
    Q_OBJECT

private slots:
    // A statement cleaned for Quicken with rules, as "{in|out}" edits of one text,
    // or "!" and the start of the failure.
    void clean_data()
    {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("a rule's name beside cleaned names, line ends kept")
            << header1252
                + "<NAME>{POS WAL MART 03/15\r\n|Walmart\r\n}<TRNAMT>1\r\n<NAME>{ACME CORP\r\n|Acme Corp\r}<MEMO>"
            << "contains|wal mart|Walmart" << QByteArray();
        QTest::newRow("written as typed, escaped for SGML")
            << header1252 + "<NAME>{AT&amp;T WIRELESS\r\n|at&amp;t  WIRELESS &lt;X>\r\n}<MEMO>"
            << "exact|AT&T wireless|at&t  WIRELESS <X>" << QByteArray();
        QTest::newRow("XML: the tag kept, escaped")
            << xmlHeader + "<OFX><name>{AT&amp;T WIRELESS|A&amp;B &lt;C&gt;}</name></OFX>"
            << "exact|at&t wireless|A&B <C>" << QByteArray();
        QTest::newRow("XML: inside its CDATA section")
            << xmlHeader + "<OFX><NAME><![CDATA[{B&G <CAFE>|B & G Caf\xC3\xA9}]]></NAME></OFX>"
            << "begins|b&g <|B & G Caf\xC3\xA9" << QByteArray();
        QTest::newRow("a blank name stays unnamed") << header1252 + "{<NAME>   |}<MEMO>"
                                                    << "pattern|.*|Anyone" << QByteArray();
        QTest::newRow("the character set lacks a letter")
            << headerNone + "<NAME>ACME\r\n<NAME>CAFE NERO\r\n<MEMO>"
            << "exact|x|X\ncontains|nero|Caf\xC3\xA9 Nero"
            << QByteArray("!Rule 2 (contains \"nero\") cannot write its name \"Caf\xC3\xA9 Nero\" in this statement: "
                          "the character \"\xC3\xA9\" (U+00E9) has no place in ASCII");
    }

    void clean()
    {
        QFETCH(QByteArray, statement);
        QFETCH(QString, rules);
        QFETCH(QByteArray, expected);
        static const QRegularExpression edit(R"(\{([^|}]*)\|([^}]*)\})");
        const QString text = QString::fromUtf8(statement);
        NameOptions options;
        options.renaming = renamingOf(rules);
        const Cleaned cleaned = cleanText(QString(text).replace(edit, "\\1").toUtf8(), Target::Quicken, options);
        if (expected.startsWith('!')) {
            QVERIFY2(cleaned.report.failure.starts_with(expected.mid(1).toStdString()), cleaned.report.failure.c_str());
            return;
        }
        QCOMPARE(QString::fromStdString(cleaned.report.failure), QString());
        QCOMPARE(QString::fromUtf8(cleaned.text), QString(text).replace(edit, "\\2"));
    }

    // For QuickBooks an XML statement is converted after its names are renamed,
    // so a rule's name reaches the SGML form in Windows-1252, or stops the clean.
    void convertedForQuickBooks()
    {
        const QByteArray xml
            = xmlHeader + "<OFX><BANKTRANLIST><STMTTRN><NAME>CAFE 1</NAME></STMTTRN></BANKTRANLIST></OFX>";
        NameOptions options;
        options.renaming = renamingOf("contains|cafe|Caf\xC3\xA9");
        Cleaned cleaned = cleanText(xml, Target::QuickBooks, options);
        QVERIFY(cleaned.report.converted);
        QVERIFY2(cleaned.text.contains("<NAME>Caf\xE9\r\n"), cleaned.text.constData());
        options.renaming = renamingOf("contains|cafe|Caf\xC3\xA9 \xE2\x86\x92");
        cleaned = cleanText(xml, Target::QuickBooks, options);
        QVERIFY2(cleaned.report.failure.find("has no place in Windows-1252") != std::string::npos,
                 cleaned.report.failure.c_str());
    }

    // Rules that match no name, or none at all, leave every sample as the clean
    // without rules writes it, for every target.
    void unmatchedRulesChangeNothing()
    {
        QStringList files;
        for (const QString& dir : {samples::dataDir(), samples::corpusDir(), samples::corpusDir() + "/real"}) {
            for (const QString& name : QDir(dir).entryList({"*.ofx"}, QDir::Files))
                files << dir + u'/' + name;
        }
        QVERIFY(!files.isEmpty());
        NameOptions none;
        NameOptions empty;
        empty.renaming = renamingOf("");
        NameOptions unmatched;
        unmatched.renaming = renamingOf("contains|zqxj|A\nbegins|zqxj|B\nexact|zqxj|C\npattern|^ZQXJ$|D");
        for (const QString& path : files) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            for (Target target : {Target::QuickBooks, Target::Quicken, Target::Other}) {
                const Cleaned plain = cleanText(text, target, none);
                for (const NameOptions* options : {&empty, &unmatched}) {
                    const Cleaned ruled = cleanText(text, target, *options);
                    QVERIFY2(ruled.text == plain.text && ruled.report.notConverted == plain.report.notConverted
                                 && ruled.report.failure.empty(),
                             qPrintable(path));
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestRulesClean)
#include "tst_rules_clean.moc"
