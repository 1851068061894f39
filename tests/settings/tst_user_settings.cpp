#include "settings/user_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace scrivane;

class TestUserSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString ini_;

    static void writeRaw(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    void init()
    {
        static int n = 0;
        ini_ = dir_.filePath(QStringLiteral("store%1.ini").arg(++n));
    }

    void missingKeyGivesDefaultAsText()
    {
        UserSettings store(ini_);
        QVERIFY(store.saveUserSetting("other", true)); // the section exists, the key does not
        QCOMPARE(store.getUserSetting("k", true), std::string("True"));
        QCOMPARE(store.getUserSetting("k", 1LL), std::string("1"));
        QCOMPARE(store.getUserSetting("k", std::string("CHECK REF")), std::string("CHECK REF"));
    }

    // Booleans and numbers are stored in their text form under [Prefs]; text of
    // any kind comes back exactly as written, also through a second object.
    void valuesComeBackAsWritten_data()
    {
        QTest::addColumn<SettingDefault>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("true") << SettingDefault(true) << "True";
        QTest::newRow("false") << SettingDefault(false) << "False";
        QTest::newRow("three") << SettingDefault(3LL) << "3";
        const char* texts[] = {"",
                               "first\r\nsecond\nthird",
                               "CHECK,REF",
                               "a, b ,c",
                               "@foo",
                               "@@x",
                               "@ByteArray(abc)",
                               "=a=b=",
                               "\"quoted\" 'single'",
                               ";x #y",
                               "C:\\Users\\me",
                               "  padded  ",
                               "[Prefs]",
                               "Café Zürich – 日本 €"};
        for (const char* text : texts)
            QTest::newRow(text) << SettingDefault(std::string(text)) << QString::fromUtf8(text);
    }
    void valuesComeBackAsWritten()
    {
        QFETCH(SettingDefault, value);
        QFETCH(QString, text);
        QVERIFY(UserSettings(ini_).saveUserSetting("k", value));
        QCOMPARE(QString::fromStdString(UserSettings(ini_).getUserSetting("k", std::string("default"))), text);
        QFile file(ini_);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().startsWith("[Prefs]\n"));
    }

    void defaultLocationIsPerUser()
    {
        UserSettings store;
        QCOMPARE(store.fileName(), qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Korvel Scrivane.ini"));
        QVERIFY(store.saveUserSetting("noCompat", true));
        QVERIFY(QFile::remove(store.fileName()));
    }

    void folderInPlaceOfTheFileFailsQuietly()
    {
        QVERIFY(QDir().mkpath(ini_));
        UserSettings store(ini_);
        QVERIFY(!store.saveUserSetting("fileName", std::string("x")));
        QCOMPARE(store.getUserSetting("fileName", std::string("default")), std::string());
    }

    // Damaged files never crash a read nor make up a value; the next write
    // goes through and leaves a file that reads back.
    void damagedFileIsSurvived_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(static_cast<char>((i * 37) % 256));
        QTest::newRow("binary") << binary;
        QTest::newRow("binary in the section") << QByteArray("[Prefs]\n") + binary;
        QTest::newRow("garbage lines") << QByteArray("[Prefs\n\x01\x02 [[[ \"\"\" \\\n=====\n");
        QTest::newRow("bad variant") << QByteArray("[Prefs]\nfileName=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x13zz)\n");
        QTest::newRow("wrong type") << QByteArray("[Prefs]\nfileName=@Rect(1 2 3 4)\n");
        QTest::newRow("huge value") << QByteArray("[Prefs]\nfileName=") + QByteArray(8 << 20, 'x') + "\n";
    }
    void damagedFileIsSurvived()
    {
        QFETCH(QByteArray, content);
        writeRaw(ini_, content);
        UserSettings store(ini_);
        QVERIFY(store.getUserSetting("fileName", std::string()).size() <= static_cast<std::size_t>(content.size()));
        QCOMPARE(store.getUserSetting("removeDates", 1LL), std::string("1"));
        QVERIFY(store.saveUserSetting("fileName", std::string("a,b")));
        QCOMPARE(UserSettings(ini_).getUserSetting("fileName", std::string()), std::string("a,b"));
    }

    void handWrittenListReadsAsText()
    {
        writeRaw(ini_, "[Prefs]\nomitWords=CHECK,REF\n");
        QCOMPARE(UserSettings(ini_).getUserSetting("omitWords", std::string()), std::string("CHECK,REF"));
    }

    // Two running copies, the first with the file already loaded, write
    // different keys at the same time: no key is lost.
    void twoCopiesKeepEachOthersKeys()
    {
        UserSettings first(ini_);
        QVERIFY(first.saveUserSetting("quickenCompat", true));
        pid_t child = fork();
        QVERIFY(child >= 0);
        const std::string prefix = child == 0 ? "second" : "first";
        bool ok = true;
        for (int i = 0; i < 40; ++i)
            ok = UserSettings(ini_).saveUserSetting(prefix + std::to_string(i), static_cast<long long>(i)) && ok;
        if (child == 0)
            _exit(ok ? 0 : 1);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(ok && WIFEXITED(status) && WEXITSTATUS(status) == 0);
        for (int i = 0; i < 40; ++i) {
            QCOMPARE(first.getUserSetting("first" + std::to_string(i), -1LL), std::to_string(i));
            QCOMPARE(first.getUserSetting("second" + std::to_string(i), -1LL), std::to_string(i));
        }
        QCOMPARE(first.getUserSetting("quickenCompat", false), std::string("True"));
    }
};

QTEST_APPLESS_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
