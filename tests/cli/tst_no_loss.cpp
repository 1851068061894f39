// Whatever goes wrong or stands in the way, a clean loses no statement and leaks
// none: nothing partial under the output's name, nothing written through a link.
#include "platform/read_and_clean.h"
#include "support/faulty_file_system.h"
#include "support/sandbox.h"

#include <QTest>

#ifndef Q_OS_WIN
#include <chrono>
#include <csignal>
#include <thread>

#include <sys/resource.h>
#endif

using namespace scrivane;
using namespace cli_test;

// How a clean is stopped part way: a failure injected into the file layer, a full
// disk, SIGKILL (the signals a program may catch are the file layer's own test).
enum class Stop { Read, WritePartWay, Commit, Delete, FullDisk, Kill };
Q_DECLARE_METATYPE(Stop)
// What stands in the way of a clean: the input a link to "other", or at the output a link to "other" or a file.
enum class Standing { InputLink, OutputLink, OutputFile };
Q_DECLARE_METATYPE(Standing)
Q_DECLARE_METATYPE(scrivane::Target)

namespace {

// The target as scrivane-clean's --target names it.
QString targetArgument(Target target)
{
    return target == Target::QuickBooks ? "quickbooks" : target == Target::Quicken ? "quicken" : "other";
}

// Big, but with few names to clean; the statement itself for 0 bytes.
QByteArray bigStatement(qsizetype bytes)
{
    const QByteArray block = "<STMTTRN>\n<NAME>POS ACME STORE 1234\n<MEMO>" + QByteArray(1000, 'm') + "\n</STMTTRN>\n";
    QByteArray text = statement;
    return text.insert(text.indexOf("</BANKTRANLIST>"), block.repeated(bytes / block.size()));
}

#ifndef Q_OS_WIN
// Sends signal to a clean once it has put bytes into a file beside the output,
// other than the input: that file's bits, or why none. The program is looked at
// only while stopped, so the moment can't slip by on a busy machine; the file may
// have no name.
QString signalWhileWriting(const Sandbox& box, const QString& target, int signal)
{
    QProcess process;
    process.setWorkingDirectory(box.path({}));
    process.start(Sandbox::program, {"--target", target, "s.ofx"});
    if (!process.waitForStarted())
        return "did not start";
    const pid_t pid = static_cast<pid_t>(process.processId());
    for (::kill(pid, SIGSTOP); !process.waitForFinished(0); ::kill(pid, SIGSTOP)) {
        for (const QFileInfo& fd :
             QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryInfoList(QDir::AllEntries | QDir::System)) {
            struct stat info;
            if (fd.symLinkTarget().startsWith(box.path({})) && !fd.symLinkTarget().endsWith("/s.ofx")
                && ::stat(QFile::encodeName(fd.filePath()).constData(), &info) == 0 && info.st_size > 0) {
                ::kill(pid, signal);
                ::kill(pid, SIGCONT);
                process.waitForFinished(30000);
                return process.exitStatus() == QProcess::CrashExit ? QString::number(info.st_mode & 07777, 8)
                                                                   : "not killed";
            }
        }
        ::kill(pid, SIGCONT);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return "finished before it was seen writing";
}
#endif

} // namespace

class TestNoLoss : public QObject
{
    Q_OBJECT

private slots:
    // However a clean stops part way (a failure injected into the file layer, a
    // full disk, a kill), the statement stands as it was, and nothing partial
    // under the output's name or over an older output; the file being written is
    // private. Only a failed delete leaves the output, whole. A failed read comes
    // before the target matters; a full disk and a kill cost seconds, so they run
    // only where something stands under the output's name.
    void stoppedPartWay_data()
    {
        QTest::addColumn<Stop>("stop");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("older"); // an older output standing under the output's name, if any
        const std::pair<Stop, const char*> stops[] = {{Stop::Read, "read"},
                                                      {Stop::WritePartWay, "write part way"},
                                                      {Stop::Commit, "commit"},
                                                      {Stop::Delete, "delete"},
#ifndef Q_OS_WIN // no /proc to watch the writer, no file-size limit
                                                      {Stop::FullDisk, "full disk"},
                                                      {Stop::Kill, "kill"}
#endif
        };
        for (const auto& [stop, how] : stops) {
            if (stop < Stop::FullDisk)
                QTest::addRow("%s, Quicken", how) << stop << Target::Quicken << QString("s.QFX") << QByteArray();
            if (stop == Stop::Read)
                continue;
            QTest::addRow("%s, QuickBooks over older", how)
                << stop << Target::QuickBooks << QString("s.QBO") << QByteArray("older");
            if (stop != Stop::FullDisk)
                QTest::addRow("%s, same name", how) << stop << Target::Other << QString("s.ofx") << QByteArray();
        }
    }
    void stoppedPartWay()
    {
        QFETCH(Stop, stop);
        QFETCH(Target, target);
        QFETCH(QString, output);
        QFETCH(QByteArray, older);
        const QString argument = targetArgument(target);
        Sandbox box;
        const QString input = box.path("s.ofx");
        // Big enough that a write takes a while; smaller where the sanitizer makes every byte slow.
        const QByteArray text = bigStatement(stop == Stop::Kill           ? (SCRIVANE_SANITIZED ? 16 << 20 : 60 << 20)
                                                 : stop == Stop::FullDisk ? 600 << 10
                                                                          : 0);
        QVERIFY(writeFile(input, text, 0640) && (older.isEmpty() || writeFile(box.path(output), older, 0666)));
        const QStringList before = box.entries();
        if (stop == Stop::Kill) {
#ifndef Q_OS_WIN
            QCOMPARE(signalWhileWriting(box, argument, SIGKILL), QStringLiteral("600"));
#endif
        } else if (stop == Stop::FullDisk) {
#ifndef Q_OS_WIN
            // A file-size limit below the statement's size, with the limit's signal
            // as it comes (it would end the program).
            const Run run = box.run({"--target", argument, "s.ofx"}, [] {
                ::signal(SIGXFSZ, SIG_DFL);
                const struct rlimit limit = {64 << 10, 64 << 10};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.out.isEmpty() && run.err.count('\n') == 1 && run.err.startsWith("scrivane-clean: s.ofx: ")
                         && run.err.contains(output.toUtf8()) && run.err.contains("File too large"),
                     run.err.constData());
#endif
        } else {
            FaultyFileSystem files;
            CleanProblem problem = CleanProblem::Unwritable;
            switch (stop) {
            case Stop::Read:
                files.failRead();
                problem = CleanProblem::Unreadable;
                break;
            case Stop::WritePartWay:
                files.failWriteAfter(statement.size() / 2);
                break;
            case Stop::Commit:
                files.failCommit();
                break;
            case Stop::Delete:
                files.failTrash();
                files.failRemove();
                problem = CleanProblem::NotPutAway;
                break;
            case Stop::FullDisk:
            case Stop::Kill:
                QFAIL("stopped from outside, not through the file layer");
            }
            CleanRequest request;
            request.input = StatementSource::file(input);
            request.target = target;
            const CleanOutcome outcome = readAndClean(request, files);
            if (stop == Stop::Delete && target == Target::Other) { // its own name: nothing to delete
                QVERIFY(outcome.ok());
                QCOMPARE(readFile(input), cleaned(argument));
                return;
            }
            QVERIFY(outcome.failure);
            QVERIFY(outcome.failure->problem == problem);
            QCOMPARE(outcome.failure->error.path, problem == CleanProblem::Unwritable ? box.path(output) : input);
        }
        QVERIFY(readFile(input) == text);
        if (stop != Stop::Kill && stop != Stop::Delete)
            QCOMPARE(box.entries(), before);
        const QByteArray left = stop == Stop::Delete ? cleaned(argument) : older.isEmpty() ? "<unreadable>" : older;
        if (output != "s.ofx")
            QCOMPARE(readFile(box.path(output)), left);
    }

    // A statement larger than one write, with a value larger still, reaches the
    // disk byte for byte: the batched writes neither repeat nor drop a piece.
    void bigStatementIsWrittenWhole()
    {
        Sandbox box;
        const QByteArray blocks
            = QByteArray("<STMTTRN>\n<MEMO>" + QByteArray(1000, 'm') + "\n</STMTTRN>\n").repeated(2000)
            + "<STMTTRN>\n<MEMO>" + QByteArray(3 << 20, 'n') + "\n</STMTTRN>\n";
        QByteArray text = statement, expected = cleaned("other");
        text.insert(text.indexOf("</BANKTRANLIST>"), blocks);
        expected.insert(expected.indexOf("</BANKTRANLIST>"), blocks);
        QVERIFY(writeFile(box.path("s.ofx"), text, 0640));
        QCOMPARE(box.run({"--target", "other", "s.ofx"}).exitCode, 0);
        const QByteArray written = readFile(box.path("s.ofx"));
        QVERIFY2(written == expected,
                 qPrintable(QString("%1 bytes, %2 expected").arg(written.size()).arg(expected.size())));
    }

#ifndef Q_OS_WIN // links, permission bits and the umask are POSIX's
    // The output is a plain file under its own name with exactly the statement's
    // bits, even under a umask that hides nothing; "other", which a link points
    // at or which is just in the way, stays as it was.
    void outputIsAPlainFileWithTheInputsBits_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<Standing>("standing");
        QTest::newRow("link as input, Other") << Target::Other << QString("s.ofx") << Standing::InputLink;
        QTest::newRow("link as input, Quicken") << Target::Quicken << QString("s.QFX") << Standing::InputLink;
        QTest::newRow("link at the output") << Target::QuickBooks << QString("s.QBO") << Standing::OutputLink;
        QTest::newRow("wider file at the output") << Target::Quicken << QString("s.QFX") << Standing::OutputFile;
    }
    void outputIsAPlainFileWithTheInputsBits()
    {
        QFETCH(Target, target);
        QFETCH(QString, output);
        QFETCH(Standing, standing);
        const QString argument = targetArgument(target);
        Sandbox box;
        const bool linkedInput = standing == Standing::InputLink;
        const QByteArray other = linkedInput ? statement : "older";
        QVERIFY(writeFile(box.path("other"), other, linkedInput ? 0640 : 0666));
        QVERIFY(linkedInput ? QFile::link("other", box.path("s.ofx")) : writeFile(box.path("s.ofx"), statement, 0640));
        if (standing == Standing::OutputLink)
            QVERIFY(QFile::link("other", box.path(output)));
        else if (standing == Standing::OutputFile)
            QVERIFY(writeFile(box.path(output), other, 0666));
        QCOMPARE(box.run({"--target", argument, "s.ofx"}, [] { ::umask(0); }).exitCode, 0);
        QCOMPARE(box.entries(), QStringList({"other", output}));
        QCOMPARE(modeOf(box.path(output)), QStringLiteral("640"));
        QCOMPARE(readFile(box.path(output)), cleaned(argument));
        QCOMPARE(readFile(box.path("other")), other);
        QCOMPARE(modeOf(box.path("other")), linkedInput ? "640" : "666");
    }
#endif
};

QTEST_GUILESS_MAIN(TestNoLoss)
#include "tst_no_loss.moc"
