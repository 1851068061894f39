#include "platform/file_services.h"
#include "support/faulty_file_system.h"
#include "support/platform_facts.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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

    // A file put out of the way goes to the trash, which is made when the home has none yet; it is deleted only where
    // no trash can take it, and stays when neither works.
    void discardPrefersTheTrash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("outcome");
        const QString usual = QStringLiteral("june statement.ofx");
        if (trashIsTheRecycleBin) {
            QTest::newRow("recycle bin") << usual << "home/data" << QStringList()
                                         << (originalGoesToTheTrash() ? "trashed" : "deleted");
        } else {
            QTest::newRow("no trash folder yet") << usual << "home/data" << QStringList() << "trashed";
            QTest::newRow("no home for a trash") << usual << "home/missing" << QStringList() << "deleted";
        }
        QTest::newRow("the move fails") << usual << "home/data" << QStringList {"trash"} << "deleted";
        QTest::newRow("move and delete fail") << usual << "home/data" << QStringList {"trash", "remove"} << "kept";
        // The trash notes a file as NAME.trashinfo; a name with no room for that suffix must not keep it trying.
        QTest::newRow("name too long for the trash") << QString(244, u'x') + ".ofx"
                                                     << "home/data" << QStringList() << "deleted";
    }
    void discardPrefersTheTrash()
    {
        QFETCH(QString, name);
        QFETCH(QString, dataHome);
        QFETCH(QStringList, faults);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("home/data"));
        qputenv("HOME", QFile::encodeName(dir.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(dataHome)));
        const QString statement = dir.filePath(name);
        QVERIFY(writeFile(statement, bankStatement));
        FaultyFileSystem files;
        if (faults.contains("trash"))
            files.failTrash();
        if (faults.contains("remove"))
            files.failRemove();

        Disposal how = Disposal::Trashed;
        const std::optional<FileError> error = files.discard(statement, how);
        QCOMPARE(error ? "kept" : how == Disposal::Trashed ? "trashed" : "deleted", outcome);
        QCOMPARE(QFile::exists(statement), outcome == "kept");
        if (trashIsTheRecycleBin)
            return;
        const QString trash = dir.filePath("home/data/Trash/");
        QCOMPARE(readFile(trash + "files/" + name) == bankStatement, outcome == "trashed");
        // The trash can give it back: it notes where the file came from.
        const QByteArray info = readFile(trash + "info/" + name + ".trashinfo");
        const qsizetype at = info.indexOf("\nPath=");
        const QByteArray from = at < 0 ? QByteArray() : info.mid(at + 6, info.indexOf('\n', at + 1) - at - 6);
        QCOMPARE(QUrl::fromPercentEncoding(from) == statement, outcome == "trashed");
        QVERIFY(!QFileInfo::exists("files") && !QFileInfo::exists(dir.filePath("files")));
    }
};

QTEST_APPLESS_MAIN(TestFileServices)
#include "tst_file_services.moc"
