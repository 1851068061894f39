#pragma once

#include "bank_file_input.h"
#include "file_services.h"
#include "names/locale_rules.h"
#include "names/name_options.h"
#include "names/statement_cleaner.h"
#include "statement/compat.h"
#include "statement/file_kind.h"
#include "statement/statement_check.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace scrivane {

// Where a statement comes from: a file named by its path, or a stream that is
// already open (standard input), read to its end.
class StatementSource
{
public:
    // The path is taken as it is (trim it first), never as a pattern.
    static StatementSource file(QString path) { return StatementSource(std::move(path), nullptr); }
    // name stands for the stream where a failure names its input ("-").
    static StatementSource stream(std::FILE* stream, QString name) { return StatementSource(std::move(name), stream); }

    bool isFile() const { return stream_ == nullptr; }
    // The file's path, or the stream's name.
    const QString& name() const { return name_; }
    std::FILE* stream() const { return stream_; }

private:
    StatementSource(QString name, std::FILE* stream)
        : name_(std::move(name))
        , stream_(stream)
    {
    }

    QString name_;
    std::FILE* stream_;
};

// Where the cleaned statement goes instead of a file beside the input: a C
// stream (standard output), flushed at the end. Nothing is written to it before
// the clean is done, and no file is written, moved or deleted.
struct StreamOutput
{
    std::FILE* stream = nullptr;
    QString name; // what a failure to write calls it ("standard output")
};

// What a clean asks of the import check (statement/statement_check.h).
enum class CheckRun {
    None,
    // The statement is checked as it is written; once the output stands, the
    // outcome holds what its user is told (findingsToTell), at the lines of
    // what was written.
    Written,
    // Nothing is written, moved or deleted: the statement is cleaned in memory
    // and checked as it would be written (checkCleaned), each finding at its
    // line in the input, those the clean mends marked so, with notes on what
    // the clean does.
    Instead,
};

// One clean, whole. New rules and checks come in as fields here, so that the
// window and the command line, which both build one of these, pick them up
// through the one road rather than through another parameter in every call.
struct CleanRequest
{
    StatementSource input = StatementSource::file({});
    Target target = Target::Other;
    FormChoice form = FormChoice::ForTarget;
    NameOptions names;
    LocaleRules locale = LocaleRules::enUS();
    // Without a stream the output goes beside the input, under the input's name
    // with the target's extension, and the input then goes to the user's trash
    // (deleted only where no trash can take it), unless it is kept.
    std::optional<StreamOutput> toStream;
    bool keepInput = false;
    // A file named ".csv" or ".qif" is a bank's export: converted to an OFX
    // statement in memory, as this says, before the clean. Its output goes
    // beside it under the target's extension (".ofx" for Other), and the bank's
    // file itself stays where it is, whatever keepInput says.
    BankFileRequest bankFile;
    CheckRun check = CheckRun::None;
};

// Why a clean stopped, or what went wrong after its output stood. The front
// ends word each one; the error carries the file and the system's reason.
enum class CleanProblem {
    // Before anything was written; the statement is unchanged.
    NotFound, // the path names no plain file: missing, a folder, hidden, or holding "*" or "?"
    NotAStatement, // the bytes are no statement; kind says what they look like
    RuleCannotWrite, // a payee rule's name holds a character the statement's set lacks; the reason says which
    Unreadable, // the input could not be read
    NotConvertible, // a row of a bank's CSV or QIF file cannot be read; the reason names its line and field
    QuestionsOpen, // a bank's file needs answers first: the outcome's bankFileQuestions says which
    OutOfMemory, // at any step before the output stood
    Unwritable, // the output could not be written; the error names it
    Changed, // other bytes stood under the input's name by the time the output was ready
    Vanished, // the input went before the output stood, and what stands under the output's name is not this clean's
    WouldReplaceInput, // the input was to be kept, but the output would take its own name
    // The output stands; the input stands too.
    NotPutAway, // the input could not go to the trash nor be deleted
    ChangedAfter, // the input changed once the output stood, so it was kept
};

struct CleanFailure
{
    CleanProblem problem;
    FileError error; // the file concerned; its reason is empty where the problem says all
    FileKind kind = FileKind::Ofx; // what the input looks like, for NotAStatement
};

// What a clean did. Carries what a front end tells the user on success too.
struct [[nodiscard]] CleanOutcome
{
    // Where the cleaned statement went: the input's name with the target's
    // extension; empty for a stream.
    QString outputPath;
    std::optional<CleanFailure> failure;
    // Why an XML statement cleaned for QuickBooks kept its XML form (UTF-8); empty
    // when it was converted or needed no conversion.
    std::string notConverted;
    // What became of the input once the output stood under another name: nothing
    // when it was kept, or when the output took its name.
    std::optional<Disposal> input;
    // What became of the file that stood under the output's name before the
    // output took it (an earlier output, or the statement itself where the output
    // takes its name): Trashed, or Deleted where no trash took it and the output
    // simply replaced it; nothing when no file stood there. Set also when the
    // output then failed to take the name.
    std::optional<Disposal> replaced;
    // The output took the input's own name (Other, or an input already named for
    // the target), so the file it replaced was the statement itself.
    bool tookInputsName = false;
    // Another run cleaned the same statement at the same time: the output that
    // stands holds exactly what this run made, and the input is gone.
    bool cleanedElsewhere = false;
    // With CleanProblem::QuestionsOpen: the bank's file and what it asks.
    std::shared_ptr<const BankFileQuestions> bankFileQuestions;
    // What the check asked for found (CheckRun); with CheckRun::Written, only
    // where the output stands.
    std::vector<Finding> findings;

    bool ok() const { return !failure; }
};

// A statement read whole, as a clean reads it.
struct [[nodiscard]] ReadStatement
{
    QByteArray bytes;
    FileStamp stamp; // what the file was as it was read; nothing for a stream
    std::optional<CleanFailure> failure;

    bool ok() const { return !failure; }
};

// Reads the statement the source names: a file only by its literal name (a "*"
// or "?" in it could have a clean read one file and delete another), only while
// it is a plain file, and at most FileSystem::largestReadable bytes, as is a
// stream. Everything that lists or cleans a statement reads it here.
ReadStatement readStatement(const StatementSource& source, const FileSystem& files = FileSystem::system());

// When the source names a bank's CSV or QIF file, replaces its bytes, read, by
// the OFX statement they make as the request says; leaves every other
// statement alone. A failure (NotConvertible, QuestionsOpen, OutOfMemory)
// leaves the read bytes as they were, with the questions where there are some.
// rowLines, where given, gets the line of each converted row in the bank's
// file (see BankFileConversion).
std::optional<CleanFailure> convertBankFileInput(const StatementSource& source,
                                                 QByteArray& bytes,
                                                 const BankFileRequest& request,
                                                 std::shared_ptr<const BankFileQuestions>* questions = nullptr,
                                                 std::vector<std::vector<std::size_t>>* rowLines = nullptr);

// Reads, cleans and writes one statement as the request says. Only a statement
// is cleaned: other bytes are refused before anything is written.
//
// The statement is never lost: the output is written in full to a temporary file
// and put in place before the input goes, and the input goes only when its name
// differs from the output's, and only while it is still what was read. A file
// that the output replaces goes to the trash right before the output takes its
// name, once every byte of the output is on the disk. On a
// failure before the output stands, the input is untouched and nothing stands
// under the output name; when only putting the input away fails, or the input
// changed after the output took its place, both files stand. The output gets the
// input's permission bits, and its owner and group where the process may give them.
CleanOutcome readAndClean(const CleanRequest& request, const FileSystem& files = FileSystem::system());

} // namespace scrivane
