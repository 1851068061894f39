// The POSIX writer in a child process that a signal or a file-size limit stops
// while it writes: nothing of the write is left in the folder, whichever kind of
// private file it wrote into.
#include "platform/posix_file_system.h"
#include "platform/process_setup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace scrivane;

namespace {

// Runs write in a child and returns its wait status.
template <class Write>
int inChild(Write&& write)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(write());
    int status = 0;
    return ::waitpid(child, &status, 0) == child ? status : -1;
}

QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestPosixFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void signalWhileWritingLeavesNothing_data()
    {
        QTest::addColumn<bool>("anonymous");
        QTest::addColumn<int>("signal");
        for (bool anonymous : {true, false}) {
            const char* kind = anonymous ? "file without a name" : "named file";
            QTest::addRow("SIGTERM, %s", kind) << anonymous << SIGTERM;
            QTest::addRow("SIGINT, %s", kind) << anonymous << SIGINT;
            QTest::addRow("SIGHUP, %s", kind) << anonymous << SIGHUP;
        }
    }
    void signalWhileWritingLeavesNothing()
    {
        QFETCH(bool, anonymous);
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString path = dir.filePath("s.QFX");
        const int status = inChild([&] {
            // As in a program of its own, not with the test's handler that reports crashes.
            ::signal(signal, SIG_DFL);
            const PosixFileSystem files(anonymous);
            (void)files.writeWhole(path,
                                   [&](const ByteSink& sink) {
                                       sink("the first half");
                                       ::raise(signal);
                                       return sink("the second half");
                                   },
                                   {});
            return 0;
        });
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == signal, qPrintable(QString::number(status)));
        QCOMPARE(entries(dir), QStringList());
    }

    // Two writes into one folder at once, as two runs of the program make them,
    // each under a private name of its own: neither takes the other's.
    void overlappingWritesEachGetTheirOwnName()
    {
        QTemporaryDir dir;
        const PosixFileSystem files(false);
        FileResult inner;
        const FileResult outer = files.writeWhole(
            dir.filePath("a.QFX"),
            [&](const ByteSink& sink) {
                inner = files.writeWhole(dir.filePath("b.QFX"), [](const ByteSink& s) { return s("b"); }, {});
                return sink("a");
            },
            {});
        QVERIFY2(outer.ok() && inner.ok(), qPrintable((outer.ok() ? inner : outer).failure().reason));
        QCOMPARE(entries(dir), (QStringList {"a.QFX", "b.QFX"}));
    }

    // A name given relative to the working folder, as the command line passes it on,
    // lands in the folder it names, however short that folder's name.
    void relativeNamesLandWhereTheyPoint_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("no folder") << "r.QFX";
        QTest::newRow("one-letter folder") << "d/r.QFX";
        QTest::newRow("longer folder") << "dd/r.QFX";
    }
    void relativeNamesLandWhereTheyPoint()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("d") && QDir(dir.path()).mkpath("dd"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const FileResult written
            = PosixFileSystem(false).writeWhole(name, [](const ByteSink& sink) { return sink("relative"); }, {});
        QDir::setCurrent(before);
        QVERIFY2(written.ok(), qPrintable(written.failure().reason));
        QFile landed(dir.filePath(name));
        QVERIFY2(landed.open(QIODevice::ReadOnly), qPrintable(landed.fileName()));
        QCOMPARE(landed.readAll(), QByteArray("relative"));
    }

    // In a program set up as the programs are, a write past a file-size limit fails
    // with the system's reason, instead of the limit's signal ending the program
    // with the file half written.
    void fileSizeLimitIsAReportedError_data()
    {
        QTest::addColumn<bool>("anonymous");
        QTest::newRow("file without a name") << true;
        QTest::newRow("named file") << false;
    }
    void fileSizeLimitIsAReportedError()
    {
        QFETCH(bool, anonymous);
        QTemporaryDir dir;
        const QString path = dir.filePath("s.QFX");
        const int status = inChild([&] {
            ::signal(SIGXFSZ, SIG_DFL);
            const struct rlimit limit = {4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            setUpProcess();
            const PosixFileSystem files(anonymous);
            const std::string big(10000, 'x');
            const FileResult written = files.writeWhole(path, [&](const ByteSink& sink) { return sink(big); }, {});
            return !written.ok() && written.failure().path == path
                    && written.failure().reason == QStringLiteral("File too large")
                ? 7
                : 1;
        });
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 7, qPrintable(QString::number(status)));
        QCOMPARE(entries(dir), QStringList());
    }
};

QTEST_APPLESS_MAIN(TestPosixFileSystem)
#include "tst_posix_file_system.moc"
