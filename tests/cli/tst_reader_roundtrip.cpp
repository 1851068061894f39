// Cleaned statements read back by a real OFX reader (libofx's ofxdump) and, when
// they are XML, by xmllint. XML statements converted for QuickBooks are read back
// by ofxdump and python3-ofxparse beside the same statement cleaned for Other.
#include "support/samples.h"
#include "support/sandbox.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>

using namespace cli_test;

namespace {

// The trimmed, non-empty first captures of pattern in text, sorted.
QStringList namesIn(const QByteArray& text, const char* pattern = "(?m)^(.*)$")
{
    QStringList names;
    for (const auto& match : QRegularExpression(pattern).globalMatch(QString::fromUtf8(text)))
        names << match.captured(1).trimmed();
    names.removeAll(QString());
    names.sort();
    return names;
}

// What a tool prints, on both streams or on its standard output alone, and whether it ended well.
std::pair<QByteArray, bool> runTool(const QString& tool, const QStringList& args, bool bothStreams = true)
{
    QProcess process;
    process.setProcessChannelMode(bothStreams ? QProcess::MergedChannels : QProcess::SeparateChannels);
    process.start(QStandardPaths::findExecutable(tool), args);
    const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {process.readAllStandardOutput(), ok && process.exitCode() == 0};
}

// The XML form as the program tells it: an XML declaration first, or an "<?OFX" instruction.
bool isXmlStatement(const QByteArray& text)
{
    const QByteArray start = text.left(4096);
    return text.trimmed().startsWith("<?xml") || text.trimmed().startsWith("\xEF\xBB\xBF<?xml")
        || start.contains("<?OFX");
}

const QString ofxparseFacts = QStringLiteral(SCRIVANE_SOURCE_DIR "/tests/cli/ofxparse_facts.py");
const QString debianPython = QStringLiteral("/usr/bin/python3");

} // namespace

class TestReaderRoundtrip : public QObject
{
    Q_OBJECT

    Sandbox box_;
    QStringList inputs_;
    QStringList xmlInputs_; // every XML statement of the corpus and the generator

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("ofxdump").isEmpty() || QStandardPaths::findExecutable("xmllint").isEmpty())
            QSKIP("ofxdump (Debian package ofx) and xmllint (libxml2-utils) are needed to read statements back");
        // The program works on copies: a fault in it must never reach the samples. The kept ones
        // always run; the full corpus adds its own where there is one.
        if (!samples::haveCorpus())
            qInfo("Only the samples of tests/data: %s", samples::noCorpus);
        for (const QString& dir : {samples::corpusDir(), samples::dataDir()}) {
            if (dir.isEmpty() || (dir == samples::corpusDir() && !samples::haveCorpus()))
                continue;
            for (QDirIterator found(dir, {"*.ofx", "*.qfx", "*.qbo"}, QDir::Files); found.hasNext();) {
                const QString copy = box_.path(QFileInfo(found.next()).fileName());
                if (!inputs_.contains(copy)) {
                    inputs_ << copy;
                    QVERIFY(QFile::copy(found.filePath(), copy));
                }
            }
        }
        QVERIFY2(!inputs_.isEmpty(), "no sample statements");
        for (const QString& input : inputs_) {
            if (isXmlStatement(readFile(input)))
                xmlInputs_ << input;
        }
        const QString real = samples::haveCorpus() ? samples::corpusDir() + QStringLiteral("/real") : QString();
        for (QDirIterator found(real, QDir::Files); !real.isEmpty() && found.hasNext();) {
            const QString copy = box_.path("real-" + QFileInfo(found.next()).fileName());
            QVERIFY(QFile::copy(found.filePath(), copy));
            if (isXmlStatement(readFile(copy)))
                xmlInputs_ << copy;
        }
        for (const char* kind : {"bank", "cc", "invest"}) {
            for (const char* form : {"sgml", "xml"}) {
                inputs_ << box_.path(QStringLiteral("generated-%1-%2.ofx").arg(kind, form));
                const auto [text, ok] = runTool(SCRIVANE_GENSTATEMENT_PROGRAM,
                                                {"--kind", kind, "--form", form, "--count", "50", "--seed", "7"});
                QVERIFY(ok && text.contains("<OFX>") && writeFile(inputs_.last(), text));
            }
            xmlInputs_ << box_.path(QStringLiteral("generated-%1-xml.ofx").arg(kind));
            // Names as CDATA sections, letters beyond ASCII, an identifier already there.
            xmlInputs_ << box_.path(QStringLiteral("generated-%1-xml-rich.ofx").arg(kind));
            const QString rich = "--kind %1 --form xml --count 50 --seed 11 --cdata --accents --bank-id";
            const auto [text, ok] = runTool(SCRIVANE_GENSTATEMENT_PROGRAM, rich.arg(kind).split(' '));
            QVERIFY(ok && text.contains("<OFX>") && writeFile(xmlInputs_.last(), text));
        }
        xmlInputs_.removeDuplicates();
    }

    void readsBack_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("target");
        for (const QString& input : inputs_)
            for (const char* target : {"quickbooks", "quicken", "other"})
                QTest::addRow("%s, %s", qPrintable(QFileInfo(input).fileName()), target) << input << QString(target);
    }
    void readsBack()
    {
        QFETCH(QString, input);
        QFETCH(QString, target);
        const Run cleaned = box_.run({"--stdout", "--target", target, "--", input});
        QCOMPARE(cleaned.exitCode, 0);
        const QString output = box_.path("cleaned.ofx");
        QVERIFY(writeFile(output, cleaned.out));
        const QStringList raw = namesIn(box_.run({"--list", "raw", "--", input}).out);
        const QStringList clean = namesIn(box_.run({"--list", "clean", "--", input}).out);
        const QByteArray before = runTool("ofxdump", {input}).first, after = runTool("ofxdump", {output}).first;
        QVERIFY2(after.count("ERROR") <= before.count("ERROR"), after.constData());
        QCOMPARE(after.count("ofx_proc_transaction():"), before.count("ofx_proc_transaction():"));
        // Every name the reader shows is a cleaned one, and none went missing but
        // those the rules clean away.
        const char* shown = "Name of payee or transaction description: (.*)";
        const QStringList namesBefore = namesIn(before, shown), namesAfter = namesIn(after, shown);
        QVERIFY2(std::includes(clean.begin(), clean.end(), namesAfter.begin(), namesAfter.end()),
                 qPrintable(namesAfter.join('|') + " not within " + clean.join('|')));
        QVERIFY(namesBefore.size() - namesAfter.size() <= raw.size() - clean.size());
        const QByteArray original = readFile(input);
        if (target != "other" && original.contains("</SONRS>"))
            QCOMPARE(cleaned.out.left(cleaned.out.indexOf("</SONRS>")).count("<INTU.BID>"), 1);
        // QuickBooks gets the SGML form of well-formed XML statements, read back below.
        if (original.trimmed().startsWith("<?xml") && target != "quickbooks"
            && runTool("xmllint", {"--noout", input}).second)
            QVERIFY(runTool("xmllint", {"--noout", output}).second);
    }

    // QuickBooks gets every well-formed XML statement in the SGML form of OFX
    // 1.0.2, and the readers find in it what they find in the XML cleaned for Other.
    void convertedReadsBack_data()
    {
        QTest::addColumn<QString>("input");
        for (const QString& input : xmlInputs_)
            QTest::addRow("%s", qPrintable(QFileInfo(input).fileName())) << input;
    }
    void convertedReadsBack()
    {
        QFETCH(QString, input);
        const QString name = QFileInfo(input).fileName();
        const Run converted = box_.run({"--stdout", "--target", "quickbooks", "--", input});
        const Run kept = box_.run({"--stdout", "--target", "quickbooks", "--keep-form", "--", input});
        const Run other = box_.run({"--stdout", "--target", "other", "--", input});
        QCOMPARE(converted.exitCode, 0);
        QCOMPARE(kept.exitCode, 0);
        QCOMPARE(other.exitCode, 0);
        QVERIFY(kept.out.startsWith(readFile(input).left(5)) && kept.err.isEmpty());

        const bool wellFormed = runTool("xmllint", {"--noout", input}).second;
        if (!converted.out.startsWith("OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n")) {
            // Left in its own form, cleaned exactly as with --keep-form, and the
            // user told once why.
            QVERIFY2(!wellFormed, "a well-formed statement was not converted");
            QCOMPARE(converted.out, kept.out);
            QCOMPARE(converted.err.count("could not be converted to OFX 1.0.2 because it is not well-formed XML"), 1);
            qInfo("%s: not converted, %s", qPrintable(name), converted.err.trimmed().constData());
            return;
        }
        QVERIFY2(converted.err.isEmpty(), converted.err.constData());
        QVERIFY(converted.out.contains("\r\nENCODING:USASCII\r\nCHARSET:1252\r\n"));
        QVERIFY(!converted.out.contains("<?") && !converted.out.contains("</INTU.BID>"));
        const QString sgml = box_.path("converted.qbo"), xml = box_.path("other.ofx");
        QVERIFY(writeFile(sgml, converted.out) && writeFile(xml, other.out));

        // libofx: no more errors than the XML input, and the same statements,
        // transactions and names as the XML cleaned for Other.
        const int errorsBefore = int(runTool("ofxdump", {input}).first.count("ERROR"));
        const int errorsAfter = int(runTool("ofxdump", {sgml}).first.count("ERROR"));
        QVERIFY2(errorsAfter <= errorsBefore,
                 qPrintable(QString("%1 errors, %2 before").arg(errorsAfter).arg(errorsBefore)));
        const QByteArray dumpSgml = runTool("ofxdump", {sgml}, false).first,
                         dumpXml = runTool("ofxdump", {xml}, false).first;
        QCOMPARE(dumpSgml, dumpXml);
        const int transactions = int(dumpSgml.count("ofx_proc_transaction():"));
        const int statements = int(dumpSgml.count("ofx_proc_statement():"));

        // python3-ofxparse reads it wherever it reads the XML, and finds the same.
        const auto [factsInput, readsInput] = runTool(debianPython, {ofxparseFacts, input}, false);
        const auto [factsSgml, readsSgml] = runTool(debianPython, {ofxparseFacts, sgml}, false);
        const auto [factsXml, readsXml] = runTool(debianPython, {ofxparseFacts, xml}, false);
        if (readsInput) {
            QVERIFY2(readsSgml, factsSgml.constData());
            QCOMPARE(factsSgml, factsXml);
        }
        qInfo("%s: converted, ofxdump errors %d -> %d, %d statements, %d transactions, ofxparse %s",
              qPrintable(name),
              errorsBefore,
              errorsAfter,
              statements,
              transactions,
              readsInput ? "reads both" : (readsSgml ? "reads only the converted file" : "reads neither"));
    }
};

QTEST_GUILESS_MAIN(TestReaderRoundtrip)
#include "tst_reader_roundtrip.moc"
