#include "settings/user_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace scrivane;

class TestUserSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString ini_;
    int run_ = 0;

private slots:
    void init() { ini_ = dir_.filePath(QString::number(++run_)); }

    // Written by one store object and read by another, so each value must have reached the disk.
    void valuesComeBackAsWritten_data()
    {
        QTest::addColumn<SettingValue>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("true") << SettingValue(true) << "True";
        QTest::newRow("three") << SettingValue(3LL) << "3";
        // Separated by "|", the first one empty.
        for (const QString& text :
             QString("|a\r\nb\nc|a, b ,c|@foo|=a=b=|\"quoted\" 'single'|[Prefs]|Café – 日本 €").split('|'))
            QTest::newRow(qPrintable(text)) << SettingValue(text.toStdString()) << text;
    }
    void valuesComeBackAsWritten()
    {
        QFETCH(SettingValue, value);
        QFETCH(QString, text);
        QVERIFY(UserSettings(ini_).saveUserSetting("k", value));
        QCOMPARE(QString::fromStdString(UserSettings(ini_).getUserSetting("k", std::string("default"))), text);
    }

    // A missing key reads as the default in text form, and keys written together come back; a folder or a FIFO where
    // the file goes reads empty at once, takes no write and stays as it is.
    void missingOrUnusableStore_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("folder") << false;
#ifndef Q_OS_WIN
        QTest::newRow("FIFO") << true;
#endif
    }
    void missingOrUnusableStore()
    {
        QFETCH(bool, fifo);
        QCOMPARE(UserSettings(ini_).getUserSetting("k", true) + UserSettings(ini_).getUserSetting("k", 1LL), "True1");
        QVERIFY(UserSettings(ini_).usable().ok());
        QVERIFY(UserSettings(ini_).saveUserSettings({{"a", "1"}, {"b", "x y"}}));
        QCOMPARE(UserSettings(ini_).getUserSetting("a", 0LL) + UserSettings(ini_).getUserSetting("b", 0LL), "1x y");
        QVERIFY(QFile::remove(ini_));
#ifndef Q_OS_WIN
        QVERIFY(fifo ? ::mkfifo(QFile::encodeName(ini_).constData(), 0600) == 0 : QDir().mkpath(ini_));
#else
        QVERIFY(!fifo && QDir().mkpath(ini_));
#endif
        QVERIFY(!UserSettings(ini_).usable().ok());
        QVERIFY(!UserSettings(ini_).saveUserSetting("k", std::string("x")));
        QVERIFY(!UserSettings(ini_).saveUserSettings({{"k", "x"}, {"j", "y"}}));
        QCOMPARE(UserSettings(ini_).getUserSetting("k", std::string("default")), std::string());
        QVERIFY(QFileInfo(ini_).exists() && !QFileInfo(ini_).isFile());
    }

#ifndef Q_OS_WIN // no fork() there
    // Two running copies write different keys at once, each through an object made before the other started.
    void twoCopiesKeepEachOthersKeys()
    {
        const UserSettings early(ini_);
        const pid_t child = fork();
        for (int i = 0; i < 40; ++i)
            early.saveUserSetting((child ? "parent" : "child") + std::to_string(i), static_cast<long long>(i));
        if (child == 0)
            _exit(0);
        QCOMPARE(waitpid(child, nullptr, 0), child);
        for (int i = 0; i < 40; ++i) {
            const std::string key = std::to_string(i);
            QCOMPARE(early.getUserSetting("parent" + key, -1LL) + early.getUserSetting("child" + key, -1LL), key + key);
        }
    }
#endif
};

QTEST_APPLESS_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
