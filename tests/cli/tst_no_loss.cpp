// Whatever goes wrong or stands in the way, a clean loses no statement and leaks
// none: nothing partial under the output's name, nothing written through a link.
#include "platform/statement_file.h"
#include "support/faulty_file_system.h"
#include "support/sandbox.h"

#include <QTest>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/resource.h>

using namespace scrivane;
using namespace cli_test;

namespace {

// Big, but with few names to clean; the statement itself for 0 bytes.
QByteArray bigStatement(qsizetype bytes)
{
    const QByteArray block = "<STMTTRN>\n<NAME>POS ACME STORE 1234\n<MEMO>" + QByteArray(1000, 'm') + "\n</STMTTRN>\n";
    QByteArray text = statement;
    return text.insert(text.indexOf("</BANKTRANLIST>"), block.repeated(bytes / block.size()));
}

// Kills a clean once it has put bytes into a file beside the output, other than the
// input: that file's bits, or why none. The program is looked at only while stopped,
// so the moment can't slip by on a busy machine; the file may have no name.
QString killWhileWriting(const Sandbox& box, const QString& target)
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
                ::kill(pid, SIGKILL);
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

} // namespace

class TestNoLoss : public QObject
{
    Q_OBJECT

private slots:
    // However a clean stops part way (a failure injected into the file layer, a
    // full disk, a kill), the statement stands as it was, and nothing partial
    // under the output's name or over an older output; the file being written is
    // private. Only a failed delete leaves the output, whole.
    void stoppedPartWay_data()
    {
        QTest::addColumn<QStringList>("row"); // how, target, output, older output's bytes
        for (const char* how : {"read", "write part way", "commit", "delete", "full disk", "kill"}) {
            QTest::addRow("%s, Quicken", how) << QStringList {how, "quicken", "s.QFX", ""};
            QTest::addRow("%s, QuickBooks over older", how) << QStringList {how, "quickbooks", "s.QBO", "older"};
            QTest::addRow("%s, same name", how) << QStringList {how, "other", "s.ofx", ""};
        }
    }
    void stoppedPartWay()
    {
        QFETCH(QStringList, row);
        const QString how = row[0], target = row[1], output = row[2];
        const QByteArray older = row[3].toUtf8();
        Sandbox box;
        const QString input = box.path("s.ofx");
        // Big enough that a write takes a while; smaller where the sanitizer makes every byte slow.
        const QByteArray text = bigStatement(how == "kill"            ? (SCRIVANE_SANITIZED ? 16 << 20 : 60 << 20)
                                                 : how == "full disk" ? 600 << 10
                                                                      : 0);
        QVERIFY(writeFile(input, text, 0640) && (older.isEmpty() || writeFile(box.path(output), older, 0666)));
        const QStringList before = box.entries();
        if (how == "kill") {
            QCOMPARE(killWhileWriting(box, target), QStringLiteral("600"));
        } else if (how == "full disk") {
            // A file-size limit below the statement's size, and no signal at the limit.
            const Run run = box.run({"--target", target, "s.ofx"}, [] {
                ::signal(SIGXFSZ, SIG_IGN);
                const struct rlimit limit = {64 << 10, 64 << 10};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.out.isEmpty() && run.err.count('\n') == 1 && run.err.startsWith("scrivane-clean: s.ofx: ")
                         && run.err.contains(output.toUtf8())
                         && (run.err.contains("disk may be full") || run.err.contains("File too large")),
                     run.err.constData());
        } else {
            FaultyFileSystem files;
            if (how == "read")
                files.failRead();
            else if (how == "write part way")
                files.failWriteAfter(statement.size() / 2);
            else if (how == "commit")
                files.failCommit();
            else
                files.failRemove();
            // Target's order: QuickBooks, Quicken, Other.
            const auto to = static_cast<Target>(QStringList {"quickbooks", "quicken", "other"}.indexOf(target));
            const CleanOutcome outcome = cleanStatementFile(input, to, NameOptions(), LocaleRules::enUS(), files);
            if (how == "delete" && target == "other") { // its own name: nothing to delete
                QVERIFY(outcome.succeeded() && readFile(input) == cleaned(target));
                return;
            }
            const QMap<QString, CleanStep> steps = {{"read", CleanStep::Read}, {"delete", CleanStep::Delete}};
            QVERIFY(outcome.failure && outcome.failure->step == steps.value(how, CleanStep::Write));
            QCOMPARE(outcome.failure->error.path, how == "read" || how == "delete" ? input : box.path(output));
        }
        QVERIFY(readFile(input) == text);
        if (how != "kill" && how != "delete")
            QCOMPARE(box.entries(), before);
        const QByteArray left = how == "delete" ? cleaned(target) : older.isEmpty() ? "<unreadable>" : older;
        if (output != "s.ofx")
            QCOMPARE(readFile(box.path(output)), left);
    }

    // The output is a plain file under its own name with exactly the statement's
    // bits, even under a umask that hides nothing; "other", which a link points
    // at or which is just in the way, stays as it was.
    void outputIsAPlainFileWithTheInputsBits_data()
    {
        QTest::addColumn<QStringList>("row"); // target, output, what stands in the way
        QTest::newRow("link as input, Other") << QStringList {"other", "s.ofx", "input link"};
        QTest::newRow("link as input, Quicken") << QStringList {"quicken", "s.QFX", "input link"};
        QTest::newRow("link at the output") << QStringList {"quickbooks", "s.QBO", "output link"};
        QTest::newRow("wider file at the output") << QStringList {"quicken", "s.QFX", "output file"};
    }
    void outputIsAPlainFileWithTheInputsBits()
    {
        QFETCH(QStringList, row);
        const QString target = row[0], output = row[1], standing = row[2];
        Sandbox box;
        const bool linkedInput = standing == "input link";
        const QByteArray other = linkedInput ? statement : "older";
        QVERIFY(writeFile(box.path("other"), other, linkedInput ? 0640 : 0666));
        QVERIFY(linkedInput ? QFile::link("other", box.path("s.ofx")) : writeFile(box.path("s.ofx"), statement, 0640));
        if (standing.startsWith("output"))
            QVERIFY(standing == "output link" ? QFile::link("other", box.path(output))
                                              : writeFile(box.path(output), other, 0666));
        QCOMPARE(box.run({"--target", target, "s.ofx"}, [] { ::umask(0); }).exitCode, 0);
        QCOMPARE(box.entries(), QStringList({"other", output}));
        QCOMPARE(modeOf(box.path(output)), QStringLiteral("640"));
        QCOMPARE(readFile(box.path(output)), cleaned(target));
        QCOMPARE(readFile(box.path("other")), other);
        QCOMPARE(modeOf(box.path("other")), linkedInput ? "640" : "666");
    }
};

QTEST_GUILESS_MAIN(TestNoLoss)
#include "tst_no_loss.moc"
