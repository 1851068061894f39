#include "support/test_files.h"

#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

// The statement types that the installed MIME package adds, as a desktop that
// reads it (here Qt's own database) tells them apart: by extension first, by the
// OFX 1 header when the name says nothing. (Qt lets "<?xml" decide for an OFX 2
// file without extension; the install check asks GIO about that one.)
class TestFileTypes : public QObject
{
    Q_OBJECT

private slots:
    void recognises_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        const QByteArray sgml = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX>\r\n<SIGNONMSGSRSV1>\r\n";
        const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<?OFX OFXHEADER=\"200\" VERSION=\"220\" SECURITY=\"NONE\"?>\n<OFX>\n";
        QTest::newRow("ofx") << "s.ofx" << sgml << "application/x-ofx";
        QTest::newRow("OFX") << "S.OFX" << sgml << "application/x-ofx";
        QTest::newRow("qfx") << "s.qfx" << sgml << "application/vnd.intu.qfx";
        QTest::newRow("QBO") << "s.QBO" << sgml << "application/vnd.intu.qbo";
        QTest::newRow("header, no extension") << "download" << sgml << "application/x-ofx";
        QTest::newRow("header, other extension") << "download.dat" << sgml << "application/x-ofx";
        QTest::newRow("OFX 2") << "s.ofx" << xml << "application/x-ofx";
        QTest::newRow("text") << "notes" << QByteArray("OFX is a format\n") << "text/plain";
    }
    void recognises()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(name), content));
        QCOMPARE(QMimeDatabase().mimeTypeForFile(dir.filePath(name)).name(), type);
    }

    void statementsAreOfx()
    {
        QMimeDatabase db;
        for (const char* name : {"application/vnd.intu.qfx", "application/vnd.intu.qbo"})
            QVERIFY2(db.mimeTypeForName(name).inherits("application/x-ofx"), name);
        QVERIFY(db.mimeTypeForName("application/x-ofx").inherits("text/plain"));
    }
};

QTEST_APPLESS_MAIN(TestFileTypes)
#include "tst_file_types.moc"
