// Cleaned statements read back in a real OFX reader (libofx's ofxdump): no more
// errors than the input, every transaction kept, the payee names the cleaned
// ones, one bank identifier in the sign-on response, and XML that stays XML.
#include "robust_support.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace robust;

namespace {

// What ofxdump made of one file.
struct Dump
{
    int errors = 0;
    int transactions = 0;
    QStringList names; // trimmed, sorted
};

QStringList sortedTrimmed(const QList<QByteArray>& lines)
{
    QStringList names;
    for (const QByteArray& line : lines) {
        QString name = QString::fromUtf8(line).trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    names.sort();
    return names;
}

// Whether every name of part is in whole, as many times at least (both sorted).
bool isSubList(const QStringList& part, const QStringList& whole)
{
    return std::includes(whole.begin(), whole.end(), part.begin(), part.end());
}

// The text between the first sign-on response's opening and closing tags; empty
// when the statement has none.
QByteArray signOnResponse(const QByteArray& text)
{
    qsizetype open = text.indexOf("<SONRS>");
    qsizetype close = open < 0 ? -1 : text.indexOf("</SONRS>", open);
    return close < 0 ? QByteArray() : text.mid(open, close - open);
}

} // namespace

class TestReaderRoundtrip : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString ofxdump_;
    QString xmllint_;
    QStringList inputs_;
    QHash<QString, Dump> inputDumps_;
    int readBack_ = 0;

    QString config() const { return dir_.filePath(QStringLiteral(".config")); }

    Dump dump(const QString& file)
    {
        QProcess process;
        process.start(ofxdump_, {file});
        Dump result;
        if (!process.waitForFinished(60000))
            return Dump {1 << 20, 0, {}};
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray all = out + '\n' + process.readAllStandardError();
        for (const QByteArray& line : all.split('\n')) {
            if (line.contains("ERROR"))
                ++result.errors;
        }
        QList<QByteArray> names;
        for (const QByteArray& line : out.split('\n')) {
            if (line.startsWith("ofx_proc_transaction():"))
                ++result.transactions;
            static const QByteArray nameLabel = "Name of payee or transaction description: ";
            if (qsizetype at = line.indexOf(nameLabel); at >= 0)
                names.append(line.mid(at + nameLabel.size()));
        }
        result.names = sortedTrimmed(names);
        return result;
    }

    bool passesXmllint(const QString& file) const
    {
        QProcess process;
        process.start(xmllint_, {"--noout", file});
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        ofxdump_ = QStandardPaths::findExecutable(QStringLiteral("ofxdump"));
        xmllint_ = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
        if (ofxdump_.isEmpty() || xmllint_.isEmpty())
            QSKIP("ofxdump (Debian package ofx) and xmllint (libxml2-utils) are needed to read statements back");
        QVERIFY(dir_.isValid());
        QVERIFY(QDir().mkpath(config()));

        QDirIterator corpus(QStringLiteral(SCRIVANE_CORPUS_DIR), {"*.ofx", "*.qfx", "*.qbo"}, QDir::Files);
        while (corpus.hasNext())
            inputs_.append(corpus.next());
        QVERIFY2(!inputs_.isEmpty(), "no statements in the corpus");

        int seed = 11;
        for (const char* kind : {"bank", "cc", "invest"}) {
            for (const char* form : {"sgml", "xml"}) {
                const QString name = dir_.filePath(QStringLiteral("generated-%1-%2.ofx").arg(kind, form));
                QProcess generator;
                generator.setStandardOutputFile(name);
                generator.start(QStringLiteral(SCRIVANE_BIN_DIR "/scrivane-genstatement"),
                                {"--kind", kind, "--form", form, "--count", "50", "--seed", QString::number(seed++)});
                QVERIFY(generator.waitForFinished(60000));
                QCOMPARE(generator.exitCode(), 0);
                QVERIFY(QFileInfo(name).size() > 0);
                inputs_.append(name);
            }
        }
        inputs_.sort();
    }

    void readsBack_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("target");
        for (const QString& input : inputs_) {
            for (const char* target : {"quickbooks", "quicken", "other"})
                QTest::addRow("%s, %s", qPrintable(QFileInfo(input).fileName()), target) << input << target;
        }
    }
    void readsBack()
    {
        QFETCH(QString, input);
        QFETCH(QString, target);
        const QByteArray original = readFile(input);

        Run cleaned = runClean({"--stdout", "--target", target, "--", input}, dir_.path(), config());
        QVERIFY(cleaned.finished);
        QCOMPARE(cleaned.exitCode, 0);
        const QString output = dir_.filePath(QStringLiteral("cleaned.ofx"));
        QVERIFY(writeFile(output, cleaned.out));
        Run raw = runClean({"--list", "raw", "--", input}, dir_.path(), config());
        Run clean = runClean({"--list", "clean", "--", input}, dir_.path(), config());
        QVERIFY(raw.finished && clean.finished);
        const QStringList cleanNames = sortedTrimmed(clean.out.split('\n'));
        const qsizetype namesCleanedAway = sortedTrimmed(raw.out.split('\n')).size() - cleanNames.size();

        if (!inputDumps_.contains(input))
            inputDumps_.insert(input, dump(input));
        const Dump before = inputDumps_.value(input);
        const Dump after = dump(output);
        ++readBack_;

        QVERIFY2(after.errors <= before.errors,
                 qPrintable(QStringLiteral("%1 errors, %2 before").arg(after.errors).arg(before.errors)));
        QCOMPARE(after.transactions, before.transactions);
        // Every name the reader shows is a cleaned one, and none went missing but
        // those the rules clean away.
        QVERIFY2(isSubList(after.names, cleanNames),
                 qPrintable(after.names.join(QLatin1Char('|')) + QStringLiteral(" not within ")
                            + cleanNames.join(QLatin1Char('|'))));
        QVERIFY(before.names.size() - after.names.size() <= namesCleanedAway);

        const QByteArray signOn = signOnResponse(original);
        if (target == "other") {
            QCOMPARE(cleaned.out.count("<INTU.BID>"), original.count("<INTU.BID>"));
        } else if (!signOn.isEmpty()) {
            const QByteArray cleanedSignOn = signOnResponse(cleaned.out);
            QCOMPARE(cleanedSignOn.count("<INTU.BID>"), 1);
            const qsizetype at = cleanedSignOn.indexOf("<INTU.BID>") + 10;
            QByteArray identifier = cleanedSignOn.mid(at);
            if (qsizetype end = identifier.indexOf('<'); end >= 0)
                identifier.truncate(end);
            QVERIFY2(QList<QByteArray>({"3000", "3106", "5885", "11372"}).contains(identifier.trimmed()),
                     identifier.constData());
        }

        if (original.trimmed().startsWith("<?xml") && passesXmllint(input))
            QVERIFY(passesXmllint(output));
    }

    void cleanupTestCase()
    {
        if (readBack_ > 0)
            qInfo(
                "%d cleaned statements read back from %lld inputs", readBack_, static_cast<long long>(inputs_.size()));
    }
};

QTEST_GUILESS_MAIN(TestReaderRoundtrip)
#include "tst_reader_roundtrip.moc"
