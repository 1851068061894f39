#include "platform/file_services.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

class TestFileSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        for (const char* name : {"a.ofx", "b.OFX", "ab.ofx", "a.b.ofx", ".hidden.ofx", "[x].ofx", "noext"})
            QVERIFY(writeFile(dir_.filePath(QString::fromLatin1(name)), "data"));
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.ofx")));
        QVERIFY(QFile::link(dir_.filePath(QStringLiteral("gone")), dir_.filePath(QStringLiteral("dangling.ofx"))));
    }

    // Only plain files count: not folders, hidden files or dangling links. "["
    // is an ordinary character, and letter case counts as the file system has it.
    void searchFindsPlainFilesOnly_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("star") << "*.ofx" << QStringList {"[x].ofx", "a.b.ofx", "a.ofx", "ab.ofx"};
        QTest::newRow("question") << "?.ofx" << QStringList {"a.ofx"};
        QTest::newRow("two questions") << "??.ofx" << QStringList {"ab.ofx"};
        QTest::newRow("stars around dots") << "*.*.ofx" << QStringList {"a.b.ofx"};
        QTest::newRow("every file") << "*" << QStringList {"[x].ofx", "a.b.ofx", "a.ofx", "ab.ofx", "b.OFX", "noext"};
        QTest::newRow("hidden by pattern") << ".hidden.*" << QStringList {};
        QTest::newRow("hidden by name") << ".hidden.ofx" << QStringList {};
        QTest::newRow("folder by name") << "folder.ofx" << QStringList {};
        QTest::newRow("folder by pattern") << "folder.*" << QStringList {};
        QTest::newRow("dangling link") << "dangling.ofx" << QStringList {};
        QTest::newRow("brackets") << "[x].*" << QStringList {"[x].ofx"};
        QTest::newRow("missing") << "c.ofx" << QStringList {};
        QTest::newRow("folder only") << "" << QStringList {};
    }
    void searchFindsPlainFilesOnly()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        QStringList found = FileSystem::system().findPlainFiles(dir_.filePath(pattern));
        for (QString& name : found) {
            QCOMPARE(QFileInfo(name).path(), dir_.path());
            name = QFileInfo(name).fileName();
        }
        found.sort();
        QCOMPARE(found, expected);
    }
};

QTEST_APPLESS_MAIN(TestFileSearch)
#include "tst_file_search.moc"
