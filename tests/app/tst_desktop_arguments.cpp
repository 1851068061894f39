#include "app/desktop_arguments.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

// What the program prints is text, whose lines end in CR LF on Windows.
static QByteArray textLines(QByteArray lines)
{
#ifdef Q_OS_WIN
    lines.replace("\n", "\r\n");
#endif
    return lines;
}

// How the desktop program reads the command line a file manager or a user gives it.
class TestDesktopArguments : public QObject
{
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("ignored");
        QTest::addColumn<QString>("flags"); // v: --version, h: --help, then the unknown option
        QTest::newRow("nothing") << QStringList {} << "" << QStringList {} << "";
        QTest::newRow("absolute") << QStringList {"/a/s.ofx"} << "/a/s.ofx" << QStringList {} << "";
        QTest::newRow("relative") << QStringList {"s.ofx"} << "/work/here/s.ofx" << QStringList {} << "";
        QTest::newRow("below") << QStringList {"in/s.qbo"} << "/work/here/in/s.qbo" << QStringList {} << "";
        QTest::newRow("missing stays as named")
            << QStringList {"../gone.ofx"} << "/work/here/../gone.ofx" << QStringList {} << "";
        QTest::newRow("several") << QStringList {"a.ofx", "/b.ofx", "c d.qfx"} << "/work/here/a.ofx"
                                 << QStringList {"/b.ofx", "c d.qfx"} << "";
        QTest::newRow("version") << QStringList {"--version"} << "" << QStringList {} << "v";
        QTest::newRow("help after a file")
            << QStringList {"a.ofx", "--help"} << "/work/here/a.ofx" << QStringList {} << "h";
        QTest::newRow("unknown") << QStringList {"-x", "--keep", "a.ofx"} << "/work/here/a.ofx" << QStringList {}
                                 << "-x";
        QTest::newRow("dash ends options")
            << QStringList {"--", "--version", "-"} << "/work/here/--version" << QStringList {"-"} << "";
        QTest::newRow("lone dash is a name") << QStringList {"-"} << "/work/here/-" << QStringList {} << "";
    }
    void parses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QStringList, ignored);
        QFETCH(QString, flags);
        const DesktopArguments read = parseDesktopArguments(arguments, "/work/here");
        QCOMPARE(read.file, file);
        QCOMPARE(read.ignored, ignored);
        const QString got = QString(read.version ? "v" : "") + (read.help ? "h" : "") + read.unknownOption;
        QCOMPARE(got, flags);
    }

    void namesTheIgnoredOnce()
    {
        QCOMPARE(ignoredArgumentsNotice({}), QString());
        QCOMPARE(ignoredArgumentsNotice({"b.ofx", "c d.qfx"}),
                 QString("scrivane: one statement at a time; not opened: 'b.ofx', 'c d.qfx'"));
    }

    // The program itself: the answers that need no window, and the notice for extra files, which
    // comes before the window opens (the program is then stopped, since it runs until closed).
    void programAnswers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status"); // -1: still running
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("version") << QStringList {"--version"} << 0
                                 << QByteArray("scrivane 1.03\nCopyright (c) 2026 The Scrivane developers\n"
                                               "MIT License: free to use, copy, change and share, without warranty.\n")
                                 << QByteArray();
        QTest::newRow("help") << QStringList {"--help"} << 0 << desktopUsage().toUtf8() << QByteArray();
        QTest::newRow("unknown") << QStringList {"--frobnicate", "s.ofx"} << 2 << QByteArray()
                                 << QByteArray("scrivane: unknown option '--frobnicate'\n"
                                               "Try 'scrivane --help' for more information.\n");
        QTest::newRow("several") << QStringList {"a.ofx", "b.ofx", "c.ofx"} << -1 << QByteArray()
                                 << QByteArray("scrivane: one statement at a time; not opened: 'b.ofx', 'c.ofx'\n");
    }
    void programAnswers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        out = textLines(out);
        err = textLines(err);
        QProcess program;
        // Qt warns on standard error when the session has no runtime folder of its own.
        QTemporaryDir runtime;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        program.setProcessEnvironment(environment);
        program.start(SCRIVANE_PROGRAM, arguments);
        QVERIFY(program.waitForStarted());
        if (status < 0) {
            QByteArray seen;
            QTRY_VERIFY_WITH_TIMEOUT((seen += program.readAllStandardError()).endsWith('\n'), 30000);
            QCOMPARE(seen, err);
            QCOMPARE(program.state(), QProcess::Running);
            program.kill();
        }
        QVERIFY(program.waitForFinished(30000));
        if (status >= 0)
            QCOMPARE(program.exitCode(), status);
        QCOMPARE(program.readAllStandardOutput(), out);
        if (status >= 0)
            QCOMPARE(program.readAllStandardError(), err);
    }
};

QTEST_GUILESS_MAIN(TestDesktopArguments)
#include "tst_desktop_arguments.moc"
