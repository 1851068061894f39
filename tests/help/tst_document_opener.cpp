#include "platform/document_opener.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

// Whether the desktop can open a document depends on what the session has; the
// PATH stands in for the session here.
class TestDocumentOpener : public QObject
{
    Q_OBJECT

    QByteArray savedPath_;

private slots:
    void initTestCase()
    {
        if (QFile::exists(QStringLiteral("/.flatpak-info")))
            QSKIP("inside Flatpak the portal always opens documents");
        savedPath_ = qgetenv("PATH");
        qunsetenv("SNAP");
    }

    void cleanup() { qputenv("PATH", savedPath_); }

    void startsOnlyWithALauncher_data()
    {
        QTest::addColumn<bool>("withLauncher");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("starts");
        QTest::newRow("no launcher") << false << false << false;
        QTest::newRow("launcher not executable") << true << false << false;
        QTest::newRow("launcher") << true << true << true;
    }

    void startsOnlyWithALauncher()
    {
        QFETCH(bool, withLauncher);
        QFETCH(bool, executable);
        QFETCH(bool, starts);

        QTemporaryDir bin;
        if (withLauncher) {
            QFile launcher(bin.filePath(QStringLiteral("xdg-open")));
            QVERIFY(launcher.open(QIODevice::WriteOnly));
            launcher.write("#!/bin/sh\nexit 0\n");
            launcher.close();
            QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
            if (executable)
                permissions |= QFile::ExeOwner;
            QVERIFY(launcher.setPermissions(permissions));
        }
        qputenv("PATH", QFile::encodeName(bin.path()));

        DesktopDocumentOpener opener;
        QCOMPARE(opener.start(), starts);
    }
};

QTEST_APPLESS_MAIN(TestDocumentOpener)
#include "tst_document_opener.moc"
