#include "help/help_document.h"
#include "platform/message_box.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

namespace {

// Records what it was asked to open instead of starting anything.
struct FakeOpener : DocumentOpener
{
    bool starts = true;
    QStringList opened;

    bool start() override { return starts; }
    void open(const QString& path) override { opened.append(path); }
};

bool touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("{\\rtf1 }") > 0;
}

} // namespace

class TestHelpDocument : public QObject
{
    Q_OBJECT

private slots:
    void documentsOfTheFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("guide beside a help-for document")
            << QStringList {"Guide.doc", "Help for Other.doc"} << QStringList {"Guide.doc"};
        QTest::newRow("letter case counts") << QStringList {"help for guide.doc"} << QStringList {"help for guide.doc"};
        QTest::newRow("help-for anywhere")
            << QStringList {"Old Help for Me.doc", "Help forms.doc", "Help For.doc"} << QStringList {"Help For.doc"};
        QTest::newRow("two documents") << QStringList {"A.doc", "B.doc", "c.txt"} << QStringList {"A.doc", "B.doc"};
        QTest::newRow("only help-for") << QStringList {"Help for Other.doc"} << QStringList {};
        QTest::newRow("none") << QStringList {"readme.txt"} << QStringList {};
        QTest::newRow("near misses") << QStringList {"G.docx", "G.DOC", "G.doc.bak", ".Hidden.doc"} << QStringList {};
    }
    void documentsOfTheFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        for (const QString& name : files)
            QVERIFY(touch(dir.filePath(name)));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Folder.doc")));

        MessageRecorder messages;
        FakeOpener opener;
        QCOMPARE(openHelpDocument(opener, dir.path()), expected.size());
        for (QString& name : expected)
            name = dir.path() + u'/' + name;
        opener.opened.sort();
        QCOMPARE(opener.opened, expected);

        if (expected.isEmpty()) {
            QCOMPARE(messages.messages().size(), 1);
            const ShownMessage& shown = messages.messages().first();
            QCOMPARE(shown.text,
                     QStringLiteral("Did not find the documentation file.\r\n\r\n"
                                    "Please open the document file '''' manually."));
            QCOMPARE(shown.icon, MessageIcon::Critical);
            QCOMPARE(shown.title, QStringLiteral("Scrivane"));
        } else {
            QVERIFY(messages.messages().isEmpty());
        }
    }

    void launchFailureSaysWhereToLook()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("Guide.doc"))));
        MessageRecorder messages;
        FakeOpener opener;
        opener.starts = false;
        QCOMPARE(openHelpDocument(opener, dir.path()), 0);
        QVERIFY(opener.opened.isEmpty());
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().first().text,
                 "Unable to launch MS Word. Please open the documentation file manually from " + dir.path() + ".");
        QCOMPARE(messages.messages().first().icon, MessageIcon::None);
    }

    // The desktop opener starts only where something can open a document; the
    // PATH stands in for the session.
    void desktopOpenerNeedsALauncher()
    {
        if (QFile::exists(QStringLiteral("/.flatpak-info")))
            QSKIP("inside Flatpak the portal always opens documents");
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir bin;
        qputenv("PATH", QFile::encodeName(bin.path()));
        qunsetenv("SNAP");
        DesktopDocumentOpener opener;
        const bool without = opener.start();
        QFile launcher(bin.filePath(QStringLiteral("xdg-open")));
        const bool with
            = launcher.open(QIODevice::WriteOnly) && launcher.setPermissions(QFile::ExeOwner) && opener.start();
        qputenv("PATH", path);
        QVERIFY(!without && with);
    }

    // The build puts the guide beside the programs, where Help looks for it.
    void theProgramFolderHoldsTheGuide()
    {
        QFile copy(QStringLiteral(SCRIVANE_BIN_DIR "/Scrivane User Guide.doc"));
        QFile source(QStringLiteral(SCRIVANE_GUIDE_SOURCE));
        QVERIFY(copy.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
        QVERIFY(copy.readAll() == source.readAll());
        MessageRecorder messages;
        FakeOpener opener;
        openHelpDocument(opener, QStringLiteral(SCRIVANE_BIN_DIR));
        QCOMPARE(opener.opened, QStringList {copy.fileName()});
    }
};

QTEST_APPLESS_MAIN(TestHelpDocument)
#include "tst_help_document.moc"
