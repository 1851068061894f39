#include "statement_file.h"

#include "file_pattern.h"
#include "statement/output_name.h"
#include "statement/segment_list.h"

#include <QFileInfo>
#include <QIODevice>

#include <new>
#include <string>
#include <string_view>

namespace scrivane {

namespace {

// Finds and reads the input. Only the literal name counts: a "*" or "?" in it
// could have the run read one file and delete another.
std::optional<CleanFailure>
readInput(const QString& path, const FileSystem& files, QByteArray& bytes, FileStamp* stamp = nullptr)
{
    if (std::optional<QString> inexact = inexactNameReason(path))
        return CleanFailure {CleanStep::Read, {path, *inexact}};
    if (hasWildcards(path) || !files.isPlainFile(path))
        return CleanFailure {CleanStep::Find, {path, {}}};
    if (std::optional<FileError> error = files.readWhole(path, bytes, stamp))
        return CleanFailure {CleanStep::Read, *error};
    return std::nullopt;
}

// Hands the joined statement to write() in large blocks: a write per segment,
// millions of them in a big statement, would cost more than the clean itself.
template <class Write>
bool writeInBlocks(const SegmentList& segments, Write&& write)
{
    constexpr std::size_t blockSize = std::size_t(1) << 20;
    std::string block;
    block.reserve(blockSize);
    bool ok = true;
    segments.forEachPiece([&](std::string_view piece) {
        if (!ok)
            return;
        if (block.size() + piece.size() > blockSize) {
            ok = block.empty() || write(std::string_view(block));
            block.clear();
        }
        if (ok && piece.size() >= blockSize)
            ok = write(piece);
        else if (ok)
            block.append(piece);
    });
    return ok && (block.empty() || write(std::string_view(block)));
}

std::string_view viewOf(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Names that differ can still reach one file (a link, "./" in front): deleting
// the input would then delete the output.
bool sameFile(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

CleanFailure memoryFailure(const QString& path)
{
    return CleanFailure {CleanStep::Memory, {path, QString::fromLatin1(notEnoughMemory)}};
}

// A statement read and cleaned in memory. The segments are views into bytes or
// converted, so the three live and go together.
struct CleanedStatement
{
    QByteArray bytes;
    std::string converted;
    SegmentList segments;
    FileStamp read;
};

std::optional<CleanFailure> readAndClean(const QString& path,
                                         Target target,
                                         const NameOptions& options,
                                         const LocaleRules& locale,
                                         const FileSystem& files,
                                         FormChoice form,
                                         CleanedStatement& cleaned,
                                         CleanOutcome& outcome)
{
    if (std::optional<CleanFailure> failed = readInput(path, files, cleaned.bytes, &cleaned.read))
        return failed;
    outcome.notConverted
        = cleanStatement(viewOf(cleaned.bytes), cleaned.converted, cleaned.segments, target, options, locale, form)
              .notConverted;
    return std::nullopt;
}

CleanOutcome cleanWholeFile(const QString& path,
                            Target target,
                            const NameOptions& options,
                            const LocaleRules& locale,
                            const FileSystem& files,
                            FormChoice form,
                            bool keepInput)
{
    CleanOutcome outcome;
    outcome.outputPath = QString::fromStdString(outputPathFor(path.toStdString(), target));

    CleanedStatement cleaned;
    if ((outcome.failure = readAndClean(path, target, options, locale, files, form, cleaned, outcome)))
        return outcome;
    const FileStamp& read = cleaned.read;
    const SegmentList& segments = cleaned.segments;

    const bool ownName = sameFile(path, outcome.outputPath);
    enum class Input { AsRead, Changed, Gone } input = Input::AsRead;
    WriteOptions how;
    // The output is never readable by more users than the statement was.
    how.like = &read;
    // What was cleaned must still be what stands under the input's name, or the
    // output would take the place of (or outlive) a statement it was not made from.
    how.beforeReplace = [&]() -> std::optional<FileError> {
        std::optional<FileStamp> now = files.stampOf(path);
        if (now && now->sameContentAs(read))
            return std::nullopt;
        input = now ? Input::Changed : Input::Gone;
        return FileError {path, changedWhileCleaning};
    };
    std::optional<FileError> written = files.writeWhole(
        outcome.outputPath, [&segments](const ByteSink& sink) { return writeInBlocks(segments, sink); }, how);
    if (written && input == Input::Gone && !ownName && files.isPlainFile(outcome.outputPath)) {
        // Another run cleaned the same statement while this one worked: its output
        // stands, the input is gone, which is all this run was to do.
        outcome.cleanedElsewhere = true;
        return outcome;
    }
    if (written) {
        if (input == Input::Gone)
            outcome.failure = CleanFailure {CleanStep::Find, {path, {}}};
        else
            outcome.failure = CleanFailure {input == Input::Changed ? CleanStep::Changed : CleanStep::Write, *written};
        return outcome;
    }
    if (ownName || keepInput)
        return outcome;
    std::optional<FileStamp> now = files.stampOf(path);
    if (!now)
        return outcome; // removed by another run of the same clean
    if (!now->sameContentAs(read)) {
        outcome.failure = CleanFailure {CleanStep::Delete, {path, changedSoKept}};
        return outcome;
    }
    Disposal disposal = Disposal::Trashed;
    if (std::optional<FileError> removed = files.discard(path, disposal)) {
        if (files.stampOf(path))
            outcome.failure = CleanFailure {CleanStep::Delete, *removed};
    } else {
        outcome.input = disposal;
    }
    return outcome;
}

CleanOutcome cleanWholeFileTo(const QString& path,
                              Target target,
                              const NameOptions& options,
                              const LocaleRules& locale,
                              QIODevice& out,
                              const QString& outName,
                              const FileSystem& files,
                              FormChoice form)
{
    CleanOutcome outcome;
    CleanedStatement cleaned;
    if ((outcome.failure = readAndClean(path, target, options, locale, files, form, cleaned, outcome)))
        return outcome;

    const bool ok = writeInBlocks(cleaned.segments, [&out](std::string_view piece) {
        return out.write(piece.data(), static_cast<qint64>(piece.size())) == static_cast<qint64>(piece.size());
    });
    if (!ok)
        outcome.failure = CleanFailure {CleanStep::Write, {outName, out.errorString()}};
    return outcome;
}

} // namespace

// An allocation that fails anywhere in a clean (reading the statement, cutting
// it, cleaning names, building the output) ends that clean alone: until the
// output has been put in place the statement has not been touched.
CleanOutcome cleanStatementFile(const QString& path,
                                Target target,
                                const NameOptions& options,
                                const LocaleRules& locale,
                                const FileSystem& files,
                                FormChoice form,
                                bool keepInput)
{
    try {
        return cleanWholeFile(path, target, options, locale, files, form, keepInput);
    } catch (const std::bad_alloc&) {
        CleanOutcome outcome;
        outcome.outputPath = QString::fromStdString(outputPathFor(path.toStdString(), target));
        outcome.failure = memoryFailure(path);
        return outcome;
    }
}

CleanOutcome cleanStatementTo(const QString& path,
                              Target target,
                              const NameOptions& options,
                              const LocaleRules& locale,
                              QIODevice& out,
                              const QString& outName,
                              const FileSystem& files,
                              FormChoice form)
{
    try {
        return cleanWholeFileTo(path, target, options, locale, out, outName, files, form);
    } catch (const std::bad_alloc&) {
        CleanOutcome outcome;
        outcome.failure = memoryFailure(path);
        return outcome;
    }
}

} // namespace scrivane
