#include "platform/file_services.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

class TestFileServices : public QObject
{
    Q_OBJECT

private slots:
    // "*" stands for any run of characters and "?" for one; folders and hidden files never count.
    void searchFindsPlainFiles()
    {
        QTemporaryDir dir;
        for (const QString name : {"a.ofx", "ab.ofx", ".hidden.ofx"})
            QVERIFY(writeFile(dir.filePath(name), "data"));
        QVERIFY(QDir(dir.path()).mkdir("folder.ofx"));
        QStringList found = FileSystem::system().findPlainFiles(dir.filePath("*.ofx"));
        found.sort();
        QCOMPARE(found, (QStringList {dir.filePath("a.ofx"), dir.filePath("ab.ofx")}));
        QCOMPARE(FileSystem::system().findPlainFiles(dir.filePath("?.ofx")), QStringList {dir.filePath("a.ofx")});
        QCOMPARE(FileSystem::system().findPlainFiles(dir.filePath(".hidden.ofx")), QStringList());
        QCOMPARE(FileSystem::system().findPlainFiles(dir.filePath("folder.*")), QStringList());
    }
};

QTEST_APPLESS_MAIN(TestFileServices)
#include "tst_file_services.moc"
