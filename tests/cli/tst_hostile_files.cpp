// Files and paths that could trick a clean into leaking or losing a statement:
// permissions, the temporary files of a write, links, odd names, huge and
// non-OFX files.
#include "engine_clean.h"
#include "platform/file_services.h"
#include "platform/statement_file.h"
#include "robust_support.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace scrivane;
using namespace robust;

Q_DECLARE_METATYPE(scrivane::Target)

namespace {

// Looks at the disk at the moment the first bytes of a write go out: what the
// folders hold, and the bits of the file the bytes go into.
class WatchingFileSystem : public FileSystem
{
public:
    QString folder;
    QStringList before;
    QString elsewhere; // a folder that must stay empty (the system's temporary folder)
    QString output;

    bool watched = false;
    QStringList newEntries;
    QList<int> newModes;
    int dataFileMode = -1;
    QStringList elsewhereEntries;
    QByteArray outputThen;

protected:
    bool writePiece(QSaveFile& file, std::string_view piece, QString& reason) const override
    {
        if (!watched) {
            auto* self = const_cast<WatchingFileSystem*>(this);
            self->watched = true;
            for (const QString& name : entries(folder)) {
                if (!before.contains(name)) {
                    self->newEntries.append(name);
                    self->newModes.append(modeOf(folder + QLatin1Char('/') + name));
                }
            }
            struct stat info;
            if (::fstat(file.handle(), &info) == 0)
                self->dataFileMode = static_cast<int>(info.st_mode & 07777);
            self->elsewhereEntries = entries(elsewhere);
            self->outputThen = readFile(output);
        }
        return FileSystem::writePiece(file, piece, reason);
    }
};

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString config_;

    QString path(const QString& name) const { return dir_.filePath(name); }

    Run clean(const QStringList& args, const std::function<void()>& modifier = {}) const
    {
        return runClean(args, dir_.path(), config_, modifier);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        for (const QString& name : entries(dir_.path())) {
            const QString entry = path(name);
            QVERIFY(QFileInfo(entry).isDir() && !isLink(entry) ? QDir(entry).removeRecursively()
                                                               : QFile::remove(entry));
        }
        config_ = path(QStringLiteral(".config"));
        QVERIFY(QDir().mkpath(config_));
    }

    // Even with a umask that hides nothing, and with a wider file already under
    // the output's name, the output gets exactly the statement's bits.
    void outputIsNeverWiderThanTheInput_data()
    {
        QTest::addColumn<int>("inputMode");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("standingMode"); // -1: nothing stands there
        QTest::newRow("private, QuickBooks, 0644 stands") << 0600 << "quickbooks"
                                                          << "s.QBO" << 0644;
        QTest::newRow("private, Quicken, 0666 stands") << 0600 << "quicken"
                                                       << "s.QFX" << 0666;
        QTest::newRow("private, Quicken, new") << 0600 << "quicken"
                                               << "s.QFX" << -1;
        QTest::newRow("group, QuickBooks, new") << 0640 << "quickbooks"
                                                << "s.QBO" << -1;
        QTest::newRow("private, Other") << 0600 << "other"
                                        << "s.ofx" << -1;
        QTest::newRow("read-only, Other") << 0400 << "other"
                                          << "s.ofx" << -1;
    }
    void outputIsNeverWiderThanTheInput()
    {
        QFETCH(int, inputMode);
        QFETCH(QString, target);
        QFETCH(QString, output);
        QFETCH(int, standingMode);
        QVERIFY(writeFile(path("s.ofx"), smallStatement));
        QVERIFY(::chmod(QFile::encodeName(path("s.ofx")).constData(), static_cast<mode_t>(inputMode)) == 0);
        if (standingMode >= 0) {
            QVERIFY(writeFile(path(output), "older"));
            QVERIFY(::chmod(QFile::encodeName(path(output)).constData(), static_cast<mode_t>(standingMode)) == 0);
        }
        Run run = clean({"--target", target, "s.ofx"}, [] { ::umask(0); });
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::number(modeOf(path(output)), 8), QString::number(inputMode, 8));
        QVERIFY(readFile(path(output)).contains("<NAME>Acme Store"));
    }

    // While the bytes go out, the only new file is private, beside the output,
    // and not under its name; nothing goes to the system's temporary folder; a
    // file already under the output's name is still whole.
    void temporaryFilesArePrivateAndBesideTheOutput_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("outputStood");
        QTest::newRow("Quicken, new") << Target::Quicken << "s.QFX" << false;
        QTest::newRow("Quicken, 0666 file stands") << Target::Quicken << "s.QFX" << true;
        QTest::newRow("Other, same name") << Target::Other << "s.ofx" << false;
    }
    void temporaryFilesArePrivateAndBesideTheOutput()
    {
        QFETCH(Target, target);
        QFETCH(QString, output);
        QFETCH(bool, outputStood);
        QVERIFY(QDir().mkpath(path("out")));
        QVERIFY(QDir().mkpath(path("tmp")));
        const QString input = path("out/s.ofx");
        QVERIFY(writeFile(input, smallStatement));
        QVERIFY(::chmod(QFile::encodeName(input).constData(), 0644) == 0);
        if (outputStood) {
            QVERIFY(writeFile(path("out/" + output), "older"));
            QVERIFY(::chmod(QFile::encodeName(path("out/" + output)).constData(), 0666) == 0);
        }
        const QByteArray previousTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(path("tmp")));

        WatchingFileSystem files;
        files.folder = path("out");
        files.before = entries(files.folder);
        files.elsewhere = path("tmp");
        files.output = path("out/" + output);
        CleanOutcome outcome = cleanStatementFile(input, target, NameOptions(), LocaleRules::enUS(), files);
        qputenv("TMPDIR", previousTmp);
        QVERIFY(outcome.succeeded());
        QVERIFY(files.watched);

        QCOMPARE(QString::number(files.dataFileMode, 8), QStringLiteral("600"));
        // Qt's own temporary file has no name where the file system allows it;
        // elsewhere it is a second new name beside ours.
        QVERIFY(!files.newEntries.isEmpty());
        for (qsizetype i = 0; i < files.newEntries.size(); ++i) {
            QVERIFY2(files.newEntries[i].startsWith(output + QLatin1Char('.')), qPrintable(files.newEntries[i]));
            QCOMPARE(QString::number(files.newModes[i], 8), QStringLiteral("600"));
        }
        QCOMPARE(files.elsewhereEntries, QStringList());
        const QByteArray standing = target == Target::Other ? smallStatement
            : outputStood                                   ? QByteArray("older")
                                                            : QByteArray("<unreadable>");
        QCOMPARE(files.outputThen, standing);
        // Once done, the statement has its own bits again and nothing is left over.
        QCOMPARE(QString::number(modeOf(outcome.outputPath), 8), QStringLiteral("644"));
        QCOMPARE(entries(path("out")), QStringList {output});
    }

    // The named path is the file. Nothing is written through a link into its
    // target, and no link is left pointing at nothing or at the old statement.
    void linkedInputIsReplacedNotFollowed_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("output");
        QTest::newRow("Other") << "other"
                               << "june.ofx";
        QTest::newRow("QuickBooks") << "quickbooks"
                                    << "june.QBO";
        QTest::newRow("Quicken") << "quicken"
                                 << "june.QFX";
    }
    void linkedInputIsReplacedNotFollowed()
    {
        QFETCH(QString, target);
        QFETCH(QString, output);
        QVERIFY(QDir().mkpath(path("store")));
        const QString real = path("store/bank-2024-06.ofx");
        QVERIFY(writeFile(real, smallStatement));
        QVERIFY(::chmod(QFile::encodeName(real).constData(), 0640) == 0);
        QVERIFY(QFile::link(QStringLiteral("store/bank-2024-06.ofx"), path("june.ofx")));

        Run run = clean({"--target", target, "june.ofx"});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(real), smallStatement);
        QCOMPARE(modeOf(real), 0640);
        QCOMPARE(entries(path("store")), QStringList {"bank-2024-06.ofx"});
        QVERIFY(!isLink(path(output)));
        QCOMPARE(modeOf(path(output)), 0640);
        const Target expected = target == "other" ? Target::Other
            : target == "quicken"                 ? Target::Quicken
                                                  : Target::QuickBooks;
        QCOMPARE(readFile(path(output)), engineClean(smallStatement, expected));
        QCOMPARE(entries(dir_.path()), QStringList({".config", output, "store"}));
    }

    // A link already standing under the output's name is replaced, and the file
    // it points at is left alone.
    void linkAtTheOutputNameIsNotFollowed()
    {
        QVERIFY(writeFile(path("victim.txt"), "not a statement"));
        QVERIFY(writeFile(path("june.ofx"), smallStatement));
        QVERIFY(QFile::link(QStringLiteral("victim.txt"), path("june.QFX")));
        Run run = clean({"--target", "quicken", "june.ofx"});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(path("victim.txt")), QByteArray("not a statement"));
        QVERIFY(!isLink(path("june.QFX")));
        QCOMPARE(readFile(path("june.QFX")), engineClean(smallStatement, Target::Quicken));
        QCOMPARE(entries(dir_.path()), QStringList({".config", "june.QFX", "victim.txt"}));
    }

    void danglingLinkIsAMissingFile()
    {
        QVERIFY(QFile::link(QStringLiteral("gone.ofx"), path("june.ofx")));
        Run run = clean({"--target", "quicken", "june.ofx"});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("june.ofx") && run.err.contains("no such file"), run.err.constData());
        QVERIFY(isLink(path("june.ofx")));
        QCOMPARE(entries(dir_.path()), QStringList({".config", "june.ofx"}));
    }

    // Names that a shell or a careless string routine would mangle.
    void oddNamesAreCleaned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("output");
        QTest::newRow("line break") << "june\nstatement.ofx"
                                    << "june\nstatement.QFX";
        QTest::newRow("shell characters") << "a\\b;$(touch x)|`y`&.ofx"
                                          << "a\\b;$(touch x)|`y`&.QFX";
        QTest::newRow("shorter than an extension") << "ab"
                                                   << "ab.QFX";
        QTest::newRow("folder with a space and accents") << "Relevés de juin/compte.ofx"
                                                         << "Relevés de juin/compte.QFX";
        QTest::newRow("through a parent folder") << "sub/../june.ofx"
                                                 << "june.QFX";
    }
    void oddNamesAreCleaned()
    {
        QFETCH(QString, name);
        QFETCH(QString, output);
        QVERIFY(QDir().mkpath(path("sub")));
        QVERIFY(QDir().mkpath(path(QStringLiteral("Relevés de juin"))));
        QVERIFY(writeFile(path(name), smallStatement));
        Run run = clean({"--target", "quicken", "--", name});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(path(output)), engineClean(smallStatement, Target::Quicken));
        QVERIFY(!QFileInfo::exists(path(name)));
        QVERIFY(!QFileInfo::exists(path("x")));
    }

    // A name that is not valid in the system's encoding cannot be named exactly
    // by the program; whatever it does, it must not touch that file.
    void nameInAnotherEncodingIsLeftAlone()
    {
        const QByteArray name = QFile::encodeName(dir_.path()) + "/caf\xe9.ofx";
        std::FILE* file = std::fopen(name.constData(), "wb");
        QVERIFY(file);
        QCOMPARE(std::fwrite(smallStatement.constData(), 1, smallStatement.size(), file), smallStatement.size());
        std::fclose(file);
        // QProcess would re-encode the name; a shell passes its bytes as they are.
        QProcess process;
        process.setWorkingDirectory(dir_.path());
        process.start(
            QStringLiteral("/bin/sh"),
            {"-c", "\"" + cleanProgram + QStringLiteral("\" --target quicken -- \"$(printf 'caf\\351.ofx')\"")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QByteArray output = QFile::encodeName(dir_.path()) + "/caf\xe9.QFX";
        if (process.exitCode() == 0) {
            QVERIFY(::access(name.constData(), F_OK) != 0 && ::access(output.constData(), F_OK) == 0);
            return;
        }
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(!process.readAllStandardError().isEmpty());
        QByteArray back(smallStatement.size() + 1, '\0');
        file = std::fopen(name.constData(), "rb");
        QVERIFY(file);
        back.truncate(static_cast<qsizetype>(std::fread(back.data(), 1, back.size(), file)));
        std::fclose(file);
        QCOMPARE(back, smallStatement);
        QVERIFY(::access(output.constData(), F_OK) != 0);
        QVERIFY(::unlink(name.constData()) == 0);
    }

    // A 2 GB file (sparse, so it costs no disk) is refused before it is read, in
    // every mode, and nothing changes.
    void hugeFileIsRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("clean") << QStringList {"--target", "quickbooks", "huge.ofx"};
        QTest::newRow("standard output") << QStringList {"--stdout", "huge.ofx"};
        QTest::newRow("names list") << QStringList {"--list", "clean", "huge.ofx"};
    }
    void hugeFileIsRefused()
    {
        QFETCH(QStringList, args);
        const qint64 size = qint64(2) << 30;
        {
            QFile huge(path("huge.ofx"));
            QVERIFY(huge.open(QIODevice::WriteOnly));
            QVERIFY(huge.write("<NAME>ACME 1234\n") > 0);
            QVERIFY(huge.resize(size));
        }
        Run run = clean(args, [] {
            // A program that tried to read it all would be stopped here rather
            // than take the machine's memory. (The sanitizers reserve far more
            // address space than this for themselves.)
            if (!sanitized) {
                struct rlimit memory = {1536ull << 20, 1536ull << 20};
                ::setrlimit(RLIMIT_AS, &memory);
            }
        });
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains("huge.ofx") && run.err.contains("larger than 1 GB"), run.err.constData());
        QCOMPARE(QFileInfo(path("huge.ofx")).size(), size);
        QCOMPARE(entries(dir_.path()), QStringList({".config", "huge.ofx"}));
    }

    // Not OFX at all: cleaned by the same rules. Without a payee name or a
    // sign-on response, every byte comes back as it was.
    void nonStatementFilesAreCleanedByTheRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("unchanged");
        QByteArray binary;
        for (int round = 0; round < 64; ++round) {
            for (int i = 0; i < 256; ++i)
                binary.append(static_cast<char>((i * 7 + round) % 256));
        }
        const QByteArray pdf = QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\n"
                                          "endobj\n2 0 obj\n<< /Length 12 /Filter /FlateDecode >>\nstream\n")
            + QByteArray("\x78\x9c\x00\xff\x00<>\x01\x02\x03\x04\x05", 13)
            + "\nendstream\nendobj\ntrailer\n<< /Root 1 0 R >>\n%%EOF\n";
        QTest::newRow("binary with NULs") << binary << true;
        QTest::newRow("PDF") << pdf << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("binary around a payee name")
            << QByteArray("\x00\xff<X>\x00", 6) + "<NAME>ACME 1234\n" + QByteArray("\x00\x01\xfe</SONRS>", 11) << false;
    }
    void nonStatementFilesAreCleanedByTheRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, unchanged);
        QVERIFY(writeFile(path("odd.ofx"), content));
        Run run = clean({"--target", "quickbooks", "odd.ofx"});
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        const QByteArray written = readFile(path("odd.QBO"));
        if (unchanged)
            QVERIFY(written == content);
        else
            QVERIFY(written == engineClean(content, Target::QuickBooks) && written != content);
        QCOMPARE(entries(dir_.path()), QStringList({".config", "odd.QBO"}));
    }
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
