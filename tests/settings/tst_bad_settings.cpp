// A settings file that is damaged, hand-edited or planted: reading it never
// crashes, and the name options come out defined.
#include "names/name_options.h"
#include "settings/user_settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

class TestBadSettings : public QObject
{
    Q_OBJECT

private slots:
    // Keys that can't be found read as absent, values that can't be text as empty,
    // and a store that can't be read at all as empty: no words, every flag off.
    void damagedStoreGivesDefinedOptions_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: a folder stands in the file's place
        QTest::addColumn<QString>("options"); // the omit list, then proper case, dates, numbers, repeat
        const QByteArray words = QByteArray("ACME STORE ").repeated(1 << 20).trimmed();
        QTest::newRow("garbage") << QByteArray("not settings\n{{{ }}}\n=\n[\n") << "CHECK REF|1111";
        QTest::newRow("binary") << QByteArray("\x00\xff\x01[=\n\x80", 7).repeated(9000) << "CHECK REF|1111";
        QTest::newRow("huge list") << "[Prefs]\nomitWords=" + words + "\n" << QString(words + "|1111");
        QTest::newRow("no truth values") << QByteArray("[Prefs]\nmixedCase=abc\nremoveDates=yes\nremoveNumbers=2\n")
                                         << "CHECK REF|0011";
        QTest::newRow("wrong types") << QByteArray("[Prefs]\nomitWords=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x13zz)\n"
                                                   "mixedCase=@Rect(1 2 3 4)\nremoveDates=@Variant(\n")
                                     << "|0011";
        QTest::newRow("unreadable: a folder") << QByteArray() << "|0000";
    }
    void damagedStoreGivesDefinedOptions()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, options);
        QTemporaryDir dir;
        const QString path = dir.filePath("Korvel Scrivane.ini");
        QFile file(path);
        QVERIFY(content.isEmpty() ? QDir().mkpath(path) : file.open(QIODevice::WriteOnly) && file.write(content) > 0);
        file.close();
        const NameOptions read = readNameOptions(UserSettings(path));
        QCOMPARE(QString::fromStdString(read.omitWords)
                     + QString::asprintf(
                         "|%d%d%d%d", read.mixedCase, read.removeDates, read.removeNumbers, read.removeRepeat),
                 options);
    }
};

QTEST_APPLESS_MAIN(TestBadSettings)
#include "tst_bad_settings.moc"
