#include "read_and_clean.h"

#include "counted_read.h"
#include "file_pattern.h"
#include "statement/output_name.h"
#include "statement/segment_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace scrivane {

namespace {

std::string_view viewOf(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// reason: words that come with the problem, such as the line of a bank file that
// could not be read.
CleanFailure failureOf(CleanProblem problem, const QString& path, QString reason = {})
{
    return CleanFailure {problem, {path, std::move(reason)}};
}

// A stream read to its end through the C library, which the programs set to
// binary: Qt's file engine fails on a Windows pipe.
std::optional<CleanFailure> readStream(const StatementSource& source, QByteArray& bytes)
{
    std::FILE* stream = source.stream();
    const auto readSome = [stream](char* into, std::int64_t room, QString& reason) -> std::int64_t {
        const std::size_t got = std::fread(into, 1, static_cast<std::size_t>(room), stream);
        if (got == 0 && std::ferror(stream)) {
            reason = systemReason();
            return -1;
        }
        return static_cast<std::int64_t>(got);
    };
    if (FileResult read = readCounted(readSome, 0, FileSystem::largestReadable, bytes, source.name()); !read.ok())
        return CleanFailure {CleanProblem::Unreadable, read.failure()};
    return std::nullopt;
}

std::optional<CleanFailure> readFile(const QString& path, const FileSystem& files, QByteArray& bytes, FileStamp& stamp)
{
    if (!isExactName(path))
        return CleanFailure {CleanProblem::Unreadable, {path, {}, FileProblem::InexactName}};
    if (hasWildcards(path) || !files.isPlainFile(path))
        return failureOf(CleanProblem::NotFound, path);
    if (FileResult read = files.readWhole(path, bytes, &stamp); !read.ok())
        return CleanFailure {CleanProblem::Unreadable, read.failure()};
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

// Whether the file at path holds exactly the joined segments.
bool holds(const FileSystem& files, const QString& path, const SegmentList& segments)
{
    std::int64_t size = 0;
    segments.forEachPiece([&size](std::string_view piece) { size += static_cast<std::int64_t>(piece.size()); });
    const std::optional<FileStamp> standing = files.stampOf(path);
    QByteArray bytes;
    if (!standing || standing->size != size || !files.readWhole(path, bytes).ok())
        return false;
    std::string_view rest = viewOf(bytes);
    bool same = static_cast<std::int64_t>(rest.size()) == size;
    segments.forEachPiece([&](std::string_view piece) {
        same = same && rest.starts_with(piece);
        if (same)
            rest.remove_prefix(piece.size());
    });
    return same;
}

// A statement read and cleaned in memory. The segments are views into the read
// bytes or into converted, so the three live and go together.
struct CleanInMemory
{
    ReadStatement read;
    std::string converted;
    SegmentList segments;
    FormReport form;
    std::vector<std::vector<std::size_t>> rowLines; // of a bank's file, converted first
};

std::optional<CleanFailure> readAndCleanInMemory(const CleanRequest& request,
                                                 const FileSystem& files,
                                                 CleanInMemory& cleaned,
                                                 CleanOutcome& outcome)
{
    cleaned.read = readStatement(request.input, files);
    if (!cleaned.read.ok())
        return cleaned.read.failure;
    if (std::optional<CleanFailure> failed = convertBankFileInput(
            request.input, cleaned.read.bytes, request.bankFile, &outcome.bankFileQuestions, &cleaned.rowLines))
        return failed;
    // Anything else would be written back under a statement's name, reported as
    // cleaned, and fail only at the import.
    if (const FileKind kind = fileKindOf(viewOf(cleaned.read.bytes)); kind != FileKind::Ofx)
        return CleanFailure {CleanProblem::NotAStatement, {request.input.name(), {}}, kind};
    cleaned.form = cleanStatement(viewOf(cleaned.read.bytes),
                                  cleaned.converted,
                                  cleaned.segments,
                                  request.target,
                                  request.names,
                                  request.locale,
                                  request.form);
    // Half the names renamed is no statement to write: nothing is.
    if (!cleaned.form.failure.empty())
        return CleanFailure {CleanProblem::RuleCannotWrite,
                             {request.input.name(), QString::fromStdString(cleaned.form.failure)}};
    outcome.notConverted = cleaned.form.notConverted;
    return std::nullopt;
}

// The check of what a clean writes, run on a thread of its own while the
// output is written: writing and syncing a big statement waits mostly on the
// disk, so the user waits for the longer of the two rather than for both. The
// check reads a list of the pieces gathered before the writing starts, since
// the segment list keeps a cursor and must not be walked by two threads.
//
// The check only advises: short of memory for it the clean goes on and tells
// nothing rather than fail, and where no thread can be had it runs first.
// Whatever way the clean ends, the findings reach the outcome once the check
// is done, and never before.
class CheckBesideWrite
{
public:
    CheckBesideWrite(const CleanRequest& request, const CleanInMemory& cleaned, CleanOutcome& outcome)
        : outcome_(outcome)
        , wanted_(request.check == CheckRun::Written)
    {
        if (!wanted_)
            return;
        try {
            cleaned.segments.forEachPiece([this](std::string_view piece) { pieces_.push_back(piece); });
        } catch (const std::bad_alloc&) {
            return;
        }
        const Target target = request.target;
        const std::string_view notConverted = outcome.notConverted;
        auto check = [this, target, notConverted] {
            try {
                findings_ = findingsToTell(checkStatement(pieces_, target, notConverted));
            } catch (const std::bad_alloc&) {
                findings_.clear();
            }
        };
        try {
            thread_ = std::thread(check);
        } catch (const std::system_error&) {
            check();
        }
    }
    CheckBesideWrite(const CheckBesideWrite&) = delete;
    CheckBesideWrite& operator=(const CheckBesideWrite&) = delete;

    ~CheckBesideWrite()
    {
        if (thread_.joinable())
            thread_.join();
        if (wanted_)
            outcome_.findings = std::move(findings_);
    }

private:
    CleanOutcome& outcome_;
    const bool wanted_;
    std::vector<std::string_view> pieces_;
    std::vector<Finding> findings_;
    std::thread thread_;
};

void checkInstead(const CleanRequest& request, const FileSystem& files, CleanOutcome& outcome)
{
    CleanInMemory cleaned;
    if ((outcome.failure = readAndCleanInMemory(request, files, cleaned, outcome)))
        return;
    const std::string output = joinSegments(cleaned.segments);
    outcome.findings = checkCleaned(
        {viewOf(cleaned.read.bytes), output, request.target, cleaned.form.converted, cleaned.form.notConverted});
    // A bank's file has no lines of the OFX made from it: a finding stands at
    // the row of its transaction, else at the first row of its statement, else
    // at the top, and the findings go in the order of those lines.
    if (cleaned.rowLines.empty())
        return;
    for (Finding& f : outcome.findings) {
        const std::vector<std::size_t>* rows
            = f.account >= 1 && f.account <= cleaned.rowLines.size() ? &cleaned.rowLines[f.account - 1] : nullptr;
        if (rows && f.transaction >= 1 && f.transaction <= rows->size())
            f.line = (*rows)[f.transaction - 1];
        else
            f.line = rows && !rows->empty() ? rows->front() : 1;
    }
    std::stable_sort(outcome.findings.begin(), outcome.findings.end(), [](const Finding& a, const Finding& b) {
        return a.line < b.line;
    });
}

void cleanToStream(const CleanRequest& request, const FileSystem& files, CleanOutcome& outcome)
{
    CleanInMemory cleaned;
    if ((outcome.failure = readAndCleanInMemory(request, files, cleaned, outcome)))
        return;
    const CheckBesideWrite check(request, cleaned, outcome);
    std::FILE* out = request.toStream->stream;
    const bool written = writeInBlocks(cleaned.segments, [out](std::string_view piece) {
        return std::fwrite(piece.data(), 1, piece.size(), out) == piece.size();
    });
    // Most statements fit in the stream's buffer: only the flush shows whether they got out.
    if (!written || std::fflush(out) != 0)
        outcome.failure = CleanFailure {CleanProblem::Unwritable, {request.toStream->name, systemReason()}};
}

void cleanBesideInput(const CleanRequest& request, const FileSystem& files, CleanOutcome& outcome)
{
    const QString& path = request.input.name();
    // A bank's file is the user's own source: it is never put away, and what is
    // made from it never takes its name.
    const bool bankFile = bankFileFormatOf(path.toStdString()).has_value();
    outcome.outputPath = QString::fromStdString(bankFile ? convertedOutputPath(path.toStdString(), request.target)
                                                         : outputPathFor(path.toStdString(), request.target));
    // Names that differ can still reach one file (a link, "./" in front):
    // putting the input away would then take the output with it.
    const bool ownName = files.sameFile(path, outcome.outputPath);
    outcome.tookInputsName = ownName;
    const bool keepInput = request.keepInput || bankFile;
    if (keepInput && ownName) {
        outcome.failure = failureOf(CleanProblem::WouldReplaceInput, path);
        return;
    }

    CleanInMemory cleaned;
    if ((outcome.failure = readAndCleanInMemory(request, files, cleaned, outcome)))
        return;
    const CheckBesideWrite check(request, cleaned, outcome);
    const FileStamp& read = cleaned.read.stamp;
    const SegmentList& segments = cleaned.segments;

    enum class Input { AsRead, Changed, Gone } input = Input::AsRead;
    WriteOptions how;
    // The output is never readable by more users than the statement was.
    how.like = &read;
    // What was cleaned must still be what stands under the input's name, or the
    // output would take the place of (or outlive) a statement it was not made from.
    how.beforeReplace = [&]() -> FileResult {
        std::optional<FileStamp> now = files.stampOf(path);
        if (now && now->sameContentAs(read))
            return {};
        input = now ? Input::Changed : Input::Gone;
        return FileError {path, {}};
    };
    // Whatever the output replaces, last month's output or for Other the statement
    // as it came, can still be taken back: it goes to the trash once every byte
    // of the output is on the disk, right before the output takes its name.
    // Where no trash takes it, the output replaces it as it always did.
    const auto checkInput = std::move(how.beforeReplace);
    how.beforeReplace = [&]() -> FileResult {
        if (FileResult unchanged = checkInput(); !unchanged.ok())
            return unchanged;
        if (files.isPlainFile(outcome.outputPath))
            outcome.replaced = files.moveToTrash(outcome.outputPath).ok() ? Disposal::Trashed : Disposal::Deleted;
        return {};
    };
    const FileResult written = files.writeWhole(
        outcome.outputPath, [&segments](const ByteSink& sink) { return writeInBlocks(segments, sink); }, how);
    if (!written.ok() && input == Input::Gone) {
        // Another run cleaned the same statement while this one worked, when
        // what stands under the output's name now is what this run made; any
        // other file there (last month's output, say) is no clean of this input.
        if (!ownName && holds(files, outcome.outputPath, segments))
            outcome.cleanedElsewhere = true;
        else
            outcome.failure = failureOf(CleanProblem::Vanished, path);
        return;
    }
    if (!written.ok()) {
        outcome.failure = input == Input::Changed ? failureOf(CleanProblem::Changed, path)
                                                  : CleanFailure {CleanProblem::Unwritable, written.failure()};
        return;
    }
    if (ownName || keepInput)
        return;
    std::optional<FileStamp> now = files.stampOf(path);
    if (!now)
        return; // removed by another run of the same clean
    if (!now->sameContentAs(read)) {
        outcome.failure = failureOf(CleanProblem::ChangedAfter, path);
        return;
    }
    Disposal disposal = Disposal::Trashed;
    if (const FileResult putAway = files.discard(path, disposal); putAway.ok())
        outcome.input = disposal;
    else if (files.stampOf(path))
        outcome.failure = CleanFailure {CleanProblem::NotPutAway, putAway.failure()};
}

} // namespace

ReadStatement readStatement(const StatementSource& source, const FileSystem& files)
{
    ReadStatement read;
    try {
        read.failure
            = source.isFile() ? readFile(source.name(), files, read.bytes, read.stamp) : readStream(source, read.bytes);
    } catch (const std::bad_alloc&) {
        read.bytes = QByteArray();
        read.failure = failureOf(CleanProblem::OutOfMemory, source.name());
    }
    return read;
}

std::optional<CleanFailure> convertBankFileInput(const StatementSource& source,
                                                 QByteArray& bytes,
                                                 const BankFileRequest& request,
                                                 std::shared_ptr<const BankFileQuestions>* questions,
                                                 std::vector<std::vector<std::size_t>>* rowLines)
{
    const std::optional<BankFileFormat> format
        = source.isFile() ? bankFileFormatOf(source.name().toStdString()) : std::nullopt;
    if (!format)
        return std::nullopt;
    try {
        auto asked = std::make_shared<BankFileQuestions>();
        asked->file = readBankFile(viewOf(bytes), *format);
        asked->layoutKey = layoutKey(asked->file);
        const std::optional<Mapping> stored = request.profileFor ? request.profileFor(asked->layoutKey) : std::nullopt;
        asked->profileStored = stored.has_value();
        BankFileConversion conversion
            = convertBankFile(asked->file, overlaid(stored.value_or(Mapping {}), request.given));
        const bool firstSight = request.askUnlessStored && !stored;
        if (!firstSight && !conversion.reading.error.empty())
            return failureOf(
                CleanProblem::NotConvertible, source.name(), QString::fromStdString(conversion.reading.error));
        if (firstSight || !conversion.reading.complete()) {
            conversion.reading.statements.clear();
            asked->reading = std::move(conversion.reading);
            if (questions)
                *questions = std::move(asked);
            return failureOf(CleanProblem::QuestionsOpen, source.name());
        }
        bytes = QByteArray(conversion.ofx.data(), static_cast<qsizetype>(conversion.ofx.size()));
        if (rowLines)
            *rowLines = std::move(conversion.rowLines);
    } catch (const std::bad_alloc&) {
        return failureOf(CleanProblem::OutOfMemory, source.name());
    }
    return std::nullopt;
}

// An allocation that fails anywhere in a clean (reading the statement, cutting
// it, cleaning names, building the output) ends that clean alone: until the
// output has been put in place the statement has not been touched.
CleanOutcome readAndClean(const CleanRequest& request, const FileSystem& files)
{
    CleanOutcome outcome;
    try {
        if (request.check == CheckRun::Instead)
            checkInstead(request, files, outcome);
        else if (request.toStream)
            cleanToStream(request, files, outcome);
        else if (request.input.isFile())
            cleanBesideInput(request, files, outcome);
        else
            outcome.failure = failureOf(CleanProblem::NotFound, request.input.name());
    } catch (const std::bad_alloc&) {
        outcome.failure = failureOf(CleanProblem::OutOfMemory, request.input.name());
    }
    // What was found in a statement that was not written is nobody's to tell.
    const bool outputStands = !outcome.failure || outcome.failure->problem == CleanProblem::NotPutAway
        || outcome.failure->problem == CleanProblem::ChangedAfter;
    if (request.check == CheckRun::Written && !outputStands)
        outcome.findings.clear();
    return outcome;
}

} // namespace scrivane
