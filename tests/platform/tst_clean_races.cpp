// The disk changed between the steps of one clean, as another program, another
// run or an attacker could change it: the clean acts only on what it read, and
// loses nothing and leaves nothing of its own behind.
#include "platform/read_and_clean.h"
#include "support/faulty_file_system.h"
#include "support/sandbox.h"

#include <QTest>

#include <filesystem>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace scrivane;
using namespace cli_test;

namespace {

CleanOutcome clean(const QString& path, Target target, const FileSystem& files = FileSystem::system())
{
    CleanRequest request;
    request.input = StatementSource::file(path);
    request.target = target;
    return readAndClean(request, files);
}

bool append(const QString& path, const QByteArray& tail)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(tail) == tail.size() && file.flush();
}

// Puts the file at from in place of the one at to in one step, as a download
// that finished meanwhile would.
bool replaceWith(const QString& from, const QString& to)
{
    std::error_code failed;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()), to.toStdU16String(), failed);
    return !failed;
}

} // namespace

class TestCleanRaces : public QObject
{
    Q_OBJECT

private slots:
    // Something happens to the input after it was read: right before the output
    // takes its name, or right after. What happened, the problem reported (none for
    // success), and every entry of the folder with its bytes afterwards.
    void inputChangedDuringClean_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("change");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QStringList>("after"); // name, then bytes: "new", "cleaned", "grown" or "last month"
        const Target quicken = Target::Quicken, other = Target::Other;
        QTest::newRow("tail appended, Quicken") << "before"
                                                << "append" << quicken << "changed" << QStringList {"s.ofx", "grown"};
        QTest::newRow("new file in its place, Quicken")
            << "before"
            << "replace" << quicken << "changed" << QStringList {"s.ofx", "new"};
        QTest::newRow("tail appended, own name") << "before"
                                                 << "append" << other << "changed" << QStringList {"s.ofx", "grown"};
        QTest::newRow("new file in its place, own name")
            << "before"
            << "replace" << other << "changed" << QStringList {"s.ofx", "new"};
        QTest::newRow("tail appended once the output stands")
            << "after"
            << "append" << quicken << "delete" << QStringList {"s.QFX", "cleaned", "s.ofx", "grown"};
        QTest::newRow("new file once the output stands")
            << "after"
            << "replace" << quicken << "delete" << QStringList {"s.QFX", "cleaned", "s.ofx", "new"};
        QTest::newRow("removed by someone") << "before"
                                            << "remove" << quicken << "vanished" << QStringList {};
        // The output's name holds an older clean, which is no clean of this input.
        QTest::newRow("removed, last month's output standing")
            << "before"
            << "remove" << quicken << "vanished" << QStringList {"s.QFX", "last month"};
        // Two runs on one statement: the other one finishes first.
        QTest::newRow("cleaned by another run first")
            << "before"
            << "another run" << quicken << "" << QStringList {"s.QFX", "cleaned"};
        QTest::newRow("cleaned by another run meanwhile")
            << "after"
            << "another run" << quicken << "" << QStringList {"s.QFX", "cleaned"};
    }
    void inputChangedDuringClean()
    {
        QFETCH(QString, when);
        QFETCH(QString, change);
        QFETCH(Target, target);
        QFETCH(QString, problem);
        QFETCH(QStringList, after);
        Sandbox box;
        const QString input = box.path("s.ofx");
        const QByteArray fresh = "<OFX><NAME>NEW DOWNLOAD 99\n</OFX>\n";
        const QByteArray lastMonth = cleaned("quicken").replace("Bigmart", "Corner Shop");
        QVERIFY(writeFile(input, statement, 0640));
        if (after.contains("last month"))
            QVERIFY(writeFile(box.path("s.QFX"), lastMonth));
        bool ran = false;
        auto act = [&] {
            ran = true;
            if (change == "append")
                QVERIFY(append(input, "<STMTTRN>\n"));
            else if (change == "replace")
                QVERIFY(writeFile(box.path("new"), fresh) && replaceWith(box.path("new"), input));
            else if (change == "remove")
                QVERIFY(QFile::remove(input));
            else
                QVERIFY(clean(input, target).ok());
        };
        FaultyFileSystem files;
        (when == "before" ? files.beforeReplace(act) : files.afterReplace(act));
        const CleanOutcome outcome = clean(input, target, files);
        QVERIFY(ran);

        const QMap<QString, CleanProblem> problems = {{"changed", CleanProblem::Changed},
                                                      {"delete", CleanProblem::ChangedAfter},
                                                      {"vanished", CleanProblem::Vanished}};
        QCOMPARE(outcome.ok(), problem.isEmpty());
        if (outcome.failure) {
            QCOMPARE(outcome.failure->problem, problems.value(problem));
            QCOMPARE(outcome.failure->error.path, input);
        }
        QCOMPARE(outcome.cleanedElsewhere, when == "before" && change == "another run");
        QStringList names;
        for (qsizetype k = 0; k < after.size(); k += 2)
            names << after[k];
        QCOMPARE(box.entries(), names);
        const QMap<QString, QByteArray> bytes = {{"new", fresh},
                                                 {"last month", lastMonth},
                                                 {"grown", statement + "<STMTTRN>\n"},
                                                 {"cleaned", cleaned(target == Target::Quicken ? "quicken" : "other")}};
        for (qsizetype k = 0; k < after.size(); k += 2)
            QVERIFY2(readFile(box.path(after[k])) == bytes.value(after[k + 1]), qPrintable(after[k]));
    }

#ifndef Q_OS_WIN // FIFOs, devices behind links, /proc and undecodable names are POSIX's
    // What stands under the name by the time it is opened is what counts: a FIFO
    // (which would block), a device (which never ends), a "plain" file in /proc
    // that claims 0 bytes and holds far more than the limit. Each is refused and
    // left as it stands.
    void swappedBeforeRead_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<FileProblem>("problem");
        QTest::newRow("FIFO") << "fifo" << FileProblem::NotPlainFile;
        QTest::newRow("link to /dev/zero") << "/dev/zero" << FileProblem::NotPlainFile;
        QTest::newRow("link to /proc/self/pagemap") << "/proc/self/pagemap" << FileProblem::TooLarge;
    }
    void swappedBeforeRead()
    {
        QFETCH(QString, what);
        QFETCH(FileProblem, problem);
        Sandbox box;
        const QString input = box.path("s.ofx");
        QVERIFY(writeFile(input, statement));
        FaultyFileSystem files;
        // Past 1 MB as past 1 GB, so that no test holds a gigabyte.
        files.limitReads(1 << 20);
        files.beforeRead([&] {
            QVERIFY(QFile::remove(input));
            QVERIFY(what == "fifo" ? ::mkfifo(qPrintable(input), 0600) == 0 : QFile::link(what, input));
        });
        for (Target target : {Target::Quicken, Target::Other}) {
            QVERIFY(QFile::remove(input) && writeFile(input, statement));
            const CleanOutcome outcome = clean(input, target, files);
            QVERIFY(outcome.failure && outcome.failure->problem == CleanProblem::Unreadable);
            QCOMPARE(outcome.failure->error.problem, problem);
            QCOMPARE(box.entries(), QStringList {"s.ofx"});
            QFileInfo standing(input);
            QVERIFY(what == "fifo" ? !standing.isFile() && !standing.isSymLink() : standing.symLinkTarget() == what);
        }
    }

    // A name from the file dialog or the settings store in which the system's
    // encoding put U+FFFD for a byte it could not decode: encoded again it would
    // name the file that really carries U+FFFD, which must not be touched.
    void undecodableNameIsRefused()
    {
        Sandbox box;
        const QString named = box.path(QStringLiteral("caf\uFFFD.ofx"));
        QVERIFY(writeFile(named, statement));
        for (Target target : {Target::Quicken, Target::Other}) {
            const CleanOutcome outcome = clean(named, target);
            QVERIFY(outcome.failure && outcome.failure->problem == CleanProblem::Unreadable);
            QCOMPARE(outcome.failure->error.problem, FileProblem::InexactName);
            QCOMPARE(box.entries(), QStringList {QStringLiteral("caf\uFFFD.ofx")});
            QCOMPARE(readFile(named), statement);
        }
    }
#endif
};

QTEST_GUILESS_MAIN(TestCleanRaces)
#include "tst_clean_races.moc"
