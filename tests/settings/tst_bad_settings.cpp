// A settings file that is damaged, hand-edited or planted: the store never
// crashes and reads defined texts, the name options come out defined, and
// scrivane-clean still cleans with exactly those options.
#include "names/name_options.h"
#include "settings/user_settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

namespace {

const QByteArray statement = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>\n<SIGNONMSGSRSV1>\n<SONRS>\n<STATUS>\n"
                             "<CODE>0\n</STATUS>\n</SONRS>\n</SIGNONMSGSRSV1>\n<BANKTRANLIST>\n<STMTTRN>\n"
                             "<NAME>ACME ACME STORE 1234\n</STMTTRN>\n<STMTTRN>\n<NAME>CHECK 06/14/2024\n"
                             "</STMTTRN>\n<STMTTRN>\n<NAME>B AND A\n</STMTTRN>\n</BANKTRANLIST>\n</OFX>\n";

const QStringList desktopKeys = {"quickbooksCompat",
                                 "quickenCompat",
                                 "noCompat",
                                 "fileName",
                                 "fileTypeSelected",
                                 "omitWords",
                                 "mixedCase",
                                 "removeDates",
                                 "removeNumbers",
                                 "removeRepeat"};

QByteArray binaryBytes(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>(i % 5 == 0 ? 0 : i % 7 == 0 ? 0xff : (i * 31) % 256));
    return bytes;
}

// A 10 MB list of words that the statement does not hold, with ACME among them.
QByteArray hugeOmitList()
{
    QByteArray words;
    words.reserve(10 << 20);
    for (int i = 0; words.size() < (10 << 20); ++i) {
        words += "W" + QByteArray::number(i) + ' ';
        if (i == 500000)
            words += "ACME ";
    }
    return words;
}

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runClean(const QStringList& args, const QString& folder, const QString& configHome)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SCRIVANE_BIN_DIR "/scrivane-clean"), args);
    Run run;
    run.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class TestBadSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    QString iniPath() const { return UserSettings().fileName(); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(!qgetenv("XDG_CONFIG_HOME").isEmpty());
        QVERIFY(iniPath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
        QVERIFY(QDir().mkpath(dir_.filePath("empty-config")));
    }

    void init()
    {
        QFile::remove(iniPath());
        QDir(iniPath()).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(iniPath()).path()));
    }

    // Each store is read the way the rules say, and scrivane-clean cleans with
    // the same options as a run given them on its command line (or, where no
    // command line can carry them, with options that act the same on this
    // statement).
    void damagedStoreReadsDefinedOptions_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty with folderInstead: a folder stands there
        QTest::addColumn<bool>("folderInstead");
        QTest::addColumn<QString>("omitWords");
        QTest::addColumn<QString>("flags"); // proper case, dates, numbers, repeat as 1/0
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("sameAs");

        const QStringList defaults = {"--omit-words", "CHECK REF", "--target", "other"};
        QTest::newRow("garbage") << QByteArray("this is not a settings file\n{{{ }}}\n=\n[\n") << false << "CHECK REF"
                                 << "1111"
                                 << "other" << defaults;
        QTest::newRow("binary") << binaryBytes(64 * 1024) << false << "CHECK REF"
                                << "1111"
                                << "other" << defaults;
        QTest::newRow("empty file") << QByteArray() << false << "CHECK REF"
                                    << "1111"
                                    << "other" << defaults;
        // A store that cannot be read at all reads empty: no words, every flag off.
        QTest::newRow("folder in its place") << QByteArray() << true << ""
                                             << "0000"
                                             << "other"
                                             << QStringList {"--omit-words",
                                                             "",
                                                             "--no-proper-case",
                                                             "--no-remove-dates",
                                                             "--no-remove-numbers",
                                                             "--no-remove-repeat",
                                                             "--target",
                                                             "other"};
        // Binary bytes inside the section spoil their own lines only.
        QTest::newRow("binary lines in the section")
            << QByteArray("[Prefs]\nremoveNumbers=0\n") + binaryBytes(4096).replace('=', '-').replace('[', '(')
                + "\nquickenCompat=True\nnoCompat=False\nomitWords=STORE\n"
            << false << "STORE"
            << "1101"
            << "quicken" << QStringList {"--omit-words", "STORE", "--no-remove-numbers", "--target", "quicken"};
        QTest::newRow("flags that are no truth value")
            << QByteArray("[Prefs]\nmixedCase=abc\nremoveDates=yes\nremoveNumbers=2\nremoveRepeat=\" FALSE \"\n")
            << false << "CHECK REF"
            << "0010"
            << "other"
            << QStringList {"--omit-words",
                            "CHECK REF",
                            "--no-proper-case",
                            "--no-remove-dates",
                            "--no-remove-repeat",
                            "--target",
                            "other"};
        // Values QSettings would take for stored objects: what can't be text reads empty.
        QTest::newRow("variant junk") << QByteArray(
            "[Prefs]\nomitWords=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x13zz)\nmixedCase=@Variant(\n"
            "quickbooksCompat=@Rect(1 2 3 4)\nquickenCompat=1\nnoCompat=@Variant(\\0)\n")
                                      << false << ""
                                      << "0111"
                                      << "quicken"
                                      << QStringList {"--omit-words", "", "--no-proper-case", "--target", "quicken"};
        QTest::newRow("bytes with a NUL")
            << QByteArray("[Prefs]\nomitWords=@ByteArray(AB\\0CD)\n") << false << QStringLiteral("AB") + QChar(0) + "CD"
            << "1111"
            << "other" << QStringList {"--omit-words", "ZZZ", "--target", "other"};
        QTest::newRow("huge list") << QByteArray("[Prefs]\nomitWords=") + hugeOmitList() + "\n"
                                   << false << QString::fromLatin1(hugeOmitList().trimmed()) << "1111"
                                   << "other" << QStringList {"--omit-words", "ACME", "--target", "other"};
    }
    void damagedStoreReadsDefinedOptions()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, folderInstead);
        QFETCH(QString, omitWords);
        QFETCH(QString, flags);
        QFETCH(QString, target);
        QFETCH(QStringList, sameAs);
        if (folderInstead) {
            QVERIFY(QDir().mkpath(iniPath()));
        } else {
            QFile file(iniPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), content.size());
        }

        const UserSettings store;
        const NameOptions options = readNameOptions(store);
        QCOMPARE(QString::fromStdString(options.omitWords), omitWords);
        const QString read = QString::number(options.mixedCase) + QString::number(options.removeDates)
            + QString::number(options.removeNumbers) + QString::number(options.removeRepeat);
        QCOMPARE(read, flags);
        // Every key the desktop program reads gives a text that never holds more
        // than the file, and the same text twice.
        for (const QString& key : desktopKeys) {
            const std::string text = store.getUserSetting(key.toStdString(), std::string("default"));
            QVERIFY(text == "default" || text.size() <= static_cast<std::size_t>(content.size()));
            if (key != "omitWords")
                QCOMPARE(store.getUserSetting(key.toStdString(), std::string("default")), text);
        }

        const QString folder = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(QDir().mkpath(folder));
        QFile input(folder + "/s.ofx");
        QVERIFY(input.open(QIODevice::WriteOnly));
        QCOMPARE(input.write(statement), statement.size());
        input.close();
        const QString config = QFileInfo(iniPath()).path();
        Run stored = runClean({"--stdout", "s.ofx"}, folder, config);
        Run given = runClean(
            QStringList {"--stdout"} + sameAs + QStringList {"s.ofx"}, folder, dir_.filePath("empty-config"));
        QVERIFY(stored.finished && given.finished);
        QCOMPARE(stored.exitCode, 0);
        QCOMPARE(given.exitCode, 0);
        QCOMPARE(stored.out, given.out);

        // And a real clean lands under the stored target's name.
        Run cleaned = runClean({"s.ofx"}, folder, config);
        QVERIFY(cleaned.finished);
        QCOMPARE(cleaned.exitCode, 0);
        const QString output = target == "quicken" ? "s.QFX" : "s.ofx";
        QFile result(folder + "/" + output);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), given.out);
    }

    // An unquoted comma makes QSettings read a list; the words must survive as
    // one defined text.
    void listReadsAsOneText()
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("[Prefs]\nomitWords=ACME, STORE\nfileName=a,b,c\n") > 0);
        file.close();
        const UserSettings store;
        const QString omit = QString::fromStdString(store.getUserSetting("omitWords", std::string()));
        QVERIFY2(omit.startsWith("ACME,") && omit.endsWith("STORE"), qPrintable(omit));
        QCOMPARE(store.getUserSetting("fileName", std::string()), std::string("a,b,c"));
    }
};

QTEST_GUILESS_MAIN(TestBadSettings)
#include "tst_bad_settings.moc"
