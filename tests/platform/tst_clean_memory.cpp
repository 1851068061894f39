// How much memory a clean may take, held in child processes whose address space
// is limited (RLIMIT_AS): every statement is cleaned within four times its size,
// and a clean that runs out of memory says so and leaves the statement alone.
//
// The children are this program started again with "--child": a fresh process
// whose one thread allocates from one heap, so that what it may still take is the
// limit less what it has mapped.
#include "app/nam_options.h"
#include "app/name_list_preview.h"
#include "cli/cli_runner.h"
#include "names/statement_cleaner.h"
#include "platform/read_and_clean.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

using namespace scrivane;

// How both programs say that a clean ran out of memory.
static const QString notEnoughMemory = QStringLiteral("not enough memory to clean this statement");

namespace {

constexpr std::size_t megabyte = std::size_t(1) << 20;

std::size_t addressSpaceNow()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    std::size_t kb = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmSize: %zu kB", &kb) == 1)
            break;
    }
    std::fclose(status);
    return kb * 1024;
}

bool limitGrowthTo(std::size_t extra)
{
    const std::size_t now = addressSpaceNow();
    const rlimit limit {now + extra, now + extra};
    return now > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
}

std::string repeated(std::string_view head, std::string_view piece, std::string_view tail, std::size_t size)
{
    std::string text(head);
    text.reserve(size + tail.size());
    while (text.size() + piece.size() <= size)
        text.append(piece);
    return text.append(tail);
}

QByteArray contents(std::FILE* file)
{
    QByteArray bytes;
    std::rewind(file);
    char block[4096];
    while (std::size_t got = std::fread(block, 1, sizeof block, file))
        bytes.append(block, static_cast<qsizetype>(got));
    return bytes;
}

// The dialog and its list window are up before the limit; the preview then says
// that it ran out, and no list is shown.
int previewChild(int argc, char** argv, const QString& path, std::size_t room)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    UserSettings settings(dir.filePath(QStringLiteral("settings.ini")));
    ScriptedPrompts prompts;
    SingleWindow<NameListPreview> nameList;
    NamOptions dialog(
        settings, prompts, [path] { return path; }, nameList, LocaleRules::enUS());
    dialog.show();
    if (!limitGrowthTo(room))
        return 3;
    dialog.showNames(true);
    const bool said = prompts.messages().size() == 1 && prompts.messages()[0].icon == MessageIcon::Critical
        && prompts.messages()[0].text.contains(notEnoughMemory);
    return said && !nameList.window() ? 0 : 1;
}

// Exit status: 0 done as expected, 1 a wrong result, 2 out of memory, 3 a usage error.
int child(int argc, char** argv)
{
    const std::string_view what = argc > 2 ? argv[2] : "";
    if (what == "engine" && argc == 8) {
        // engine HEAD PIECE TAIL SIZE CLEANED-SIZE: the statement is in memory
        // before the limit, and the clean may add three times its size.
        const std::string text = repeated(argv[3], argv[4], argv[5], std::stoull(argv[6]));
        if (!limitGrowthTo(3 * text.size()))
            return 3;
        try {
            SegmentList segments;
            std::string converted;
            cleanStatement(text, converted, segments, Target::Quicken, NameOptions {}, LocaleRules::enUS());
            std::size_t size = 0;
            segments.forEachPiece([&size](std::string_view piece) { size += piece.size(); });
            return size == std::stoull(argv[7]) ? 0 : 1;
        } catch (const std::bad_alloc&) {
            return 2;
        }
    }
    if ((what == "file" || what == "stdout") && argc == 5) {
        // file|stdout PATH ROOM: a clean with ROOM bytes to spare reports running out.
        CleanRequest request;
        request.input = StatementSource::file(QString::fromLocal8Bit(argv[3]));
        request.target = Target::Quicken;
        std::FILE* devNull = std::fopen("/dev/null", "wb");
        if (what == "stdout")
            request.toStream = StreamOutput {devNull, QStringLiteral("out")};
        if (!devNull || !limitGrowthTo(std::stoull(argv[4])))
            return 3;
        const CleanOutcome outcome = readAndClean(request);
        const bool reported = outcome.failure && outcome.failure->problem == CleanProblem::OutOfMemory;
        return reported ? 0 : 1;
    }
    if ((what == "list" || what == "stdin" || what == "preview") && argc == 5) {
        // list|stdin|preview PATH ROOM: scrivane-clean --list clean PATH, scrivane-clean
        // --stdout - with PATH on standard input, or the cleaned names preview of
        // PATH, with ROOM bytes to spare, each says that it ran out.
        const QString path = QString::fromLocal8Bit(argv[3]);
        const std::size_t room = std::stoull(argv[4]);
        if (what == "preview")
            return previewChild(argc, argv, path, room);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const std::vector<std::string> args = what == "list"
            ? std::vector<std::string> {"--list", "clean", argv[3]}
            : std::vector<std::string> {"--stdout", "--target", "quicken", "-"};
        const cli::ParseResult parsed = cli::parseArguments(args);
        UserSettings settings(QDir::temp().filePath(QStringLiteral("scrivane-memory-child.ini")));
        if (!out || !err || !limitGrowthTo(room))
            return 3;
        const int status = cli::run(parsed, settings, {stdin, out, err, false}, {});
        const QString said = QString::fromLocal8Bit(contents(err));
        const bool nothingOut = what == "list" || contents(out).isEmpty();
        return status == 1 && said.endsWith(notEnoughMemory + '\n') && nothingOut ? 0 : 1;
    }
    return 3;
}

int runChild(const QStringList& arguments, const QString& input = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    process.start(QCoreApplication::applicationFilePath(), QStringList {QStringLiteral("--child")} + arguments);
    if (!process.waitForFinished(240000))
        return -1;
    // An uncaught bad_alloc aborts: that is a crash, not an exit status.
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128;
}

} // namespace

class TestCleanMemory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer reserves far more address space than any limit here allows");
#endif
    }

    void withinFourTimesTheInput_data()
    {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<qulonglong>("cleanedSize");
        constexpr qulonglong n = 16 * megabyte;
        QTest::newRow("a segment per byte") << ""
                                            << "<"
                                            << "" << n;
        QTest::newRow("one-letter names") << ""
                                          << "<NAME>a"
                                          << "" << n / 7 * 7;
        QTest::newRow("names and end tags cleaned away") << ""
                                                         << "<NAME>1</NAME>"
                                                         << "" << qulonglong(0);
        QTest::newRow("one name of short words") << "<NAME>"
                                                 << "ab cd "
                                                 << "" << 6 + (n - 6) / 6 * 6 - 1;
        QTest::newRow("bank identifier after many segments") << "<SONRS>"
                                                             << "<X>"
                                                             << "</SONRS>" << 7 + (n - 7) / 3 * 3 + 8 + 14;
    }

    // Built as today's program was, each of these ran out of memory and aborted.
    void withinFourTimesTheInput()
    {
        QFETCH(QString, head);
        QFETCH(QString, piece);
        QFETCH(QString, tail);
        QFETCH(qulonglong, cleanedSize);
        const QString size = QString::number(16 * megabyte);
        QCOMPARE(runChild({"engine", head, piece, tail, size, QString::number(cleanedSize)}), 0);
    }

    // Room to read the statement but not to clean its names: the clean reports
    // it, the statement stays as it was, and nothing stands under the output name.
    void outOfMemoryIsReported_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("into the file") << "file";
        QTest::newRow("to standard output") << "stdout";
        QTest::newRow("scrivane-clean --list clean") << "list";
        QTest::newRow("scrivane-clean from standard input") << "stdin";
        QTest::newRow("cleaned names preview") << "preview";
    }

    void outOfMemoryIsReported()
    {
        QFETCH(QString, where);
        constexpr std::size_t n = 32 * megabyte;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("statement.ofx"));
        const QByteArray statement = QByteArray::fromStdString(repeated("<OFX>", "<NAME>a\r\n", "</OFX>", n));
        QVERIFY(writeFile(path, statement));
        QCOMPARE(runChild({where, path, QString::number(n + n / 16)}, where == "stdin" ? path : QString()), 0);
        QCOMPARE(readFile(path), statement);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("statement.ofx")});
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::string_view(argv[1]) == "--child")
        return child(argc, argv);
    QCoreApplication app(argc, argv);
    TestCleanMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clean_memory.moc"
