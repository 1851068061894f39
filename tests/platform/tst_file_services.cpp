#include "platform/faulty_file_system.h"
#include "platform/file_pattern.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

class TestFileServices : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        for (const char* name : {"a.ofx", "b.OFX", "ab.ofx", "statement.qfx", ".hidden.ofx", "[x].ofx", "noext"})
            QVERIFY(writeFile(path(QString::fromLatin1(name)), "data"));
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.ofx")));
        QVERIFY(QFile::link(path(QStringLiteral("a.ofx")), path(QStringLiteral("link.ofx"))));
        QVERIFY(QFile::link(path(QStringLiteral("gone")), path(QStringLiteral("dangling.ofx"))));
    }

    void patternMatching_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("star") << "a.ofx"
                              << "*.ofx" << true;
        QTest::newRow("star matches empty") << ".ofx"
                                            << "*.ofx" << true;
        QTest::newRow("star needs the rest") << "a.ofx.bak"
                                             << "*.ofx" << false;
        QTest::newRow("question is one") << "ab.ofx"
                                         << "a?.ofx" << true;
        QTest::newRow("question is not none") << "a.ofx"
                                              << "a?.ofx" << false;
        QTest::newRow("backtracking") << "a.b.c.ofx"
                                      << "*.*.ofx" << true;
        QTest::newRow("many stars") << "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab"
                                    << "*a*a*a*a*a*a*a*a*a*ac" << false;
        QTest::newRow("brackets are plain") << "[x].ofx"
                                            << "[x].*" << true;
        QTest::newRow("brackets are no class") << "x.ofx"
                                               << "[x].*" << false;
        QTest::newRow("case counts") << "b.OFX"
                                     << "*.ofx" << false;
        QTest::newRow("literal") << "noext"
                                 << "noext" << true;
    }
    void patternMatching()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(matchesFilePattern(name, pattern), matches);
    }

    // Only plain files count: not folders, hidden files or dangling links.
    void searchFindsPlainFilesOnly_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("star") << "*.ofx" << QStringList {"[x].ofx", "a.ofx", "ab.ofx", "link.ofx"};
        QTest::newRow("question") << "?.ofx" << QStringList {"a.ofx"};
        QTest::newRow("two questions") << "??.ofx" << QStringList {"ab.ofx"};
        QTest::newRow("every file") << "*"
                                    << QStringList {
                                           "[x].ofx", "a.ofx", "ab.ofx", "b.OFX", "link.ofx", "noext", "statement.qfx"};
        QTest::newRow("hidden by name") << ".hidden.*" << QStringList {};
        QTest::newRow("hidden literal") << ".hidden.ofx" << QStringList {};
        QTest::newRow("folder literal") << "folder.ofx" << QStringList {};
        QTest::newRow("folder by pattern") << "folder.*" << QStringList {};
        QTest::newRow("dangling link") << "dangling.ofx" << QStringList {};
        QTest::newRow("brackets literal") << "[x].ofx" << QStringList {"[x].ofx"};
        QTest::newRow("missing") << "c.ofx" << QStringList {};
        QTest::newRow("nothing after slash") << "" << QStringList {};
    }
    void searchFindsPlainFilesOnly()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        const FileSystem& files = FileSystem::system();
        QStringList found = files.findPlainFiles(path(pattern));
        for (QString& name : found) {
            QVERIFY2(name.startsWith(dir_.path() + QLatin1Char('/')), qPrintable(name));
            name = QFileInfo(name).fileName();
        }
        found.sort();
        QCOMPARE(found, expected);
        QCOMPARE(files.anyPlainFileMatches(path(pattern)), !expected.isEmpty());
    }

    void searchInTheWorkingFolder()
    {
        QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_.path()));
        QStringList found = FileSystem::system().findPlainFiles(QStringLiteral("a*.ofx"));
        QDir::setCurrent(previous);
        found.sort();
        QCOMPARE(found, (QStringList {"a.ofx", "ab.ofx"}));
    }

    void readAndWriteKeepEveryByte()
    {
        QByteArray bytes;
        for (int i = 0; i < 256; ++i)
            bytes.append(static_cast<char>(i));
        bytes += "\r\n\r\0end";
        const QString target = path(QStringLiteral("bytes.bin"));
        std::optional<FileError> written = FileSystem::system().writeWhole(target, [&](const ByteSink& sink) {
            sink(std::string_view(bytes.constData(), 100));
            sink(std::string_view(bytes.constData() + 100, static_cast<std::size_t>(bytes.size() - 100)));
        });
        QVERIFY(!written);
        QByteArray read;
        QVERIFY(!FileSystem::system().readWhole(target, read));
        QCOMPARE(read, bytes);
        QVERIFY(!FileSystem::system().remove(target));
        QVERIFY(!QFileInfo::exists(target));
    }

    void writeSetsPermissionsBeforeTheNameAppears()
    {
        const QString target = path(QStringLiteral("private.txt"));
        auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QVERIFY(!FileSystem::system().writeWhole(
            target, [](const ByteSink& sink) { sink("secret"); }, permissions));
        QCOMPARE(QString::number(modeOf(target), 8), QStringLiteral("600"));
        QVERIFY(QFile::remove(target));
    }

    // A failed write leaves what stood under the name as it was, and no
    // temporary file behind.
    void failedWriteChangesNothing_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<int>("failAfter"); // -1: the commit fails
        QTest::newRow("new file, fails part way") << false << 5;
        QTest::newRow("new file, fails at once") << false << 0;
        QTest::newRow("new file, commit fails") << false << -1;
        QTest::newRow("existing file, fails part way") << true << 5;
        QTest::newRow("existing file, commit fails") << true << -1;
    }
    void failedWriteChangesNothing()
    {
        QFETCH(bool, targetExists);
        QFETCH(int, failAfter);
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("out.QFX"));
        if (targetExists)
            QVERIFY(writeFile(target, "old content"));
        FaultyFileSystem files;
        if (failAfter < 0)
            files.failCommit(QStringLiteral("No space left on device"));
        else
            files.failWriteAfter(failAfter, QStringLiteral("No space left on device"));
        std::optional<FileError> error = files.writeWhole(target, [](const ByteSink& sink) {
            sink("0123456789");
            sink("abcdef");
        });
        QVERIFY(error);
        QCOMPARE(error->path, target);
        QCOMPARE(error->reason, QStringLiteral("No space left on device"));
        QCOMPARE(files.bytesWritten(), failAfter < 0 ? 16 : failAfter);
        QStringList left = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, targetExists ? QStringList {"out.QFX"} : QStringList {});
        if (targetExists)
            QCOMPARE(readFile(target), QByteArray("old content"));
    }

    void folderAtTheTargetFailsTheWrite()
    {
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("out.QBO"));
        QVERIFY(QDir().mkdir(target));
        std::optional<FileError> error
            = FileSystem::system().writeWhole(target, [](const ByteSink& sink) { sink("content"); });
        QVERIFY(error);
        QVERIFY(!error->reason.isEmpty());
        QVERIFY(QFileInfo(target).isDir());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList {"out.QBO"});
    }

    void failuresCarryTheSystemsReason()
    {
        const QString missing = path(QStringLiteral("missing.ofx"));
        QByteArray bytes;
        std::optional<FileError> read = FileSystem::system().readWhole(missing, bytes);
        QVERIFY(read);
        QCOMPARE(read->path, missing);
        QVERIFY2(read->reason.contains(QStringLiteral("No such file")), qPrintable(read->reason));
        std::optional<FileError> removed = FileSystem::system().remove(missing);
        QVERIFY(removed);
        QVERIFY(!removed->reason.isEmpty());
    }

    void injectedReadAndDeleteFailuresTouchNothing()
    {
        FaultyFileSystem files;
        files.failRead();
        files.failRemove(QStringLiteral("Device or resource busy"));
        const QString file = path(QStringLiteral("a.ofx"));
        QByteArray bytes;
        QVERIFY(files.readWhole(file, bytes));
        QVERIFY(bytes.isEmpty());
        std::optional<FileError> removed = files.remove(file);
        QVERIFY(removed);
        QCOMPARE(removed->reason, QStringLiteral("Device or resource busy"));
        QCOMPARE(readFile(file), QByteArray("data"));
    }
};

QTEST_APPLESS_MAIN(TestFileServices)
#include "tst_file_services.moc"
