// Runs the real scrivane-clean on temporary files.
#include <QtTest>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray statement = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n"
                             "<OFX>\n<SIGNONMSGSRSV1>\n<SONRS>\n<STATUS>\n<CODE>0\n</STATUS>\n<LANGUAGE>ENG\n"
                             "</SONRS>\n</SIGNONMSGSRSV1>\n<CREDITCARDMSGSRSV1>\n<CCSTMTTRNRS>\n<CCSTMTRS>\n"
                             "<BANKTRANLIST>\n<STMTTRN>\n<TRNAMT>-5.00\n<NAME>POS PURCHASE #123456 BIGMART\n"
                             "<MEMO>x\n</STMTTRN>\n<STMTTRN>\n<TRNAMT>-1.00\n<NAME>CHECK 1234\n<MEMO>y\n"
                             "</STMTTRN>\n<STMTTRN>\n<NAME>AT&amp;T MOBILITY\n</STMTTRN>\n</BANKTRANLIST>\n"
                             "</CCSTMTRS>\n</CCSTMTTRNRS>\n</CREDITCARDMSGSRSV1>\n</OFX>\n";

// The statement as a clean under the default options leaves it: the line break
// after each name goes, "CHECK 1234" goes whole, and the element for a credit-card
// statement stands right before "</SONRS>".
QByteArray cleaned(const QByteArray& bankId)
{
    QByteArray out = statement;
    out.replace("<NAME>POS PURCHASE #123456 BIGMART\n", "<NAME>Pos Purchase Bigmart");
    out.replace("<NAME>CHECK 1234\n", "");
    out.replace("<NAME>AT&amp;T MOBILITY\n", "<NAME>At&amp;t Mobility");
    if (!bankId.isEmpty())
        out.replace("<LANGUAGE>ENG\n</SONRS>", "<LANGUAGE>ENG\n<INTU.BID>" + bankId + "</SONRS>");
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool started = false;
};

} // namespace

class TestScrivaneClean : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString config_;

    Result run(const QStringList& args, bool asNobody = false)
    {
        QProcess p;
        p.setWorkingDirectory(dir_.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config_);
        p.setProcessEnvironment(env);
        if (asNobody) {
            p.setChildProcessModifier([] {
                if (::getuid() == 0 && ::setgid(65534) == 0)
                    (void)::setuid(65534);
            });
        }
        p.start(QStringLiteral(SCRIVANE_BIN_DIR "/scrivane-clean"), args);
        if (!p.waitForFinished(60000))
            return {-1, {}, {}, p.error() != QProcess::FailedToStart};
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError(), true};
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QStringList entries() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        for (const QString& name : entries())
            QVERIFY(QFileInfo(path(name)).isDir() ? QDir(path(name)).removeRecursively() : QFile::remove(path(name)));
        config_ = path(".config");
        QVERIFY(QDir().mkpath(config_));
    }

    void cleansForEachTarget_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("bankId");
        QTest::newRow("quickbooks") << "quickbooks"
                                    << "card.QBO" << QByteArray("3106");
        QTest::newRow("quicken") << "quicken"
                                 << "card.QFX" << QByteArray("3000");
        QTest::newRow("other") << "other"
                               << "card.ofx" << QByteArray();
    }
    void cleansForEachTarget()
    {
        QFETCH(QString, target);
        QFETCH(QString, output);
        QFETCH(QByteArray, bankId);
        write(path("card.ofx"), statement);
        QVERIFY(QFile::setPermissions(path("card.ofx"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

        Result r = run({"--target", target, "card.ofx"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("card.ofx -> " + output.toUtf8() + "\n"));
        QCOMPARE(readAll(path(output)), cleaned(bankId));
        QCOMPARE(entries(), QStringList({".config", output}));
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path(output)).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0640u);
    }

    void stdoutGivesTheSameBytesAndChangesNothing()
    {
        write(path("card.ofx"), statement);
        Result r = run({"--stdout", "--target", "quicken", "card.ofx"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, cleaned("3000"));
        QCOMPARE(readAll(path("card.ofx")), statement);
        QCOMPARE(entries(), QStringList({".config", "card.ofx"}));
    }

    void listsNamesAsThePreviewDoes()
    {
        write(path("card.ofx"), statement);
        Result raw = run({"--list", "raw", "card.ofx"});
        QCOMPARE(raw.exitCode, 0);
        QCOMPARE(raw.out, QByteArray("POS PURCHASE #123456 BIGMART\nCHECK 1234\nAT&T MOBILITY\n"));
        Result clean = run({"--list", "clean", "card.ofx"});
        QCOMPARE(clean.out, QByteArray("Pos Purchase Bigmart\nAt&t Mobility\n"));
        QCOMPARE(readAll(path("card.ofx")), statement);
    }

    // The desktop program's stored choices apply; flags on the command line win
    // for this run only, and the store is never written.
    void storedOptionsAndOverrides()
    {
        const QByteArray ini = "[Prefs]\nquickenCompat=True\nnoCompat=False\nomitWords=PURCHASE\nmixedCase=0\n";
        write(config_ + "/Korvel Scrivane.ini", ini);
        write(path("card.ofx"), statement);

        Result stored = run({"--list", "clean", "card.ofx"});
        QCOMPARE(stored.out, QByteArray("POS BIGMART\nCHECK\nAT&T MOBILITY\n"));
        Result overridden = run({"--list", "clean", "--proper-case", "--omit-words", "check", "card.ofx"});
        QCOMPARE(overridden.out, QByteArray("Pos Purchase Bigmart\nAt&t Mobility\n"));

        Result cleanedRun = run({"card.ofx"});
        QCOMPARE(cleanedRun.exitCode, 0);
        QCOMPARE(cleanedRun.out, QByteArray("card.ofx -> card.QFX\n"));
        QVERIFY(readAll(path("card.QFX")).contains("<INTU.BID>3000</SONRS>"));
        QCOMPARE(readAll(config_ + "/Korvel Scrivane.ini"), ini);
    }

    // Every bad file gets its own line, changes nothing, and the good ones are
    // still cleaned.
    void failuresChangeNothing()
    {
        write(path("good.ofx"), statement);
        write(path("blocked.ofx"), statement);
        QVERIFY(QDir().mkdir(path("blocked.QFX")));
        QVERIFY(QDir().mkdir(path("folder.ofx")));
        write(path("star.ofx"), statement);

        Result r = run({"--target", "quicken", "missing.ofx", "folder.ofx", "st*.ofx", "blocked.ofx", "good.ofx"});
        QCOMPARE(r.exitCode, 1);
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].contains("missing.ofx"));
        QVERIFY(lines[1].contains("folder.ofx"));
        QVERIFY(lines[2].contains("st*.ofx"));
        QVERIFY(lines[3].contains("blocked.ofx") && lines[3].contains("blocked.QFX"));
        QCOMPARE(r.out, QByteArray("good.ofx -> good.QFX\n"));
        QCOMPARE(readAll(path("blocked.ofx")), statement);
        QCOMPARE(readAll(path("star.ofx")), statement);
        QVERIFY(QFileInfo(path("blocked.QFX")).isDir());
        QCOMPARE(entries(),
                 QStringList({".config", "blocked.QFX", "blocked.ofx", "folder.ofx", "good.QFX", "star.ofx"}));
    }

    void unreadableFileIsReportedAndKept()
    {
        write(path("locked.ofx"), statement);
        QVERIFY(QFile::setPermissions(path("locked.ofx"), QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777)));
        Result r = run({"--target", "quicken", "locked.ofx"}, true);
        QVERIFY(QFile::setPermissions(path("locked.ofx"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        // As root the program runs as "nobody", who may not reach a build folder
        // kept private; then there is no unprivileged user to test with.
        if (!r.started)
            QSKIP("scrivane-clean cannot be started as an unprivileged user here");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("locked.ofx") && r.err.contains("read"), r.err.constData());
        QCOMPARE(readAll(path("locked.ofx")), statement);
        QVERIFY(!QFile::exists(path("locked.QFX")));
    }

    void awkwardNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces and quotes") << "my \"june\" 'statement'.ofx";
        QTest::newRow("non-ASCII") << "relevé café.ofx";
        QTest::newRow("leading dash") << "-june.ofx";
    }
    void awkwardNames()
    {
        QFETCH(QString, name);
        write(path(name), statement);
        Result r = run({"--target", "quickbooks", "--", name});
        QCOMPARE(r.exitCode, 0);
        QString output = name.left(name.size() - 4) + ".QBO";
        QCOMPARE(r.out, QString(name + " -> " + output + "\n").toUtf8());
        QCOMPARE(readAll(path(output)), cleaned("3106"));
        QVERIFY(!QFile::exists(path(name)));
    }

    void usageErrorExitsTwo()
    {
        Result r = run({"--target", "excel", "a.ofx"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.startsWith("scrivane-clean: "));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(run({"--version"}).out, QByteArray("scrivane-clean 1.03\n"));
    }
};

QTEST_GUILESS_MAIN(TestScrivaneClean)
#include "tst_scrivane_clean.moc"
