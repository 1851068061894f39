// Cleaned statements read back by a real OFX reader (libofx's ofxdump) and, when
// they are XML, by xmllint.
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

// What a tool prints on both streams, and whether it ended well.
std::pair<QByteArray, bool> runTool(const char* tool, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStandardPaths::findExecutable(tool), args);
    const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {process.readAll(), ok && process.exitCode() == 0};
}

} // namespace

class TestReaderRoundtrip : public QObject
{
    Q_OBJECT

    Sandbox box_;
    QStringList inputs_;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("ofxdump").isEmpty() || QStandardPaths::findExecutable("xmllint").isEmpty())
            QSKIP("ofxdump (Debian package ofx) and xmllint (libxml2-utils) are needed to read statements back");
        // The program works on copies: a fault in it must never reach the shared corpus.
        for (QDirIterator corpus(SCRIVANE_CORPUS_DIR, {"*.ofx", "*.qfx", "*.qbo"}, QDir::Files); corpus.hasNext();) {
            inputs_ << box_.path(QFileInfo(corpus.next()).fileName());
            QVERIFY(QFile::copy(corpus.filePath(), inputs_.last()));
        }
        QVERIFY2(!inputs_.isEmpty(), "no statements in the corpus");
        for (const char* kind : {"bank", "cc", "invest"}) {
            for (const char* form : {"sgml", "xml"}) {
                inputs_ << box_.path(QStringLiteral("generated-%1-%2.ofx").arg(kind, form));
                const auto [text, ok] = runTool(SCRIVANE_GENSTATEMENT_PROGRAM,
                                                {"--kind", kind, "--form", form, "--count", "50", "--seed", "7"});
                QVERIFY(ok && text.contains("<OFX>") && writeFile(inputs_.last(), text));
            }
        }
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
        if (original.trimmed().startsWith("<?xml") && runTool("xmllint", {"--noout", input}).second)
            QVERIFY(runTool("xmllint", {"--noout", output}).second);
    }
};

QTEST_GUILESS_MAIN(TestReaderRoundtrip)
#include "tst_reader_roundtrip.moc"
