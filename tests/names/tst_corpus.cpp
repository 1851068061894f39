#include "names/statement_cleaner.h"
#include "statement/statement_form.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Target)

namespace {

const QDir corpus(SCRIVANE_CORPUS_DIR);

QByteArray readCorpus(const QString& file)
{
    QFile f(corpus.filePath(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray clean(const QByteArray& text, Target target)
{
    const std::string input = text.toStdString();
    SegmentList segments;
    cleanStatement(input, segments, target, NameOptions {}, LocaleRules::enUS());
    return QByteArray::fromStdString(joinSegments(segments));
}

// Every tag of the text, upper-cased, except the payee names and bank identifiers
// that the clean may rewrite.
QStringList otherTags(const QByteArray& text)
{
    static const QRegularExpression tag("<(/?[A-Za-z0-9.]+)");
    QStringList tags;
    for (const auto& m : tag.globalMatch(QString::fromLatin1(text))) {
        const QString name = m.captured(1).toUpper();
        if (name != "NAME" && name != "/NAME" && name != "INTU.BID" && name != "/INTU.BID")
            tags.append(name);
    }
    return tags;
}

QByteArray signOn(const QByteArray& text)
{
    const QByteArray upper = text.toUpper();
    const qsizetype begin = upper.indexOf("<SONRS>");
    const qsizetype end = upper.indexOf("</SONRS>");
    return begin >= 0 && end > begin ? text.mid(begin, end - begin) : QByteArray();
}

int errorLines(const QString& file)
{
    QProcess ofxdump;
    ofxdump.setProcessChannelMode(QProcess::MergedChannels);
    ofxdump.start("ofxdump", {file});
    if (!ofxdump.waitForFinished(60000))
        return -1;
    int errors = 0;
    for (const QByteArray& line : ofxdump.readAll().split('\n'))
        errors += line.contains("ERROR") ? 1 : 0;
    return errors;
}

bool xmlWellFormed(const QString& file)
{
    QProcess xmllint;
    xmllint.start("xmllint", {"--noout", file});
    return xmllint.waitForFinished(60000) && xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0;
}

const QList<Target> targets {Target::QuickBooks, Target::Quicken, Target::Other};

} // namespace

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void cleanKeepsStructure_data();
    void cleanKeepsStructure();
    void knownNames_data();
    void knownNames();
    void readersAcceptCleaned();
};

void TestCorpus::cleanKeepsStructure_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Target>("target");
    QTest::addColumn<QByteArray>("identifier");

    // The identifier follows from the first statement transaction response of each file.
    const struct
    {
        const char* file;
        const char* quicken;
        const char* quickbooks;
    } files[] = {
        {"anzcc.ofx", "3000", "3106"},
        {"bank_medium.ofx", "3000", "5885"},
        {"checking.ofx", "3000", "5885"},
        {"fidelity.ofx", "11372", "5885"},
        {"investment_medium.ofx", "11372", "5885"},
        {"multiple_accounts.ofx", "3000", "5885"},
        {"ofx-v102-empty-tags.ofx", "3000", "5885"},
        {"suncorp.ofx", "3000", "5885"},
    };
    QCOMPARE(corpus.entryList({"*.ofx"}, QDir::Files).size(), qsizetype(std::size(files)));
    for (const auto& f : files) {
        QTest::addRow("%s, QuickBooks", f.file) << f.file << Target::QuickBooks << QByteArray(f.quickbooks);
        QTest::addRow("%s, Quicken", f.file) << f.file << Target::Quicken << QByteArray(f.quicken);
        QTest::addRow("%s, Other", f.file) << f.file << Target::Other << QByteArray();
    }
}

void TestCorpus::cleanKeepsStructure()
{
    QFETCH(QString, file);
    QFETCH(Target, target);
    QFETCH(QByteArray, identifier);

    const QByteArray input = readCorpus(file);
    QVERIFY(!input.isEmpty());
    const QByteArray output = clean(input, target);

    QCOMPARE(otherTags(output), otherTags(input));
    QCOMPARE(output.toUpper().count("<STMTTRN>"), input.toUpper().count("<STMTTRN>"));

    const QByteArray sonrs = signOn(output);
    QVERIFY(!sonrs.isEmpty());
    if (target == Target::Other) {
        QCOMPARE(output.count("<INTU.BID>"), input.count("<INTU.BID>"));
        return;
    }
    QCOMPARE(sonrs.count("<INTU.BID>"), 1);
    QVERIFY2(sonrs.contains("<INTU.BID>" + identifier), sonrs.constData());
}

void TestCorpus::knownNames_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("cdata") << "suncorp.ofx"
                           << QByteArray("<NAME><![CDATA[Eftpos Wdl Handyway Aldi Store]]></NAME>\r\n");
    QTest::newRow("Mc and #n") << "bank_medium.ofx" << QByteArray("<NAME>McDonald's<MEMO>");
    QTest::newRow("trailing number and #") << "checking.ofx" << QByteArray("<NAME>Returned Fee,<MEMO>");
    QTest::newRow("closed element") << "investment_medium.ofx" << QByteArray("<NAME>Ending Cash</NAME>\n");
}

void TestCorpus::knownNames()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, expected);
    const QByteArray output = clean(readCorpus(file), Target::Quicken);
    QVERIFY2(output.contains(expected), output.constData());
}

void TestCorpus::readersAcceptCleaned()
{
    const bool haveOfxdump = !QStandardPaths::findExecutable("ofxdump").isEmpty();
    const bool haveXmllint = !QStandardPaths::findExecutable("xmllint").isEmpty();
    if (!haveOfxdump || !haveXmllint)
        QSKIP("ofxdump (package ofx) or xmllint (package libxml2-utils) is not installed");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString& file : corpus.entryList({"*.ofx"}, QDir::Files)) {
        const QByteArray input = readCorpus(file);
        const std::string text = input.toStdString();
        SegmentList segments;
        splitTagSegments(text, segments);
        const bool xmlInput = isXmlForm(segments) && xmlWellFormed(corpus.filePath(file));
        const int inputErrors = errorLines(corpus.filePath(file));
        QVERIFY2(inputErrors >= 0, qPrintable(file));

        for (Target target : targets) {
            const QString path = dir.filePath(QString("%1-%2").arg(static_cast<int>(target)).arg(file));
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(clean(input, target));
            out.close();
            const int errors = errorLines(path);
            QVERIFY2(errors >= 0 && errors <= inputErrors,
                     qPrintable(QString("%1: %2 errors, %3 before cleaning").arg(path).arg(errors).arg(inputErrors)));
            if (xmlInput)
                QVERIFY2(xmlWellFormed(path), qPrintable(path));
        }
    }
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
