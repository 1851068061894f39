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

private:
    QTemporaryDir dir_;
    QString iniPath() const { return dir_.filePath(QStringLiteral("store.ini")); }

    static void writeRaw(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    static QByteArray readRaw(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QFile::remove(iniPath());
        QDir(iniPath()).removeRecursively();
    }

    void missingKeyGivesDefaultAsText_data()
    {
        QTest::addColumn<SettingDefault>("defaultValue");
        QTest::addColumn<QString>("expected");
        QTest::newRow("true") << SettingDefault(true) << "True";
        QTest::newRow("false") << SettingDefault(false) << "False";
        QTest::newRow("one") << SettingDefault(1LL) << "1";
        QTest::newRow("negative") << SettingDefault(-12LL) << "-12";
        QTest::newRow("text") << SettingDefault(std::string("<enter or select a file to clean>"))
                              << "<enter or select a file to clean>";
    }
    void missingKeyGivesDefaultAsText()
    {
        QFETCH(SettingDefault, defaultValue);
        QFETCH(QString, expected);
        UserSettings store(iniPath());
        QVERIFY(store.saveUserSetting("other", true)); // the section exists, the key does not
        QCOMPARE(QString::fromStdString(store.getUserSetting("neverWritten", defaultValue)), expected);
    }

    // Values stored as text in the form the rest of the program reads back, under
    // the application's section.
    void storesValuesInTheirTextForm_data()
    {
        QTest::addColumn<SettingDefault>("value");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("true") << SettingDefault(true) << QByteArray("k=True");
        QTest::newRow("false") << SettingDefault(false) << QByteArray("k=False");
        QTest::newRow("three") << SettingDefault(3LL) << QByteArray("k=3");
        QTest::newRow("text") << SettingDefault(std::string("CHECK REF")) << QByteArray("k=CHECK REF");
    }
    void storesValuesInTheirTextForm()
    {
        QFETCH(SettingDefault, value);
        QFETCH(QByteArray, line);
        UserSettings store(iniPath());
        QVERIFY(store.saveUserSetting("k", value));
        QByteArray raw = readRaw(iniPath());
        QVERIFY2(raw.startsWith("[Prefs]\n"), raw.constData());
        QVERIFY2(raw.split('\n').contains(line), raw.constData());
        QCOMPARE(store.getUserSetting("k", std::string("default")), settingText(value));
    }

    void textComesBackIdentical_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("line breaks") << "first\r\nsecond\nthird\r";
        QTest::newRow("comma") << "CHECK,REF";
        QTest::newRow("comma and space") << "a, b ,c";
        QTest::newRow("leading at") << "@foo";
        QTest::newRow("variant lookalike") << "@Variant(\\0\\0\\0\\x7f)";
        QTest::newRow("bytes lookalike") << "@ByteArray(abc)";
        QTest::newRow("double at") << "@@x";
        QTest::newRow("equals") << "=a=b=";
        QTest::newRow("quotes") << "\"quoted\" and 'single'";
        QTest::newRow("semicolon and hash") << ";x #y";
        QTest::newRow("backslashes") << "C:\\Users\\me\\statement.ofx";
        QTest::newRow("surrounding spaces") << "  padded  ";
        QTest::newRow("section lookalike") << "[Prefs]";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Café Zürich – 日本 €");
        QTest::newRow("tab") << "a\tb";
    }
    void textComesBackIdentical()
    {
        QFETCH(QString, text);
        UserSettings writer(iniPath());
        QVERIFY(writer.saveUserSetting("fileName", text.toStdString()));
        // A second object on the same file reads what the first one wrote.
        UserSettings reader(iniPath());
        QCOMPARE(QString::fromStdString(reader.getUserSetting("fileName", std::string("default"))), text);
    }

    void defaultLocationIsPerUser()
    {
        QByteArray config = qgetenv("XDG_CONFIG_HOME");
        QVERIFY(!config.isEmpty());
        UserSettings store;
        QCOMPARE(store.fileName(), QString::fromLocal8Bit(config) + QStringLiteral("/Korvel Scrivane.ini"));
        QFile::remove(store.fileName());
        QVERIFY(store.saveUserSetting("noCompat", true));
        QVERIFY(readRaw(store.fileName()).contains("noCompat=True"));
        QVERIFY(QFile::remove(store.fileName()));
    }

    void folderInPlaceOfTheFileFailsQuietly()
    {
        QVERIFY(QDir().mkpath(iniPath()));
        UserSettings store(iniPath());
        QVERIFY(!store.saveUserSetting("fileName", std::string("x")));
        QCOMPARE(store.getUserSetting("fileName", std::string("default")), std::string());
        QCOMPARE(store.getUserSetting("noCompat", true), std::string());
        QVERIFY(QFileInfo(iniPath()).isDir());
    }

    // Hand-edited or damaged files: reading never crashes and never invents a
    // value; a write still goes through and leaves a file that reads back.
    void damagedFileIsSurvived_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(static_cast<char>((i * 37) % 256));
        QTest::newRow("binary") << binary;
        QTest::newRow("binary after section") << QByteArray("[Prefs]\n") + binary;
        QTest::newRow("unterminated section") << QByteArray("[Prefs\nfileName=x\n");
        QTest::newRow("garbage lines") << QByteArray("[Prefs]\n\x01\x02 [[[ \"\"\" \\\n=====\n");
        QTest::newRow("bad variant") << QByteArray("[Prefs]\nfileName=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x13zz)\n");
        QTest::newRow("wrong type") << QByteArray("[Prefs]\nfileName=@Rect(1 2 3 4)\n");
        QTest::newRow("invalid UTF-8") << QByteArray("[Prefs]\nfileName=\xff\xfe\xc3\n");
        QTest::newRow("huge value") << QByteArray("[Prefs]\nfileName=") + QByteArray(8 << 20, 'x') + "\n";
    }
    void damagedFileIsSurvived()
    {
        QFETCH(QByteArray, content);
        writeRaw(iniPath(), content);
        UserSettings store(iniPath());
        std::string read = store.getUserSetting("fileName", std::string("default"));
        QVERIFY(read.size() <= static_cast<std::size_t>(content.size()));
        QCOMPARE(store.getUserSetting("removeDates", 1LL), std::string("1"));
        QVERIFY(store.saveUserSetting("fileName", std::string("a,b")));
        QCOMPARE(UserSettings(iniPath()).getUserSetting("fileName", std::string("default")), std::string("a,b"));
    }

    void unquotedListReadsAsText()
    {
        writeRaw(iniPath(), "[Prefs]\nomitWords=CHECK,REF\n");
        QCOMPARE(UserSettings(iniPath()).getUserSetting("omitWords", std::string()), std::string("CHECK,REF"));
    }

    // Two running copies, each with the file already loaded, write different keys:
    // neither key is lost.
    void twoCopiesKeepEachOthersKeys()
    {
        UserSettings first(iniPath());
        QVERIFY(first.saveUserSetting("quickenCompat", true));
        QCOMPARE(first.getUserSetting("quickenCompat", false), std::string("True"));

        pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            UserSettings second(iniPath());
            bool ok = true;
            for (int i = 0; i < 40; ++i)
                ok = second.saveUserSetting("second" + std::to_string(i), static_cast<long long>(i)) && ok;
            _exit(ok ? 0 : 1);
        }
        bool ok = true;
        for (int i = 0; i < 40; ++i)
            ok = first.saveUserSetting("first" + std::to_string(i), static_cast<long long>(i)) && ok;
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(ok);

        UserSettings reader(iniPath());
        for (int i = 0; i < 40; ++i) {
            QCOMPARE(reader.getUserSetting("first" + std::to_string(i), -1LL), std::to_string(i));
            QCOMPARE(reader.getUserSetting("second" + std::to_string(i), -1LL), std::to_string(i));
        }
        QCOMPARE(reader.getUserSetting("quickenCompat", false), std::string("True"));
    }
};

QTEST_APPLESS_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
