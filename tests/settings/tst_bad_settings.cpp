// A settings file that is damaged, hand-edited or planted: reading it never
// crashes, and every setting comes out defined, the same for both programs.
#include "settings/user_settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

class TestBadSettings : public QObject
{
    Q_OBJECT

private slots:
    // Keys that can't be found read as absent, values that can't be text as empty, and a store that can't be read at
    // all as empty: no words, every name flag off. A target or filter that can't be read is its key's default.
    void damagedStoreGivesDefinedOptions_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: a folder stands in the file's place
        // The omit list; proper case, dates, numbers, repeat; the target (0 QuickBooks, 1 Quicken, 2 Other); the
        // filter.
        QTest::addColumn<QString>("options");
        const QByteArray words = QByteArray("ACME STORE ").repeated(1 << 20).trimmed();
        QTest::newRow("garbage") << QByteArray("not settings\n{{{ }}}\n=\n[\n") << "CHECK REF|1111|2|1";
        QTest::newRow("binary") << QByteArray("\x00\xff\x01[=\n\x80", 7).repeated(9000) << "CHECK REF|1111|2|1";
        QTest::newRow("huge list") << "[Prefs]\nomitWords=" + words + "\n" << QString(words + "|1111|2|1");
        QTest::newRow("no truth values") << QByteArray("[Prefs]\nmixedCase=abc\nremoveDates=yes\nremoveNumbers=2\n")
                                         << "CHECK REF|0011|2|1";
        QTest::newRow("truth words") << QByteArray("[Prefs]\nmixedCase=\nremoveDates=FALSE\nremoveNumbers=true\n")
                                     << "CHECK REF|0011|2|1";
        // Other's key can't be read, so it is on, as it is while absent; so is its option button in the window.
        QTest::newRow("QuickBooks, Other unreadable")
            << QByteArray("[Prefs]\nquickbooksCompat=True\nnoCompat=maybe\nfileTypeSelected=3\n")
            << "CHECK REF|1111|2|3";
        QTest::newRow("the later true wins") << QByteArray("[Prefs]\nquickbooksCompat=1\nquickenCompat=True\n"
                                                           "noCompat=False\nfileTypeSelected=5\n")
                                             << "CHECK REF|1111|1|1";
        QTest::newRow("wrong types") << QByteArray("[Prefs]\nomitWords=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x13zz)\n"
                                                   "mixedCase=@Rect(1 2 3 4)\nremoveDates=@Variant(\n")
                                     << "|0011|2|1";
        QTest::newRow("unreadable: a folder") << QByteArray() << "|0000|2|1";
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
        const StoredSettings stored = readSettings(UserSettings(path));
        const NameOptions& read = stored.names;
        QCOMPARE(QString::fromStdString(read.omitWords)
                     + QString::asprintf("|%d%d%d%d|%d|%d",
                                         read.mixedCase,
                                         read.removeDates,
                                         read.removeNumbers,
                                         read.removeRepeat,
                                         int(stored.window.target()),
                                         stored.window.fileTypeSelected),
                 options);
    }
};

QTEST_APPLESS_MAIN(TestBadSettings)
#include "tst_bad_settings.moc"
