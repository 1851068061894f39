#include "cli_runner.h"

#include "names/names_preview.h"
#include "names/statement_cleaner.h"
#include "platform/console.h"
#include "platform/file_pattern.h"
#include "platform/file_services.h"
#include "platform/locale_rules_qt.h"
#include "platform/name_list_text.h"
#include "platform/statement_file.h"
#include "scrivane/version.h"
#include "statement/guidance.h"
#include "statement/output_name.h"
#include "statement/segment_list.h"
#include "statement/text.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace scrivane::cli {

namespace {

std::string bytesOf(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// False when the line did not reach the stream's file (a full disk, a closed
// stream); errno then says why.
bool printLine(std::FILE* stream, const std::string& line)
{
    return std::fwrite(line.data(), 1, line.size(), stream) == line.size() && std::fputc('\n', stream) != EOF
        && std::fflush(stream) == 0;
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

const QString cannotWriteOut = QStringLiteral("cannot write standard output: ");

Target targetFor(const Arguments& args, const StoredSettings& stored)
{
    if (!args.target)
        return stored.window.target();
    if (*args.target == "quickbooks")
        return Target::QuickBooks;
    if (*args.target == "quicken")
        return Target::Quicken;
    return Target::Other;
}

NameOptions optionsFor(const Arguments& args, const StoredSettings& stored)
{
    NameOptions options = stored.names;
    if (args.omitWords)
        options.omitWords = *args.omitWords;
    auto apply = [](bool& option, const std::optional<bool>& given) {
        if (given)
            option = *given;
    };
    apply(options.mixedCase, args.properCase);
    apply(options.removeDates, args.removeDates);
    apply(options.removeNumbers, args.removeNumbers);
    apply(options.removeRepeat, args.removeRepeat);
    return options;
}

// Why a path names no statement to clean, in words for the error line.
QString whyNotAFile(const QString& path)
{
    if (hasWildcards(path))
        return QStringLiteral("holds \"*\" or \"?\": a pattern, not a file name");
    QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("is a folder, not a statement file");
    if (info.isHidden())
        return QStringLiteral("is a hidden file");
    return QStringLiteral("is not a plain file");
}

QString describe(const CleanFailure& failure, const QString& path, const QString& outputPath)
{
    switch (failure.step) {
    case CleanStep::Find:
        return whyNotAFile(path);
    case CleanStep::Read:
        return QStringLiteral("cannot be read: ") + failure.error.reason;
    case CleanStep::Write:
        return QStringLiteral("cannot write ") + failure.error.path + QStringLiteral(": ") + failure.error.reason
            + QStringLiteral(" (the statement is unchanged)");
    case CleanStep::Memory:
        return failure.error.reason;
    case CleanStep::Delete:
        return QStringLiteral("cleaned into ") + outputPath + QStringLiteral(", but the original cannot be removed: ")
            + failure.error.reason;
    case CleanStep::Changed:
        return changedWhileCleaning;
    }
    return failure.error.reason;
}

// name: the file's name as given, byte for byte.
void reportFailure(const Streams& streams, const std::string& name, const QString& reason)
{
    if (streams.progress)
        std::fputs("\r", streams.err);
    printLine(streams.err, "scrivane-clean: " + name + ": " + reason.toStdString());
}

void reportFailure(const Streams& streams, const QString& path, const QString& reason)
{
    reportFailure(streams, bytesOf(path), reason);
}

// Standard input, read whole as a file would be. Read through the C stream that
// the start-up made binary: Qt's file engine fails on a Windows pipe.
std::optional<QString> readStandardInput(QByteArray& bytes)
{
    // The same bound as for a file read whole: anything bigger is no statement.
    constexpr qsizetype largest = qsizetype(1) << 30;
    bytes.clear();
    char block[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, stdin);
        if (bytes.size() + static_cast<qsizetype>(got) > largest)
            return QStringLiteral("Standard input is larger than 1 GB, too large for a statement");
        bytes.append(block, static_cast<qsizetype>(got));
        if (got < sizeof block)
            return std::ferror(stdin) ? std::optional<QString>(QString::fromLocal8Bit(std::strerror(errno)))
                                      : std::nullopt;
    }
}

// The statement named by path, or standard input for "-"; false after reporting why not.
bool readStatement(const QString& path, QByteArray& bytes, const Streams& streams)
{
    if (path == QLatin1String(standardInputName)) {
        if (std::optional<QString> error = readStandardInput(bytes)) {
            reportFailure(streams, path, QStringLiteral("cannot be read: ") + *error);
            return false;
        }
        return true;
    }
    if (!FileSystem::system().isPlainFile(path)) {
        reportFailure(streams, path, whyNotAFile(path));
        return false;
    }
    if (std::optional<FileError> error = FileSystem::system().readWhole(path, bytes)) {
        reportFailure(streams, path, QStringLiteral("cannot be read: ") + error->reason);
        return false;
    }
    return true;
}

// A listed name on one line: a line break inside it becomes a space, and the white
// space that ends it (the line break and indentation before the next tag) goes.
std::string oneLine(std::string_view name)
{
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r' || name.back() == '\n'))
        name.remove_suffix(1);
    std::string line;
    line.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\r' && i + 1 < name.size() && name[i + 1] == '\n')
            continue;
        line.push_back(name[i] == '\r' || name[i] == '\n' ? ' ' : name[i]);
    }
    return line;
}

// The names as the preview windows list them, one line each. Names that the
// cleaner empties are not listed, as in the window. To a file or a pipe the lines
// are the statement's own bytes; on a terminal they are read in the statement's
// character set as the window reads them and printed in the terminal's encoding.
// Run out of memory, the list stops where it stands and says so; once a line
// cannot be written, no more are.
bool listNames(
    const QString& path, bool clean, const NameOptions& options, const LocaleRules& locale, const Streams& streams)
{
    bool written = true;
    try {
        QByteArray bytes;
        if (!readStatement(path, bytes, streams))
            return false;
        std::string lines; // for the terminal, read as text once all are in
        const Charset charset
            = forEachPreviewName(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                 clean ? std::optional(options) : std::nullopt,
                                 locale,
                                 [&](std::string_view name) {
                                     if (!written)
                                         return;
                                     const std::string line = oneLine(name);
                                     if (streams.terminal)
                                         lines.append(line).push_back('\n');
                                     else
                                         written = std::fwrite(line.data(), 1, line.size(), streams.out) == line.size()
                                             && std::fputc('\n', streams.out) != EOF;
                                 });
        if (streams.terminal) {
            bytes = QByteArray();
            written = printOnTerminal(streams.out, nameListDisplayText(lines, charset));
        }
    } catch (const std::bad_alloc&) {
        std::fflush(streams.out);
        reportFailure(streams, path, QString::fromLatin1(notEnoughMemory));
        return false;
    }
    if (!written || std::fflush(streams.out) != 0) {
        reportFailure(streams, path, cannotWriteOut + systemReason());
        return false;
    }
    return true;
}

// One line on the error stream for a statement that QuickBooks gets in its XML
// form after all; the clean itself succeeded.
void reportNotConverted(const Streams& streams, const QString& path, const std::string& reason)
{
    if (!reason.empty())
        reportFailure(streams, path, QString::fromStdString(notConvertedSentence(reason)));
}

// Standard input, cleaned onto standard output. Nothing is written before the
// clean is done, so running out of memory leaves standard output empty.
bool cleanStandardInput(
    Target target, FormChoice form, const NameOptions& options, const LocaleRules& locale, const Streams& streams)
{
    const QString path = QString::fromLatin1(standardInputName);
    QByteArray bytes;
    SegmentList segments;
    std::string converted;
    FormReport report;
    try {
        if (!readStatement(path, bytes, streams))
            return false;
        report = cleanStatement(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                converted,
                                segments,
                                target,
                                options,
                                locale,
                                form);
    } catch (const std::bad_alloc&) {
        reportFailure(streams, path, QString::fromLatin1(notEnoughMemory));
        return false;
    }
    bool ok = true;
    segments.forEachPiece([&](std::string_view piece) {
        if (ok)
            ok = std::fwrite(piece.data(), 1, piece.size(), streams.out) == piece.size();
    });
    if (!ok || std::fflush(streams.out) != 0) {
        reportFailure(streams, path, cannotWriteOut + systemReason());
        return false;
    }
    reportNotConverted(streams, path, report.notConverted);
    return true;
}

bool writeToStdout(const QString& path,
                   Target target,
                   FormChoice form,
                   const NameOptions& options,
                   const LocaleRules& locale,
                   const Streams& streams)
{
    if (path == QLatin1String(standardInputName))
        return cleanStandardInput(target, form, options, locale, streams);
    QFile out;
    if (!out.open(streams.out, QIODevice::WriteOnly)) {
        reportFailure(streams, path, QStringLiteral("cannot open standard output: ") + out.errorString());
        return false;
    }
    CleanOutcome outcome = cleanStatementTo(
        path, target, options, locale, out, QStringLiteral("standard output"), FileSystem::system(), form);
    // Most statements fit in the buffer: only the flush shows whether they got out.
    if (outcome.succeeded() && !out.flush())
        outcome.failure = CleanFailure {CleanStep::Write, {QStringLiteral("standard output"), out.errorString()}};
    if (outcome.succeeded() && std::fflush(streams.out) != 0)
        outcome.failure = CleanFailure {CleanStep::Write, {QStringLiteral("standard output"), systemReason()}};
    if (!outcome.succeeded()) {
        reportFailure(streams, path, describe(*outcome.failure, path, QString()));
        return false;
    }
    reportNotConverted(streams, path, outcome.notConverted);
    return true;
}

bool cleanFile(const QString& path,
               Target target,
               FormChoice form,
               const NameOptions& options,
               const LocaleRules& locale,
               bool keep,
               const Streams& streams)
{
    if (keep) {
        // The cleaned file would take the original's own name: keeping the
        // original is then impossible, and the file is left alone.
        const QString output = QString::fromStdString(outputPathFor(path.toStdString(), target));
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (output == path || (!canonical.isEmpty() && canonical == QFileInfo(output).canonicalFilePath())) {
            reportFailure(streams,
                          path,
                          QStringLiteral("--keep: the cleaned file would replace the original under its own name "
                                         "(the statement is unchanged)"));
            return false;
        }
    }
    CleanOutcome outcome = cleanStatementFile(path, target, options, locale, FileSystem::system(), form, keep);
    if (!outcome.succeeded()) {
        reportFailure(streams, path, describe(*outcome.failure, path, outcome.outputPath));
        return false;
    }
    const bool trashed = outcome.input == Disposal::Trashed;
    printLine(streams.out,
              bytesOf(path) + " -> " + bytesOf(outcome.outputPath) + (trashed ? " (original in the trash)" : "")
                  + (outcome.cleanedElsewhere ? " (already cleaned by another run)" : ""));
    reportNotConverted(streams, path, outcome.notConverted);
    return true;
}

} // namespace

int run(const ParseResult& parsed, const SettingSource& store, const Streams& streams, const std::string& settingsFile)
{
    const Arguments& args = parsed.arguments;
    if (!parsed.error.empty()) {
        printLine(streams.err, "scrivane-clean: " + parsed.error);
        printLine(streams.err, "Try 'scrivane-clean --help' for more information.");
        return 2;
    }
    if (args.help) {
        std::fputs(usageText(settingsFile).c_str(), streams.out);
        return 0;
    }
    if (args.version) {
        std::fputs(versionNotice("scrivane-clean").c_str(), streams.out);
        return 0;
    }

    const StoredSettings stored = readSettings(store);
    const Target target = targetFor(args, stored);
    const FormChoice form = args.keepForm ? FormChoice::Keep : FormChoice::ForTarget;
    const NameOptions options = optionsFor(args, stored);
    const LocaleRules locale = localeRulesFor(QLocale::system());

    int failed = 0;
    const std::size_t count = args.files.size();
    for (std::size_t k = 0; k < count; ++k) {
        const QByteArray name = QByteArray::fromStdString(args.files[k]);
        const QString path = pathOfArgument(name);
        if (streams.progress && count > 1)
            std::fprintf(streams.err, "\rfile %zu of %zu ", k + 1, count);
        bool ok = false;
        // Decoded, such a name would be another file's (or none's): refused as given.
        if (inexactNameReason(name))
            reportFailure(streams,
                          args.files[k],
                          QStringLiteral("the name is not valid in the system's character encoding, so it cannot be "
                                         "used exactly; rename the file and try again"));
        else if (args.list != ListMode::None)
            ok = listNames(path, args.list == ListMode::Clean, options, locale, streams);
        else if (args.toStdout)
            ok = writeToStdout(path, target, form, options, locale, streams);
        else
            ok = cleanFile(path, target, form, options, locale, args.keep, streams);
        if (!ok)
            ++failed;
    }
    if (streams.progress && count > 1)
        std::fputs("\r\n", streams.err);
    return failed == 0 ? 0 : 1;
}

} // namespace scrivane::cli
