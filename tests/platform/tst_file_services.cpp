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

    // A file put out of the way goes to the trash, which is made where a fresh home has none yet, every folder it
    // adds open to the user alone; it is deleted only where no trash can be made or written, and stays when
    // neither works. The home holds what layout lists ("/" ends a folder, 0755; anything else is a file).
    void discardPrefersTheTrash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("outcome");
        const QString usual = QStringLiteral("june statement.ofx");
        const QStringList ready {"home/", "home/.local/", "home/.local/share/"};
        if (trashIsTheRecycleBin) {
            QTest::newRow("recycle bin") << usual << ready << QStringList()
                                         << (originalGoesToTheTrash() ? "trashed" : "deleted");
        } else {
            QTest::newRow("no .local") << usual << QStringList {"home/"} << QStringList() << "trashed";
            QTest::newRow("no .local/share") << usual << ready.mid(0, 2) << QStringList() << "trashed";
            QTest::newRow("no trash folder yet") << usual << ready << QStringList() << "trashed";
            QTest::newRow("a file where .local/share must be")
                << usual << QStringList {"home/", "home/.local/", "home/.local/share"} << QStringList() << "deleted";
            QTest::newRow("a file where the trash's files must be")
                << usual << ready + QStringList {"home/.local/share/Trash/", "home/.local/share/Trash/files"}
                << QStringList() << "deleted";
            QTest::newRow("no home") << usual << QStringList() << QStringList() << "deleted";
        }
        QTest::newRow("the move fails") << usual << ready << QStringList {"trash"} << "deleted";
        QTest::newRow("move and delete fail") << usual << ready << QStringList {"trash", "remove"} << "kept";
        // The trash notes a file as NAME.trashinfo; a name with no room for that suffix must not keep it trying.
        QTest::newRow("name too long for the trash")
            << QString(244, u'x') + ".ofx" << ready << QStringList() << "deleted";
    }
    void discardPrefersTheTrash()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, layout);
        QFETCH(QStringList, faults);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        for (const QString& entry : layout) {
            QVERIFY(entry.endsWith('/') ? QDir(dir.path()).mkdir(entry) : writeFile(dir.filePath(entry), "in the way"));
            QVERIFY(QFile::setPermissions(dir.filePath(entry), QFileDevice::Permissions(0x7755)));
        }
        qputenv("HOME", QFile::encodeName(dir.filePath("home")));
        qunsetenv("XDG_DATA_HOME");
        const QString statement = dir.filePath(name);
        QVERIFY(writeFile(statement, bankStatement));
        FaultyFileSystem files;
        if (faults.contains("trash"))
            files.failTrash();
        if (faults.contains("remove"))
            files.failRemove();

        Disposal how = Disposal::Trashed;
        const FileResult putAway = files.discard(statement, how);
        QCOMPARE(!putAway.ok() ? "kept" : how == Disposal::Trashed ? "trashed" : "deleted", outcome);
        QCOMPARE(QFile::exists(statement), outcome == "kept");
        if (trashIsTheRecycleBin)
            return;
        const QString trash = dir.filePath("home/.local/share/Trash/");
        QCOMPARE(readFile(trash + "files/" + name) == bankStatement, outcome == "trashed");
        // The trash can give it back: it notes where the file came from.
        const QByteArray info = readFile(trash + "info/" + name + ".trashinfo");
        const qsizetype at = info.indexOf("\nPath=");
        const QByteArray from = at < 0 ? QByteArray() : info.mid(at + 6, info.indexOf('\n', at + 1) - at - 6);
        QCOMPARE(QUrl::fromPercentEncoding(from) == statement, outcome == "trashed");
        QVERIFY(!QFileInfo::exists("files") && !QFileInfo::exists(dir.filePath("files")));
#ifndef Q_OS_WIN
        // What the home held keeps its mode; what the trash added is private; where no trash went, nothing was added.
        QStringList made, expected;
        for (const QString folder : {"home/",
                                     "home/.local/",
                                     "home/.local/share/",
                                     "home/.local/share/Trash/",
                                     "home/.local/share/Trash/files/",
                                     "home/.local/share/Trash/info/"}) {
            if (QFileInfo(dir.filePath(folder)).isDir())
                made << folder + modeOf(dir.filePath(folder));
            if (layout.contains(folder))
                expected << folder + "755";
            else if (outcome == "trashed" && folder != "home/")
                expected << folder + "700";
        }
        QCOMPARE(made, expected);
#endif
    }
};

QTEST_APPLESS_MAIN(TestFileServices)
#include "tst_file_services.moc"
