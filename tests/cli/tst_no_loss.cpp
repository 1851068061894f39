// Whatever goes wrong while a statement is cleaned, the statement survives byte
// for byte and nothing partial stands under the output's name: failures injected
// into the file layer, a disk that fills up (a file-size limit on the real
// program), and the real program killed while it writes.
#include "engine_clean.h"
#include "platform/faulty_file_system.h"
#include "platform/statement_file.h"
#include "robust_support.h"
#include "statement/output_name.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/resource.h>

using namespace scrivane;
using namespace robust;

Q_DECLARE_METATYPE(scrivane::Target)
Q_DECLARE_METATYPE(scrivane::CleanStep)

namespace {

const QByteArray oldOutput = "an older cleaned statement\n";

QString outputFor(const QString& input, Target target)
{
    return QString::fromStdString(outputPathFor(input.toStdString(), target));
}

// Sets a file-size limit in the child and ignores the signal that would kill it
// at the limit, so that the write fails with EFBIG as on a full disk.
std::function<void()> fileSizeLimit(rlim_t bytes)
{
    return [bytes] {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
}

struct WriteInProgress
{
    qint64 bytes = 0;
    int mode = 0; // the data file's bits and those of every new file in the folder
};

// While pid is stopped: the file in folder, other than the input, that it holds
// open and has put bytes into, with the bits of every file new in folder.
std::optional<WriteInProgress> writeInProgress(pid_t pid, const QString& folder, const QStringList& before)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (!target.startsWith(folder + QLatin1Char('/')) || QFileInfo(target).fileName() == QStringLiteral("big.ofx"))
            continue;
        struct stat info;
        if (::stat(QFile::encodeName(fd.filePath()).constData(), &info) != 0 || info.st_size == 0)
            continue;
        WriteInProgress write {static_cast<qint64>(info.st_size), static_cast<int>(info.st_mode & 07777)};
        for (const QString& name : entries(folder)) {
            if (!before.contains(name))
                write.mode |= modeOf(folder + QLatin1Char('/') + name);
        }
        return write;
    }
    return std::nullopt;
}

} // namespace

class TestNoLoss : public QObject
{
    Q_OBJECT

private slots:
    void injectedFaultKeepsTheStatement_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Target>("target");
        QTest::addColumn<bool>("outputStood");
        QTest::addColumn<CleanStep>("step");
        for (bool stood : {false, true}) {
            const char* suffix = stood ? ", older output stands" : "";
            QTest::addRow("read%s", suffix) << "read" << Target::Quicken << stood << CleanStep::Read;
            QTest::addRow("write at once%s", suffix) << "write0" << Target::QuickBooks << stood << CleanStep::Write;
            QTest::addRow("write part way%s", suffix) << "write" << Target::Quicken << stood << CleanStep::Write;
            QTest::addRow("commit%s", suffix) << "commit" << Target::QuickBooks << stood << CleanStep::Write;
            QTest::addRow("delete%s", suffix) << "delete" << Target::Quicken << stood << CleanStep::Delete;
        }
        QTest::newRow("read, same name") << "read" << Target::Other << false << CleanStep::Read;
        QTest::newRow("write part way, same name") << "write" << Target::Other << false << CleanStep::Write;
        QTest::newRow("commit, same name") << "commit" << Target::Other << false << CleanStep::Write;
    }
    void injectedFaultKeepsTheStatement()
    {
        QFETCH(QString, fault);
        QFETCH(Target, target);
        QFETCH(bool, outputStood);
        QFETCH(CleanStep, step);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("june.ofx"));
        const QString output = outputFor(input, target);
        QVERIFY(writeFile(input, smallStatement));
        if (outputStood)
            QVERIFY(writeFile(output, oldOutput));
        const QStringList before = entries(dir.path());

        FaultyFileSystem files;
        const QString reason = QStringLiteral("No space left on device");
        if (fault == "read")
            files.failRead(reason);
        else if (fault == "write0")
            files.failWriteAfter(0, reason);
        else if (fault == "write")
            files.failWriteAfter(smallStatement.size() / 2, reason);
        else if (fault == "commit")
            files.failCommit(reason);
        else
            files.failRemove(reason);

        CleanOutcome outcome = cleanStatementFile(input, target, NameOptions(), LocaleRules::enUS(), files);
        QVERIFY(!outcome.succeeded());
        QCOMPARE(outcome.failure->step, step);
        QCOMPARE(outcome.failure->error.reason, reason);
        // The failure names the file that could not be handled.
        QCOMPARE(outcome.failure->error.path, step == CleanStep::Write ? output : input);
        QCOMPARE(readFile(input), smallStatement);

        if (step == CleanStep::Delete) {
            // Both stand: the cleaned statement whole, and the input.
            QCOMPARE(readFile(output), engineClean(smallStatement, target));
            QStringList expected = before;
            if (!expected.contains(QFileInfo(output).fileName()))
                expected.append(QFileInfo(output).fileName());
            expected.sort();
            QCOMPARE(entries(dir.path()), expected);
        } else {
            // Nothing new in the folder, no temporary file left, and a file
            // standing under the output's name is as it was.
            QCOMPARE(entries(dir.path()), before);
            if (outputStood)
                QCOMPARE(readFile(output), oldOutput);
        }
    }

    // For Other the cleaned file takes the input's place by name: the input is
    // never deleted, so a delete that would fail does not matter.
    void sameNameNeverDeletes()
    {
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("june.ofx"));
        QVERIFY(writeFile(input, smallStatement));
        FaultyFileSystem files;
        files.failRemove();
        CleanOutcome outcome = cleanStatementFile(input, Target::Other, NameOptions(), LocaleRules::enUS(), files);
        QVERIFY(outcome.succeeded());
        QCOMPARE(readFile(input), engineClean(smallStatement, Target::Other));
        QCOMPARE(entries(dir.path()), QStringList {"june.ofx"});
    }

    // A full disk, for real: the program may not write past a limit smaller than
    // the statement. It says so and which file, and leaves everything as it was.
    void fullDiskChangesNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("outputStood");
        QTest::newRow("Quicken") << "quicken"
                                 << "june.QFX" << false;
        QTest::newRow("QuickBooks, older output stands") << "quickbooks"
                                                         << "june.QBO" << true;
        QTest::newRow("Other, same name") << "other"
                                          << "june.ofx" << false;
    }
    void fullDiskChangesNothing()
    {
        QFETCH(QString, target);
        QFETCH(QString, output);
        QFETCH(bool, outputStood);
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral(".config"));
        QVERIFY(QDir().mkpath(config));
        const QByteArray statement = bigStatement(600 * 1024);
        QVERIFY(writeFile(dir.filePath(QStringLiteral("june.ofx")), statement));
        if (outputStood)
            QVERIFY(writeFile(dir.filePath(output), oldOutput));
        const QStringList before = entries(dir.path());

        Run run = runClean({"--target", target, "june.ofx"}, dir.path(), config, fileSizeLimit(64 * 1024));
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        const QList<QByteArray> lines = run.err.trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].contains("june.ofx") && lines[0].contains(output.toUtf8()), run.err.constData());
        QVERIFY2(lines[0].contains("disk may be full") || lines[0].contains("File too large"), run.err.constData());

        QCOMPARE(readFile(dir.filePath(QStringLiteral("june.ofx"))), statement);
        QCOMPARE(entries(dir.path()), before);
        if (outputStood)
            QCOMPARE(readFile(dir.filePath(output)), oldOutput);
    }

    // Killed while the output goes to disk: the statement stands as it was,
    // nothing stands under the output's name, what is left over is private, and
    // running again cleans the statement in full.
    void killedWhileWritingLosesNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("output");
        QTest::newRow("Quicken") << "quicken"
                                 << "big.QFX";
        QTest::newRow("Other, same name") << "other"
                                          << "big.ofx";
    }
    void killedWhileWritingLosesNothing()
    {
        QFETCH(QString, target);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral(".config"));
        QVERIFY(QDir().mkpath(config));
        const QString input = dir.filePath(QStringLiteral("big.ofx"));
        // Big enough that the write takes a while; smaller where the sanitizer
        // makes every byte slow.
        const QByteArray statement = bigStatement(sanitized ? 16 << 20 : 60 << 20);
        QVERIFY(writeFile(input, statement));
        QVERIFY(::chmod(QFile::encodeName(input).constData(), 0640) == 0);
        const QStringList before = entries(dir.path());

        QProcess process;
        process.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        process.setProcessEnvironment(env);
        process.start(cleanProgram, {"--target", target, "big.ofx"});
        QVERIFY(process.waitForStarted());
        const pid_t pid = static_cast<pid_t>(process.processId());

        // The program runs in slices of a few milliseconds and is looked at while
        // stopped, so the moment it has written part of the output cannot slip by
        // on a busy machine. The file it writes may have no name yet (Qt creates
        // it unnamed where it can), so it is found among the open files.
        std::optional<WriteInProgress> caught;
        ::kill(pid, SIGSTOP);
        while (!caught && !process.waitForFinished(0)) {
            caught = writeInProgress(pid, dir.path(), before);
            if (caught) {
                ::kill(pid, SIGKILL);
                break;
            }
            ::kill(pid, SIGCONT);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            ::kill(pid, SIGSTOP);
        }
        ::kill(pid, SIGCONT);
        QVERIFY(process.state() == QProcess::NotRunning || process.waitForFinished(30000));
        QVERIFY2(caught, "the program finished before it was seen writing");
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        // Both files the write uses are private while it runs.
        QCOMPARE(QString::number(caught->mode, 8), QStringLiteral("600"));
        QVERIFY(caught->bytes > 0 && caught->bytes < statement.size());

        QVERIFY(readFile(input) == statement);
        QCOMPARE(modeOf(input), 0640);
        if (output != QStringLiteral("big.ofx"))
            QVERIFY(!QFileInfo::exists(dir.filePath(output)));
        for (const QString& name : entries(dir.path())) {
            if (before.contains(name))
                continue;
            QVERIFY2(name.startsWith(output + QLatin1Char('.')), qPrintable(name));
            QCOMPARE(QString::number(modeOf(dir.filePath(name)), 8), QStringLiteral("600"));
        }

        Run again = runClean({"--target", target, "big.ofx"}, dir.path(), config);
        QVERIFY(again.finished);
        QCOMPARE(again.exitCode, 0);
        const Target expectedTarget = output.endsWith(QStringLiteral("QFX")) ? Target::Quicken : Target::Other;
        QVERIFY(readFile(dir.filePath(output)) == engineClean(statement, expectedTarget));
        QCOMPARE(modeOf(dir.filePath(output)), 0640);
    }
};

QTEST_GUILESS_MAIN(TestNoLoss)
#include "tst_no_loss.moc"
