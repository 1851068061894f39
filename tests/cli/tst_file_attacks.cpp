// scrivane-clean against what others can do to the folder, the names and the
// streams around it: it acts only on the file named, gives nobody new access,
// and never claims a success that did not happen.
#include "support/sandbox.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cli_test;

namespace {

bool writeRaw(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    const bool ok = fd >= 0 && ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
    return fd >= 0 && ::close(fd) == 0 && ok;
}

QByteArray readRaw(const QByteArray& path)
{
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY);
    return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? file.readAll()
                                                                                       : "<unreadable>";
}

} // namespace

class TestFileAttacks : public QObject
{
    Q_OBJECT

private slots:
    // Whatever name the program creates in the folder is swapped for a link to
    // another file the moment it exists. That other file is never written, and
    // the clean, which then cannot put its own file in place, says so and keeps
    // the statement.
    void linkPlantedAtTheWrittenFile()
    {
        Sandbox box;
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath("victim");
        QVERIFY(writeFile(box.path("s.ofx"), statement, 0640) && writeFile(victim, "precious", 0644));
        // Under AddressSanitizer the shim comes before the sanitizer's runtime,
        // which the runtime refuses unless told not to check; the run's other
        // sanitizer options stay as they were, and come back for the tests after.
        const QByteArray asanOptions = qgetenv("ASAN_OPTIONS");
        qputenv("ASAN_OPTIONS", asanOptions + (asanOptions.isEmpty() ? "" : ":") + "verify_asan_link_order=0");
        qputenv("LD_PRELOAD", PLANT_LINK_LIBRARY);
        qputenv("PLANT_LINK_FOLDER", QFile::encodeName(QDir(box.path({})).canonicalPath()));
        qputenv("PLANT_LINK_VICTIM", QFile::encodeName(victim));
        const Run run = box.run({"--target", "quicken", "s.ofx"});
        for (const char* name : {"LD_PRELOAD", "PLANT_LINK_FOLDER", "PLANT_LINK_VICTIM"})
            qunsetenv(name);
        if (asanOptions.isEmpty())
            qunsetenv("ASAN_OPTIONS");
        else
            qputenv("ASAN_OPTIONS", asanOptions);
        QCOMPARE(readFile(victim), QByteArray("precious"));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("scrivane-clean: s.ofx: cannot write s.QFX: ") && run.err.count('\n') == 1,
                 run.err.constData());
        QCOMPARE(readFile(box.path("s.ofx")), statement);
    }

    // "caf\xe9.ofx" is no UTF-8: decoded, it would read as the name of the file
    // that really holds U+FFFD there, which the run must not clean nor delete.
    void undecodableNameIsRefused()
    {
        Sandbox box;
        const QByteArray given = QFile::encodeName(box.path({})) + "caf\xe9.ofx";
        const QByteArray lookalike = QFile::encodeName(box.path({})) + "caf\xef\xbf\xbd.ofx";
        QVERIFY(writeRaw(given, statement) && writeRaw(lookalike, "another statement"));
        QProcess process;
        process.setWorkingDirectory(box.path({}));
        process.start("/bin/sh", {"-c", "exec \"$0\" --target quicken \"$(printf 'caf\\351.ofx')\"", Sandbox::program});
        QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.startsWith("scrivane-clean: caf\xe9.ofx: ") && err.contains("encoding") && err.count('\n') == 1,
                 err.constData());
        QCOMPARE(readRaw(given), statement);
        QCOMPARE(readRaw(lookalike), QByteArray("another statement"));
        // Nothing else: the two names read alike once decoded, so they go by their bytes.
        QVERIFY(::unlink(given.constData()) == 0 && ::unlink(lookalike.constData()) == 0);
        QCOMPARE(box.entries(), QStringList());
    }

    // Root cleans a user's statement, or its owner cleans it outside the file's
    // group: the output is readable by exactly those who could read the input,
    // or by fewer, never by more.
    void outputKeepsWhoMayReadIt_data()
    {
        QTest::addColumn<bool>("asOwner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<QString>("mode");
        QTest::newRow("root cleans a user's file") << false << 50u << "640";
        QTest::newRow("the owner, not in the file's group") << true << 1000u << "600";
    }
    void outputKeepsWhoMayReadIt()
    {
        QFETCH(bool, asOwner);
        QFETCH(uint, group);
        QFETCH(QString, mode);
        if (::getuid() != 0)
            QSKIP("giving a file to another user needs root");
        Sandbox box;
        const QByteArray work = QFile::encodeName(box.path({}));
        QVERIFY(writeFile(box.path("s.ofx"), statement, 0640));
        QVERIFY(::chown((work + "s.ofx").constData(), 1000, 50) == 0 && ::chown(work.constData(), 1000, 1000) == 0);
        QString unreachable;
        const QStringList args {"--target", "quicken", "s.ofx"};
        const Run run = asOwner ? box.runUnprivileged(1000, args, unreachable) : box.run(args);
        if (!unreachable.isEmpty())
            QSKIP(qPrintable(unreachable));
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(box.entries(), QStringList {"s.QFX"});
        struct stat info;
        QVERIFY(::stat((work + "s.QFX").constData(), &info) == 0);
        QCOMPARE(info.st_uid, 1000u);
        QCOMPARE(info.st_gid, group);
        QCOMPARE(modeOf(box.path("s.QFX")), mode);
    }

    // Standard output that takes nothing (a full disk, closed): whatever fits in
    // the buffers, the run fails with one line saying so.
    void unwrittenStandardOutputFails_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("closed");
        for (const QStringList& args : {QStringList {"--stdout"}, {"--list", "raw"}, {"--list", "clean"}}) {
            QTest::addRow("%s, full", qPrintable(args.join(' '))) << args << false;
            QTest::addRow("%s, closed", qPrintable(args.join(' '))) << args << true;
        }
    }
    void unwrittenStandardOutputFails()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, closed);
        Sandbox box;
        QVERIFY(writeFile(box.path("s.ofx"), statement));
        const Run run = box.run(args << "s.ofx", [closed] {
            if (closed)
                ::close(STDOUT_FILENO);
            else
                ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO);
        });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("scrivane-clean: s.ofx: ") && run.err.contains("standard output")
                     && run.err.count('\n') == 1,
                 run.err.constData());
        QCOMPARE(box.entries(), QStringList {"s.ofx"});
        QCOMPARE(readFile(box.path("s.ofx")), statement);
    }

    // Names up to the longest the system takes are cleaned like any other.
    void longNamesAreCleaned_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {242, 248, 249, 255})
            QTest::addRow("%d bytes", length) << length;
    }
    void longNamesAreCleaned()
    {
        QFETCH(int, length);
        Sandbox box;
        const QString stem(length - 4, QLatin1Char('s'));
        QVERIFY(writeFile(box.path(stem + ".ofx"), statement));
        const Run run = box.run({"--target", "quickbooks", stem + ".ofx"});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(box.entries(), QStringList {stem + ".QBO"});
        QCOMPARE(readFile(box.path(stem + ".QBO")), cleaned("quickbooks"));
    }

    // A FIFO where the saved options are kept: the run neither waits on it nor
    // writes into it, says so once, and cleans with the options given.
    void settingsStoreThatIsAFifo()
    {
        Sandbox box;
        const QString store = QDir(box.config()).filePath("Korvel Scrivane.ini");
        QVERIFY(::mkfifo(QFile::encodeName(store).constData(), 0600) == 0);
        QVERIFY(writeFile(box.path("s.ofx"), statement));
        const Run run = box.run({"--target", "quicken", "--proper-case", "--remove-numbers", "s.ofx"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.count('\n') == 1 && run.err.contains("Korvel Scrivane.ini")
                     && run.err.contains("saved options"),
                 run.err.constData());
        QCOMPARE(box.entries(), QStringList {"s.QFX"});
        QVERIFY(QFileInfo(store).exists() && !QFileInfo(store).isFile());
    }
};

QTEST_GUILESS_MAIN(TestFileAttacks)
#include "tst_file_attacks.moc"
