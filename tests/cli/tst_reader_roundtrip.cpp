// Cleaned statements read back by real OFX readers: libofx's ofxdump,
// python3-ofxparse, and the npm parsers ofx-js and node-ofx-parser. What a reader
// reads before the clean it reads after, with the same transactions and only the
// names cleaned. XML statements are also checked with xmllint, and those
// converted for QuickBooks against the same statement cleaned for Other.
#include "support/samples.h"
#include "support/sandbox.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>

using namespace cli_test;

namespace {

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
const QString npmFacts = QStringLiteral(SCRIVANE_SOURCE_DIR "/tests/cli/npm-readers/transactions.mjs");
const QString npmInstalled = QStringLiteral(SCRIVANE_SOURCE_DIR "/build/npm-readers");
const QString debianPython = QStringLiteral("/usr/bin/python3");
const char* const targets[] = {"quickbooks", "quicken", "other"};

// What one reader made of one file: its own error, or the transactions it found,
// each as FITID, amount, date and name.
struct Reading
{
    QString error;
    QList<QStringList> transactions;
    int errors = 0; // the errors libofx reported on the way
    bool read() const { return error.isNull(); }
};
using Readings = QHash<QString, Reading>; // by file

// Inputs a reader cannot read at all, with the start of its own error. Every other
// input must be read, and so must its cleaned forms.
// clang-format off
const struct { const char* reader; const char* error; const char* files; } unreadable[] = {
    {"libofx", "Could not detect file format", "libofx__failing-ofx-file1.xml"},
    {"ofxparse", "IndexError list index out of range", "ofx-v102-empty-tags.ofx csv2ofx__amazon.ofx csv2ofx__default.ofx "
        "csv2ofx__gls.ofx csv2ofx__ingesp.ofx csv2ofx__n26.ofx csv2ofx__outbank.ofx csv2ofx__payoneer.ofx "
        "csv2ofx__pcmastercard.ofx csv2ofx__schwab-checking.ofx csv2ofx__stripe-all.ofx csv2ofx__stripe-default.ofx "
        "csv2ofx__schwab-checking-baltest-case1.ofx csv2ofx__schwab-checking-baltest-case2.ofx "
        "csv2ofx__schwab-checking-baltest-case3.ofx csv2ofx__schwab-checking-baltest-case4.ofx "
        "csv2ofx__schwab-checking-baltest-case5.ofx csv2ofx__schwab-checking-baltest-case6.ofx "
        "csv2ofx__schwab-checking-baltest-case7.ofx"},
    {"ofxparse", "OfxParserException Missing Transaction Amount", "asgrim__ofxdata-banking-xml200.ofx"},
    {"ofxparse", "OfxParserException Empty ledger balance", "asgrim__ofxdata-selfclose.ofx"},
    {"ofxparse", "OfxParserException The ofx file is empty!", "libofx__use-after-free.ofx"},
    {"ofxparse", "ValueError too many values to unpack", "libofx__heap-buffer-overflow-2.ofx"},
    {"ofxparse", "ValueError not enough values to unpack", "libofx__failing-ofx-file1.xml"},
    {"ofxparse", "TypeError int() argument must be", "libofx__failing-ofx-file2.xml"},
    {"ofxparse", "UnicodeDecodeError 'ascii' codec", "generated-bank-xml-rich.ofx generated-cc-xml-rich.ofx "
        "generated-invest-xml-rich.ofx"},
    {"ofx-js", "Missing closing tag for NAME", "suncorp.ofx"},
    {"ofx-js", "Missing closing tag for MEMO", "asgrim__ofxdata-google.ofx"},
    {"ofx-js", "Missing closing tag for BALAMT", "asgrim__ofxdata-selfclose.ofx"},
    {"ofx-js", "Missing closing tag for CODE", "csv2ofx__transfer_example.ofx"},
    {"ofx-js", "Missing closing tag for ACCTID", "libofx__downcast.ofx libofx__heap-buffer-overflow-1.ofx"},
    {"ofx-js", "Missing closing tag for SIGNONMSGSRSV1", "libofx__null-ptr-deref-1.ofx"},
    {"ofx-js", "Missing closing tag for STATUS", "libofx__null-ptr-deref-2.ofx"},
    {"ofx-js", "Missing closing tag for YEARTODATE", "libofx__ofx-2.1.1-sect-13.13.ofx"},
    {"ofx-js", "Missing closing tag for DKJHASDSTATUS", "libofx__failing-ofx-file2.xml"},
    {"ofx-js", "Missing closing tag for SONRS", "generated-bank-xml-rich.ofx generated-cc-xml-rich.ofx "
        "generated-invest-xml-rich.ofx"},
    {"node-ofx-parser", "Error while parsing content", "asgrim__ofxdata-bb-two-stmtrs.ofx asgrim__ofxdata-bb.ofx "
        "asgrim__ofxdata-bpbfc.ofx asgrim__ofxdata-google.ofx asgrim__ofxdata-oneline-with-closing-tags.ofx "
        "asgrim__ofxdata-selfclose.ofx csv2ofx__transfer_example.ofx libofx__downcast.ofx "
        "libofx__heap-buffer-overflow-1.ofx libofx__null-ptr-deref-1.ofx libofx__null-ptr-deref-2.ofx "
        "libofx__ofx-2.1.1-sect-13.13.ofx libofx__ofx-2.1.1-sect-8.5.5.ofx libofx__failing-ofx-file2.xml"},
};
// clang-format on

QString knownError(const QString& reader, const QString& file)
{
    for (const auto& entry : unreadable) {
        if (reader == entry.reader && QString(entry.files).split(' ').contains(file))
            return entry.error;
    }
    return {};
}

// libofx, one ofxdump per file: it reads what it can of nearly anything and says
// what it could not; only a file it cannot take for OFX at all ends it early.
Reading ofxdumpReading(const QString& file)
{
    QProcess dump;
    dump.start(QStandardPaths::findExecutable("ofxdump"), {file});
    if (!dump.waitForFinished(60000) || dump.exitStatus() != QProcess::NormalExit)
        return {"ofxdump did not finish", {}};
    const QString errors = QString::fromUtf8(dump.readAllStandardError());
    Reading reading;
    reading.errors = int(errors.count("ERROR"));
    if (dump.exitCode() > 1) {
        reading.error = errors.trimmed().split('\n').last();
        return reading;
    }
    static const QRegularExpression field("^ +([^:]+): (.*)$", QRegularExpression::MultilineOption);
    static const QStringList keys = {"Financial institution's ID for this transaction",
                                     "Total money amount",
                                     "Date posted|Date initiated",
                                     "Name of payee or transaction description"};
    const QString dumped = QString::fromUtf8(dump.readAllStandardOutput());
    for (const QString& block : dumped.split("ofx_proc_").filter(QRegularExpression("^transaction\\(\\):"))) {
        QStringList transaction(keys.size());
        for (const auto& m : field.globalMatch(block)) {
            for (qsizetype k = 0; k < keys.size(); ++k) {
                if (keys[k].split('|').contains(m.captured(1)))
                    transaction[k] = m.captured(2);
            }
        }
        reading.transactions << transaction;
    }
    return reading;
}

// A reader that prints one JSON line per file (and reader) for a whole batch of files.
void readJsonLines(const QString& program, const QStringList& args, QMap<QString, Readings>& into, const char* reader)
{
    const auto [out, ok] = runTool(program, args, false);
    for (const QByteArray& line : out.split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty())
            continue;
        Reading& r = into[o.value("reader").toString(reader)][o.value("file").toString()];
        if (o.contains("error"))
            r.error = o.value("error").toString("");
        for (const QJsonValue& t : o.value("transactions").toArray())
            r.transactions << t.toVariant().toStringList();
    }
    QVERIFY2(ok, qPrintable(program + " failed: " + out.right(2000)));
}

// A name as any reader shows it: entities read, white space folded.
QString shown(QString name)
{
    while (name.contains("&amp;"))
        name.replace("&amp;", "&");
    return name.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'").simplified();
}

QStringList namesIn(const QByteArray& listed)
{
    QStringList names;
    for (const QString& line : QString::fromUtf8(listed).split('\n'))
        names << shown(line);
    names.removeAll(QString());
    return names;
}

} // namespace

class TestReaderRoundtrip : public QObject
{
    Q_OBJECT

    Sandbox box_;
    QStringList inputs_; // every sample statement, its own name kept
    QStringList xmlInputs_; // those in the XML form
    QHash<QString, QPair<QStringList, QStringList>> names_; // by input: the names as they are and as cleaned
    QMap<QString, Readings> readings_; // by reader
    QMap<QString, QString> missing_; // readers that could not be run, and why

    QString output(const QString& input, const QString& target) const
    {
        return box_.path(target + '/' + QFileInfo(input).fileName());
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("ofxdump").isEmpty() || QStandardPaths::findExecutable("xmllint").isEmpty())
            QSKIP("ofxdump (Debian package ofx) and xmllint (libxml2-utils) are needed to read statements back");
        // The program works on copies: a fault in it must never reach the samples. The kept ones
        // always run; the full corpus adds its own where there is one.
        if (!samples::haveCorpus())
            qInfo("Only the samples of tests/data: %s", samples::noCorpus);
        const QString corpus = samples::haveCorpus() ? samples::corpusDir() : QString();
        for (const QString& dir : {corpus, corpus.isEmpty() ? corpus : corpus + "/real", samples::dataDir()}) {
            for (QDirIterator found(dir, {"*.ofx", "*.qfx", "*.qbo", "*.xml", "*.sgml"}, QDir::Files);
                 !dir.isEmpty() && found.hasNext();) {
                const QString copy = box_.path(QFileInfo(found.next()).fileName());
                if (!inputs_.contains(copy)) {
                    inputs_ << copy;
                    QVERIFY(QFile::copy(found.filePath(), copy));
                }
            }
        }
        QVERIFY2(!inputs_.isEmpty(), "no sample statements");
        for (const char* kind : {"bank", "cc", "invest"}) {
            for (const char* form : {"sgml", "xml", "xml-rich"}) {
                inputs_ << box_.path(QStringLiteral("generated-%1-%2.ofx").arg(kind, form));
                // The rich ones: names as CDATA sections, letters beyond ASCII, an identifier already there.
                const QString args = QString("--kind %1 --form %2 --count 50 --seed 7")
                                         .arg(kind, QString(form).section(QChar(u'-'), 0, 0))
                    + (QString(form).endsWith("rich") ? " --cdata --accents --bank-id" : "");
                const auto [text, ok] = runTool(SCRIVANE_GENSTATEMENT_PROGRAM, args.split(' '));
                QVERIFY(ok && text.contains("<OFX>") && writeFile(inputs_.last(), text));
            }
        }
        for (const char* target : targets)
            QVERIFY(QDir().mkpath(box_.path(target)));
        // Every statement cleans; only the few samples with no <OFX> tag at all (libofx's inputs that are no
        // statement) are refused, and they leave the round trip.
        QStringList refused;
        for (const QString& input : inputs_) {
            const Run first = box_.run({"--stdout", "--target", targets[0], "--", input});
            if (first.exitCode == 1 && first.err.contains(": not a statement that can be cleaned: ")) {
                QVERIFY2(!readFile(input).toUpper().contains("<OFX>"), qPrintable(input + " was refused"));
                refused << input;
            }
        }
        for (const QString& input : refused)
            inputs_.removeOne(input);
        for (const QString& input : inputs_) {
            if (isXmlStatement(readFile(input)))
                xmlInputs_ << input;
            for (const char* target : targets) {
                const Run cleaned = box_.run({"--stdout", "--target", target, "--", input});
                QVERIFY2(cleaned.exitCode == 0 && writeFile(output(input, target), cleaned.out),
                         qPrintable(input + ": " + cleaned.err));
            }
            names_[input] = {namesIn(box_.run({"--list", "raw", "--", input}).out),
                             namesIn(box_.run({"--list", "clean", "--", input}).out)};
        }

        const QString node = QStandardPaths::findExecutable("node");
        for (const char* reader : {"ofx-js", "node-ofx-parser"}) {
            if (node.isEmpty())
                missing_[reader] = "no node to run it with (Debian package nodejs)";
            else if (!QFileInfo::exists(npmInstalled + "/node_modules/" + reader + "/package.json"))
                missing_[reader] = "not installed in " + npmInstalled + " (tools/deps test installs it)";
        }
        // Each reader reads the inputs, then the outputs of those it read (some
        // readers take seconds to give up on a file); the batch readers in one run each.
        const auto outputsOf = [&](const QStringList& readers) {
            QStringList outputs;
            for (const QString& input : inputs_)
                for (const char* target : targets)
                    if (std::any_of(
                            readers.begin(), readers.end(), [&](auto& r) { return readings_[r][input].read(); }))
                        outputs << output(input, target);
            return outputs;
        };
        for (bool inputs : {true, false}) {
            for (const QString& file : inputs ? inputs_ : outputsOf({"libofx"}))
                readings_["libofx"][file] = ofxdumpReading(file);
            const QStringList python = inputs ? inputs_ : outputsOf({"ofxparse"});
            readJsonLines(debianPython, QStringList {ofxparseFacts, "--transactions"} + python, readings_, "ofxparse");
            const QStringList npm = inputs ? inputs_ : outputsOf({"ofx-js", "node-ofx-parser"});
            if (missing_.isEmpty())
                readJsonLines(node, QStringList {npmFacts, npmInstalled} + npm, readings_, "npm");
        }
    }

    // The program's own promises for each target: exit, one identifier, well-formed
    // XML stays so, and libofx finds no more to complain about than before.
    void cleans_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("target");
        for (const QString& input : inputs_)
            for (const char* target : targets)
                QTest::addRow("%s, %s", qPrintable(QFileInfo(input).fileName()), target) << input << QString(target);
    }
    void cleans()
    {
        QFETCH(QString, input);
        QFETCH(QString, target);
        const QString out = output(input, target);
        const QByteArray original = readFile(input), cleaned = readFile(out);
        const int errorsBefore = readings_["libofx"][input].errors, errorsAfter = readings_["libofx"][out].errors;
        QVERIFY2(errorsAfter <= errorsBefore,
                 qPrintable(QString("%1 errors, %2 before").arg(errorsAfter).arg(errorsBefore)));
        if (target != "other" && original.contains("</SONRS>"))
            QCOMPARE(cleaned.left(cleaned.indexOf("</SONRS>")).count("<INTU.BID>"), 1);
        // QuickBooks gets the SGML form of well-formed XML statements, read back below.
        if (original.trimmed().startsWith("<?xml") && target != "quickbooks"
            && runTool("xmllint", {"--noout", input}).second)
            QVERIFY(runTool("xmllint", {"--noout", out}).second);
    }

    // Every input a reader reads gives outputs it reads, with the same transactions,
    // each name the reader's view of a cleaned one. For QuickBooks an XML input is
    // read against its SGML conversion.
    void readersRead_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("target");
        for (const char* reader : {"libofx", "ofxparse", "ofx-js", "node-ofx-parser"}) {
            if (missing_.contains(reader))
                QTest::addRow("%s", reader) << QString(reader) << QString() << QString();
            for (const QString& input : missing_.contains(reader) ? QStringList() : inputs_)
                for (const char* target : targets)
                    QTest::addRow("%s, %s, %s", reader, qPrintable(QFileInfo(input).fileName()), target)
                        << QString(reader) << input << QString(target);
        }
    }
    void readersRead()
    {
        QFETCH(QString, reader);
        QFETCH(QString, input);
        QFETCH(QString, target);
        if (missing_.contains(reader))
            QSKIP(qPrintable(reader + " skipped: " + missing_[reader]));
        const Reading before = readings_[reader].value(input, {"no reading", {}});
        const Reading after = readings_[reader].value(output(input, target), {"no reading", {}});
        const QString name = QFileInfo(input).fileName(), known = knownError(reader, name);
        if (!before.read()) {
            QVERIFY2(!known.isNull() && before.error.contains(known), qPrintable("unreadable: " + before.error));
            return;
        }
        QVERIFY2(known.isNull(), "read, though listed as unreadable");
        QVERIFY2(after.read(), qPrintable("unreadable: " + after.error));
        QCOMPARE(after.transactions.size(), before.transactions.size());

        const auto& [raw, clean] = names_[input];
        QHash<QString, QString> cleanedAs;
        qsizetype lost = 0;
        for (qsizetype i = 0; i < before.transactions.size(); ++i) {
            const QStringList &b = before.transactions[i], &a = after.transactions[i];
            QCOMPARE(a.mid(0, 3), b.mid(0, 3));
            const QString was = shown(b[3]), is = shown(a[3]);
            QVERIFY2(is.isEmpty() || clean.contains(is), qPrintable(is + " is not a cleaned name"));
            QVERIFY2(!was.isEmpty() || is.isEmpty(), qPrintable(is + " came from no name"));
            QCOMPARE(cleanedAs.value(was, is), is);
            cleanedAs[was] = is;
            lost += !was.isEmpty() && is.isEmpty();
        }
        QVERIFY2(lost <= raw.size() - clean.size(), qPrintable(QString("%1 names lost").arg(lost)));
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
        const QString sgml = output(input, "quickbooks"), xml = output(input, "other");
        const Run converted = box_.run({"--stdout", "--target", "quickbooks", "--", input});
        const Run kept = box_.run({"--stdout", "--target", "quickbooks", "--keep-form", "--", input});
        QCOMPARE(kept.exitCode, 0);
        // Kept as asked, without a word of conversion; only what the check finds in it may follow the clean.
        QVERIFY(kept.out.startsWith(readFile(input).left(5)) && !kept.err.contains("scrivane-clean:"));

        const bool wellFormed = runTool("xmllint", {"--noout", input}).second;
        if (!converted.out.startsWith("OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n")) {
            // Left in its own form, cleaned exactly as with --keep-form, and the
            // user told once why: only what is not XML, or what OFX 1.0.2 cannot
            // hold, stays so.
            QCOMPARE(converted.out, kept.out);
            QCOMPARE(converted.err.count("could not be converted to OFX 1.0.2 because "), 1);
            QVERIFY2(wellFormed != converted.err.contains("because it is not well-formed XML"),
                     converted.err.constData());
            qInfo("%s: not converted, %s", qPrintable(name), converted.err.trimmed().constData());
            return;
        }
        QVERIFY2(!converted.err.contains("scrivane-clean:"), converted.err.constData());
        QVERIFY(converted.out.contains("\r\nENCODING:USASCII\r\nCHARSET:1252\r\n"));
        QVERIFY(!converted.out.contains("<?") && !converted.out.contains("</INTU.BID>"));

        // libofx: the same statements, transactions and names as the XML cleaned for Other.
        const QByteArray dumpSgml = runTool("ofxdump", {sgml}, false).first,
                         dumpXml = runTool("ofxdump", {xml}, false).first;
        QCOMPARE(dumpSgml, dumpXml);

        // python3-ofxparse reads it wherever it reads the XML, and finds the same.
        const auto [factsSgml, readsSgml] = runTool(debianPython, {ofxparseFacts, sgml}, false);
        const auto [factsXml, readsXml] = runTool(debianPython, {ofxparseFacts, xml}, false);
        if (readings_["ofxparse"][input].read()) {
            QVERIFY2(readsSgml, factsSgml.constData());
            QCOMPARE(factsSgml, factsXml);
        }
    }
};

QTEST_GUILESS_MAIN(TestReaderRoundtrip)
#include "tst_reader_roundtrip.moc"
