#include "help/help_document.h"
#include "platform/message_box.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

namespace {

// Records what it was asked to open instead of starting anything.
class FakeOpener : public DocumentOpener
{
public:
    explicit FakeOpener(bool starts = true)
        : starts_(starts)
    {
    }

    bool start() override
    {
        ++starts;
        return starts_;
    }
    void open(const QString& path) override { opened.append(path); }

    int starts = 0;
    QStringList opened;

private:
    bool starts_;
};

const QString notFound
    = QStringLiteral("Did not find the documentation file.\r\n\r\nPlease open the document file '''' manually.");

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
        QTest::newRow("help-for test is case-sensitive")
            << QStringList {"help for guide.doc"} << QStringList {"help for guide.doc"};
        QTest::newRow("help-for anywhere in the name")
            << QStringList {"Old Help for Me.doc", "Help forms.doc", "Help For You.doc"}
            << QStringList {"Help For You.doc"};
        QTest::newRow("two documents") << QStringList {"A.doc", "B Guide.doc", "notes.txt"}
                                       << QStringList {"A.doc", "B Guide.doc"};
        QTest::newRow("only a help-for document") << QStringList {"Help for Other.doc"} << QStringList {};
        QTest::newRow("no documents at all") << QStringList {"readme.txt"} << QStringList {};
        QTest::newRow("empty folder") << QStringList {} << QStringList {};
        QTest::newRow("near misses") << QStringList {"Guide.docx", "Guide.DOC", "Guide.doc.bak", ".Hidden.doc"}
                                     << QStringList {};
    }

    void documentsOfTheFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);

        QTemporaryDir dir;
        for (const QString& name : files)
            QVERIFY(touch(dir.filePath(name)));
        // A folder that looks like a document is no document.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Folder.doc")));

        MessageRecorder messages;
        FakeOpener opener;
        int count = openHelpDocument(opener, dir.path());

        QStringList expectedPaths;
        for (const QString& name : expected)
            expectedPaths.append(dir.path() + u'/' + name);
        QStringList opened = opener.opened;
        opened.sort();
        expectedPaths.sort();
        QCOMPARE(opened, expectedPaths);
        QCOMPARE(count, expected.size());
        QCOMPARE(opener.starts, 1);

        if (expected.isEmpty()) {
            QCOMPARE(messages.messages().size(), 1);
            QCOMPARE(messages.messages().first().text, notFound);
            QCOMPARE(messages.messages().first().icon, MessageIcon::Critical);
            QCOMPARE(messages.messages().first().title, QStringLiteral("Scrivane"));
        } else {
            QVERIFY(messages.messages().isEmpty());
        }
    }

    void launchFailureSaysWhereToLookAndSearchesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("Guide.doc"))));

        MessageRecorder messages;
        FakeOpener opener(false);
        QCOMPARE(openHelpDocument(opener, dir.path()), 0);

        QVERIFY(opener.opened.isEmpty());
        QCOMPARE(messages.messages().size(), 1);
        const ShownMessage& shown = messages.messages().first();
        QCOMPARE(shown.text,
                 QStringLiteral("Unable to launch MS Word. Please open the documentation file manually from ")
                     + dir.path() + QStringLiteral("."));
        QCOMPARE(shown.icon, MessageIcon::None);
        QCOMPARE(shown.title, QStringLiteral("Scrivane"));
    }

    void pressingHelpAgainOpensAgain()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("Guide.doc"))));
        MessageRecorder messages;
        FakeOpener opener;
        openHelpDocument(opener, dir.path());
        openHelpDocument(opener, dir.path());
        QCOMPARE(opener.starts, 2);
        QCOMPARE(opener.opened.size(), 2);
        QVERIFY(messages.messages().isEmpty());
    }

    void folderWithTrailingSlash()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("Guide.doc"))));
        MessageRecorder messages;
        FakeOpener opener;
        openHelpDocument(opener, dir.path() + u'/');
        QCOMPARE(opener.opened, QStringList {dir.path() + QStringLiteral("/Guide.doc")});
    }

    // The build puts the guide beside the programs, where Help looks for it.
    void theBuiltProgramFolderHoldsTheGuide()
    {
        QFile copy(QStringLiteral(SCRIVANE_BIN_DIR "/Scrivane User Guide.doc"));
        QFile source(QStringLiteral(SCRIVANE_GUIDE_SOURCE));
        QVERIFY2(copy.open(QIODevice::ReadOnly), qPrintable(copy.fileName()));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QVERIFY(copy.readAll() == source.readAll());

        MessageRecorder messages;
        FakeOpener opener;
        openHelpDocument(opener, QStringLiteral(SCRIVANE_BIN_DIR));
        QVERIFY(opener.opened.contains(copy.fileName()));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestHelpDocument)
#include "tst_help_document.moc"
