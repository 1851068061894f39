#include "names/statement_cleaner.h"
#include "platform/faulty_file_system.h"
#include "platform/statement_file.h"
#include "statement/output_name.h"
#include "test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Target)
Q_DECLARE_METATYPE(scrivane::CleanStep)

namespace {

const NameOptions defaultOptions;

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

class TestStatementFile : public QObject
{
    Q_OBJECT

private slots:
    void cleansUnderTheTargetsName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("identifier");
        QTest::newRow("Quicken") << "statement.ofx" << Target::Quicken << "statement.QFX"
                                 << QByteArray("<INTU.BID>3000</SONRS>");
        QTest::newRow("QuickBooks") << "statement.ofx" << Target::QuickBooks << "statement.QBO"
                                    << QByteArray("<INTU.BID>5885</SONRS>");
        QTest::newRow("Other") << "statement.ofx" << Target::Other << "statement.ofx" << QByteArray();
        QTest::newRow("QuickBooks, already .qbo")
            << "Statement.qbo" << Target::QuickBooks << "Statement.qbo" << QByteArray("<INTU.BID>5885</SONRS>");
    }
    void cleansUnderTheTargetsName()
    {
        QFETCH(QString, input);
        QFETCH(Target, target);
        QFETCH(QString, output);
        QFETCH(QByteArray, identifier);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(input), bankStatement));

        CleanOutcome outcome = cleanStatementFile(dir.filePath(input), target, defaultOptions, LocaleRules::enUS());
        QVERIFY(outcome.succeeded());
        QCOMPARE(outcome.outputPath, dir.filePath(output));
        QCOMPARE(entries(dir.path()), QStringList {output});

        QByteArray written = readFile(dir.filePath(output));
        // The name loses its number, its line break and its capitals; the name
        // made only of a number goes with its tag.
        QVERIFY2(written.contains("<NAME>Acme Store<MEMO>groceries\n"), written.constData());
        QVERIFY2(written.contains("<TRNAMT>-1.00\n<MEMO>fee\n"), written.constData());
        QVERIFY(written.startsWith("OFXHEADER:100\r\nDATA:OFXSGML\r\n"));
        if (identifier.isEmpty())
            QVERIFY(!written.contains("INTU.BID"));
        else
            QVERIFY2(written.contains(identifier), written.constData());

        // Byte for byte what the engine makes of it: nothing added or lost on the way.
        SegmentList segments;
        cleanStatement(std::string_view(bankStatement.constData(), static_cast<std::size_t>(bankStatement.size())),
                       segments,
                       target,
                       defaultOptions,
                       LocaleRules::enUS());
        QCOMPARE(written, QByteArray::fromStdString(joinSegments(segments)));
    }

    void notAFileIsReportedAsMissing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "nothere.ofx";
        QTest::newRow("folder") << "folder.ofx";
        QTest::newRow("hidden") << ".hidden.ofx";
        QTest::newRow("star") << "*.ofx";
        QTest::newRow("question") << "statement.of?";
        QTest::newRow("star that is a real name") << "star*.ofx";
        QTest::newRow("empty") << "";
    }
    void notAFileIsReportedAsMissing()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("statement.ofx"), bankStatement));
        QVERIFY(writeFile(dir.filePath(".hidden.ofx"), bankStatement));
        QVERIFY(writeFile(dir.filePath("star*.ofx"), bankStatement));
        QVERIFY(QDir(dir.path()).mkdir("folder.ofx"));
        const QStringList before = entries(dir.path());

        QString path = name.isEmpty() ? QString() : dir.filePath(name);
        CleanOutcome outcome = cleanStatementFile(path, Target::Quicken, defaultOptions, LocaleRules::enUS());
        QVERIFY(!outcome.succeeded());
        QCOMPARE(outcome.failure->step, CleanStep::Find);
        QCOMPARE(entries(dir.path()), before);
        QCOMPARE(readFile(dir.filePath("statement.ofx")), bankStatement);
        QCOMPARE(readFile(dir.filePath("star*.ofx")), bankStatement);
    }

    // Whatever fails, the statement survives as it was and no partial file
    // stands under the output's name.
    void failureKeepsTheStatement_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Target>("target");
        QTest::addColumn<CleanStep>("step");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("read") << "read" << Target::Quicken << CleanStep::Read << QStringList {"s.ofx"};
        QTest::newRow("write part way") << "write" << Target::Quicken << CleanStep::Write << QStringList {"s.ofx"};
        QTest::newRow("write part way, Other") << "write" << Target::Other << CleanStep::Write << QStringList {"s.ofx"};
        QTest::newRow("commit") << "commit" << Target::QuickBooks << CleanStep::Write << QStringList {"s.ofx"};
        QTest::newRow("commit, Other") << "commit" << Target::Other << CleanStep::Write << QStringList {"s.ofx"};
        QTest::newRow("folder at output")
            << "folder" << Target::QuickBooks << CleanStep::Write << QStringList {"s.QBO", "s.ofx"};
        QTest::newRow("delete") << "delete" << Target::Quicken << CleanStep::Delete << QStringList {"s.QFX", "s.ofx"};
    }
    void failureKeepsTheStatement()
    {
        QFETCH(QString, fault);
        QFETCH(Target, target);
        QFETCH(CleanStep, step);
        QFETCH(QStringList, left);
        QTemporaryDir dir;
        const QString input = dir.filePath("s.ofx");
        QVERIFY(writeFile(input, bankStatement));
        FaultyFileSystem files;
        if (fault == "read")
            files.failRead(QStringLiteral("Permission denied"));
        else if (fault == "write")
            files.failWriteAfter(100, QStringLiteral("No space left on device"));
        else if (fault == "commit")
            files.failCommit(QStringLiteral("No space left on device"));
        else if (fault == "delete")
            files.failRemove(QStringLiteral("Operation not permitted"));
        else
            QVERIFY(QDir(dir.path()).mkdir("s.QBO"));

        CleanOutcome outcome = cleanStatementFile(input, target, defaultOptions, LocaleRules::enUS(), files);
        QVERIFY(!outcome.succeeded());
        QCOMPARE(outcome.failure->step, step);
        QVERIFY(!outcome.failure->error.reason.isEmpty());
        QCOMPARE(outcome.failure->error.path, step == CleanStep::Write ? outcome.outputPath : input);
        QCOMPARE(entries(dir.path()), left);
        QCOMPARE(readFile(input), bankStatement);
        if (fault == "write")
            QCOMPARE(files.bytesWritten(), 100);
        if (step == CleanStep::Delete)
            QVERIFY(readFile(outcome.outputPath).contains("<INTU.BID>3000"));
    }

    void outputKeepsTheInputsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<Target>("target");
        QTest::newRow("private, new name") << 0600 << Target::Quicken;
        QTest::newRow("group readable, new name") << 0640 << Target::QuickBooks;
        QTest::newRow("odd bits, new name") << 0604 << Target::Quicken;
        QTest::newRow("private, same name") << 0600 << Target::Other;
        QTest::newRow("world readable, same name") << 0644 << Target::Other;
    }
    void outputKeepsTheInputsPermissions()
    {
        QFETCH(int, mode);
        QFETCH(Target, target);
        QTemporaryDir dir;
        const QString input = dir.filePath("s.ofx");
        QVERIFY(writeFile(input, bankStatement));
        QVERIFY(::chmod(QFile::encodeName(input).constData(), static_cast<mode_t>(mode)) == 0);
        // A file already standing under the output name is wider; the statement
        // must not take on its bits.
        const QString output = QString::fromStdString(outputPathFor(input.toStdString(), target));
        if (output != input) {
            QVERIFY(writeFile(output, "old"));
            QVERIFY(::chmod(QFile::encodeName(output).constData(), 0666) == 0);
        }
        CleanOutcome outcome = cleanStatementFile(input, target, defaultOptions, LocaleRules::enUS());
        QVERIFY(outcome.succeeded());
        QCOMPARE(QString::number(modeOf(outcome.outputPath), 8), QString::number(mode, 8));
    }

    // Two names for one file: writing the output wrote the input, which must stay.
    void linkedOutputKeepsTheInput()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath("s.ofx");
        QVERIFY(writeFile(input, bankStatement));
        QVERIFY(QFile::link(input, dir.filePath("s.QFX")));
        CleanOutcome outcome = cleanStatementFile(input, Target::Quicken, defaultOptions, LocaleRules::enUS());
        QVERIFY(outcome.succeeded());
        QVERIFY(readFile(outcome.outputPath).contains("<INTU.BID>3000"));
        QVERIFY(QFileInfo::exists(outcome.outputPath));
    }

    void cleanToADeviceTouchesNoFile()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath("s.ofx");
        QVERIFY(writeFile(input, bankStatement));
        QBuffer out;
        QVERIFY(out.open(QIODevice::WriteOnly));
        std::optional<CleanFailure> failure = cleanStatementTo(
            input, Target::QuickBooks, defaultOptions, LocaleRules::enUS(), out, QStringLiteral("standard output"));
        QVERIFY(!failure);
        QCOMPARE(entries(dir.path()), QStringList {"s.ofx"});
        QCOMPARE(readFile(input), bankStatement);

        QVERIFY(cleanStatementFile(input, Target::QuickBooks, defaultOptions, LocaleRules::enUS()).succeeded());
        QCOMPARE(out.data(), readFile(dir.filePath("s.QBO")));
    }

    void cleanToAClosedDeviceFails()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath("s.ofx");
        QVERIFY(writeFile(input, bankStatement));
        QBuffer closed;
        QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
        std::optional<CleanFailure> failure = cleanStatementTo(
            input, Target::Other, defaultOptions, LocaleRules::enUS(), closed, QStringLiteral("standard output"));
        QVERIFY(failure);
        QCOMPARE(failure->step, CleanStep::Write);
        QCOMPARE(failure->error.path, QStringLiteral("standard output"));
        QCOMPARE(readFile(input), bankStatement);
    }
};

QTEST_APPLESS_MAIN(TestStatementFile)
#include "tst_statement_file.moc"
