#include "cli_runner.h"

#include "names/names_preview.h"
#include "platform/console.h"
#include "platform/file_pattern.h"
#include "platform/locale_rules_qt.h"
#include "platform/name_list_text.h"
#include "platform/read_and_clean.h"
#include "rules/payee_renamer.h"
#include "rules/rule_listing.h"
#include "rules/rules_csv.h"
#include "scrivane/version.h"
#include "statement/finding_format.h"
#include "statement/guidance.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <variant>
#include <vector>

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

// "file k of N" on a terminal while a file is worked on. Standard output is
// often the same terminal, so the text is blanked before any line is printed:
// every line then starts at the left margin, and none is left at the end.
class Progress
{
public:
    explicit Progress(const Streams& streams)
        : err_(streams.progress ? streams.err : nullptr)
    {
    }
    ~Progress() { clear(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void show(std::size_t k, std::size_t count)
    {
        if (!err_ || count < 2)
            return;
        clear();
        text_ = "file " + std::to_string(k) + " of " + std::to_string(count) + " ";
        std::fputs(("\r" + text_).c_str(), err_);
        std::fflush(err_);
    }

    void clear()
    {
        if (!err_ || text_.empty())
            return;
        std::fputs(("\r" + std::string(text_.size(), ' ') + "\r").c_str(), err_);
        std::fflush(err_);
        text_.clear();
    }

private:
    std::FILE* err_;
    std::string text_;
};

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

QString notAStatement(FileKind kind)
{
    const QString looks = kind == FileKind::Empty
        ? QStringLiteral("the file is empty")
        : QStringLiteral("it looks like ") + QString::fromUtf8(fileKindName(kind));
    return QStringLiteral("not a statement that can be cleaned: ") + looks + QStringLiteral(" (the file is unchanged)");
}

// What the line after the arrow says became of the files the clean put away.
std::string putAway(const CleanOutcome& outcome)
{
    const std::string earlier = "the earlier " + bytesOf(QFileInfo(outcome.outputPath).fileName());
    std::vector<std::string> notes;
    if (outcome.tookInputsName) {
        if (outcome.replaced == Disposal::Trashed)
            notes.push_back("original in the trash");
        else if (outcome.replaced == Disposal::Deleted)
            notes.push_back("original replaced: no trash could take it");
    } else {
        if (outcome.input == Disposal::Trashed)
            notes.push_back("original in the trash");
        if (outcome.replaced == Disposal::Trashed)
            notes.push_back(earlier + (outcome.input == Disposal::Trashed ? " too" : " in the trash"));
        else if (outcome.replaced == Disposal::Deleted)
            notes.push_back(earlier + " replaced: no trash could take it");
    }
    std::string line;
    for (const std::string& note : notes)
        line += (line.empty() ? " (" : "; ") + note;
    return line.empty() ? line : line + ")";
}

QString describe(const CleanFailure& failure, const QString& outputPath)
{
    const QString reason = fileProblemText(failure.error);
    switch (failure.problem) {
    case CleanProblem::NotFound:
        return whyNotAFile(failure.error.path);
    case CleanProblem::NotAStatement:
        return notAStatement(failure.kind);
    case CleanProblem::Unreadable:
        return QStringLiteral("cannot be read: ") + reason;
    case CleanProblem::NotConvertible:
        return QStringLiteral("cannot be converted: ") + reason + QStringLiteral(" (nothing was written)");
    case CleanProblem::QuestionsOpen:
        break;
    case CleanProblem::RuleCannotWrite:
        return QStringLiteral("not cleaned: ") + reason + QStringLiteral(" (the statement is unchanged)");
    case CleanProblem::Unwritable:
        return QStringLiteral("cannot write ") + failure.error.path + QStringLiteral(": ") + reason
            + QStringLiteral(" (the statement is unchanged)");
    case CleanProblem::OutOfMemory:
        return QStringLiteral("not enough memory to clean this statement");
    case CleanProblem::NotPutAway:
        return QStringLiteral("cleaned into ") + outputPath + QStringLiteral(", but the original cannot be removed: ")
            + reason;
    case CleanProblem::ChangedAfter:
        return QStringLiteral("cleaned into ") + outputPath
            + QStringLiteral(", but the original cannot be removed: It changed while it was being cleaned, so it "
                             "was kept; both files stand");
    case CleanProblem::Changed:
        return QStringLiteral(
            "The statement changed while it was being cleaned; nothing was changed. Please try again.");
    case CleanProblem::Vanished:
        return QStringLiteral("disappeared while it was being cleaned, so nothing was written");
    case CleanProblem::WouldReplaceInput:
        return QStringLiteral(
            "--keep: the cleaned file would replace the original under its own name (the statement is unchanged)");
    }
    return reason;
}

// What a bank's file leaves open, as the options that answer it.
QString whatToGive(const BankFileQuestions& asked)
{
    QStringList parts;
    for (Question question : asked.reading.questions) {
        switch (question) {
        case Question::Columns:
            parts << QStringLiteral("give --map: the columns of the date, the payee and the amount cannot be told "
                                    "for certain");
            break;
        case Question::DateOrder: {
            QStringList orders;
            for (const char* word : {"ymd", "mdy", "dmy"}) {
                if (asked.reading.dateOrders & orderBit(*dateOrderFromWord(word)))
                    orders << QString::fromLatin1(word);
            }
            parts << QStringLiteral("give --date-order (%1): every day in it is 12 or less, so its dates read "
                                    "either way")
                         .arg(orders.join(QStringLiteral(" or ")));
            break;
        }
        case Question::AccountId:
            parts << QStringLiteral("give --account: it does not say which account it is");
            break;
        }
    }
    return parts.join(QStringLiteral("; "));
}

// name: the file's name as given, byte for byte.
void reportFailure(const Streams& streams, const std::string& name, const QString& reason)
{
    printLine(streams.err, "scrivane-clean: " + name + ": " + reason.toStdString());
}

void reportFailure(const Streams& streams, const QString& path, const QString& reason)
{
    reportFailure(streams, bytesOf(path), reason);
}

// The statement named by path, or standard input for "-".
StatementSource sourceOf(const QString& path, const Streams& streams)
{
    if (path == QLatin1String(standardInputName))
        return StatementSource::stream(streams.in, path);
    return StatementSource::file(path);
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

// The names as the preview windows list them, one line each, of the statement
// read as a clean reads it. Names that the cleaner empties are not listed, as in
// the window; --list rules lists each name as it stands, the name a clean writes
// for it and the rule that matched, tab-separated. To a file or a pipe the lines
// are the statement's own bytes; on a terminal they are read in the statement's
// character set as the window reads them and printed in the terminal's encoding.
// Run out of memory, the list stops where it stands and says so; once a line
// cannot be written, no more are.
bool listNames(const QString& path,
               ListMode mode,
               const NameOptions& options,
               const RuleSet& rules,
               const LocaleRules& locale,
               const BankFileRequest& bankFile,
               const Streams& streams,
               Progress& progress,
               int& asked)
{
    bool written = true;
    try {
        const StatementSource source = sourceOf(path, streams);
        ReadStatement read = readStatement(source);
        progress.clear();
        std::shared_ptr<const BankFileQuestions> questions;
        if (read.ok())
            read.failure = convertBankFileInput(source, read.bytes, bankFile, &questions);
        if (!read.ok()) {
            reportFailure(streams, path, questions ? whatToGive(*questions) : describe(*read.failure, {}));
            asked += questions ? 1 : 0;
            return false;
        }
        std::string lines; // for the terminal, read as text once all are in
        auto print = [&](const std::string& line) {
            if (!written)
                return;
            if (streams.terminal)
                lines.append(line).push_back('\n');
            else
                written = std::fwrite(line.data(), 1, line.size(), streams.out) == line.size()
                    && std::fputc('\n', streams.out) != EOF;
        };
        const std::string_view text(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size()));
        Charset charset;
        std::string failure;
        if (mode == ListMode::Rules) {
            const RuleListingReport report
                = forEachRuleListing(text, options, rules, locale, [&](const RuleListing& listing) {
                      print(oneLine(listing.raw) + '\t' + oneLine(listing.written) + '\t'
                            + (listing.rule ? std::to_string(*listing.rule + 1) : std::string()));
                  });
            charset = report.charset;
            failure = report.failure;
        } else {
            const PreviewReport report
                = forEachPreviewName(text,
                                     mode == ListMode::Clean ? std::optional(options) : std::nullopt,
                                     locale,
                                     [&](std::string_view name) { print(oneLine(name)); });
            charset = report.charset;
            failure = report.failure;
        }
        if (streams.terminal) {
            read.bytes = QByteArray();
            written = printOnTerminal(streams.out, nameListDisplayText(lines, charset));
        }
        if (!failure.empty()) {
            std::fflush(streams.out);
            reportFailure(streams, path, QStringLiteral("not listed: ") + QString::fromStdString(failure));
            return false;
        }
    } catch (const std::bad_alloc&) {
        std::fflush(streams.out);
        reportFailure(streams, path, describe({CleanProblem::OutOfMemory, {path, {}}}, {}));
        return false;
    }
    if (!written || std::fflush(streams.out) != 0) {
        reportFailure(streams, path, cannotWriteOut + systemReason());
        return false;
    }
    return true;
}

// The payee rules of the run: those of the file --rules names, the saved ones, or
// none. A rules file that cannot be used is said on the error stream and gives
// nothing, and nothing is cleaned; a saved rule that cannot be read is said
// once and left out.
std::optional<RuleSet> rulesFor(const Arguments& args,
                                const std::function<StoredRules()>& savedRules,
                                const Streams& streams,
                                const std::string& settingsFile)
{
    std::vector<PayeeRule> rules;
    if (args.rulesFile) {
        const QString path = pathOfArgument(QByteArray::fromStdString(*args.rulesFile));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            reportFailure(streams, *args.rulesFile, QStringLiteral("cannot be read: ") + file.errorString());
            return std::nullopt;
        }
        const QByteArray bytes = file.readAll();
        RulesFile read = readRulesCsv(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        if (!read.error.empty()) {
            reportFailure(streams,
                          *args.rulesFile,
                          QString::fromStdString(read.error) + QStringLiteral(" No statement was touched."));
            return std::nullopt;
        }
        rules = std::move(read.rules);
    } else if (!args.noRules && savedRules) {
        StoredRules stored = savedRules();
        for (const SkippedRule& skipped : stored.skipped) {
            printLine(streams.err,
                      "scrivane-clean: " + settingsFile + ": payee rule " + skipped.entry.toStdString()
                          + " is left out: the rule " + skipped.reason);
        }
        rules = std::move(stored.rules);
    }
    auto compiled = RuleSet::compile(std::move(rules), RuleSet::Checked::Yes);
    if (const RuleError* error = std::get_if<RuleError>(&compiled)) {
        printLine(streams.err, "scrivane-clean: " + error->message);
        return std::nullopt;
    }
    return std::move(std::get<RuleSet>(compiled));
}

// One line on the error stream for a statement that QuickBooks gets in its XML
// form after all; the clean itself succeeded.
void reportNotConverted(const Streams& streams, const QString& path, const std::string& reason)
{
    if (!reason.empty())
        reportFailure(streams, path, QString::fromStdString(notConvertedSentence(reason)));
}

// What the target will meet in a statement that was written, one line each on
// the error stream, at the lines of written, the output's name.
void reportFindings(const Streams& streams, const std::string& written, const std::vector<Finding>& findings)
{
    for (const Finding& f : findings)
        printLine(streams.err, compilerLine(written, f));
}

bool clean(const QString& path, CleanRequest request, const Streams& streams, Progress& progress, int& asked)
{
    request.input = sourceOf(path, streams);
    if (request.toStream) {
        // The statement's bytes go to standard output, which may be this terminal.
        progress.clear();
        request.toStream->stream = streams.out;
    }
    const CleanOutcome outcome = readAndClean(request);
    progress.clear();
    const std::string written = request.toStream ? request.toStream->name.toStdString() : bytesOf(outcome.outputPath);
    if (!outcome.ok()) {
        const auto& questions = outcome.bankFileQuestions;
        reportFailure(
            streams, path, questions ? whatToGive(*questions) : describe(*outcome.failure, outcome.outputPath));
        asked += questions ? 1 : 0;
        reportFindings(streams, written, outcome.findings);
        return false;
    }
    if (!request.toStream) {
        printLine(streams.out,
                  bytesOf(path) + " -> " + bytesOf(outcome.outputPath) + putAway(outcome)
                      + (outcome.cleanedElsewhere ? " (already cleaned by another run)" : ""));
    }
    reportNotConverted(streams, path, outcome.notConverted);
    reportFindings(streams, written, outcome.findings);
    return true;
}

// Whether a statement can be imported as it would be cleaned: its findings on
// the output stream, placed in the statement as given, and nothing written.
// False when it has an error that the clean leaves, or cannot be read.
bool check(const QString& path,
           const std::string& name,
           CleanRequest request,
           const Streams& streams,
           bool json,
           Progress& progress,
           int& asked)
{
    request.input = sourceOf(path, streams);
    const CleanOutcome outcome = readAndClean(request);
    progress.clear();
    if (!outcome.ok()) {
        const auto& questions = outcome.bankFileQuestions;
        reportFailure(streams, path, questions ? whatToGive(*questions) : describe(*outcome.failure, {}));
        asked += questions ? 1 : 0;
        return false;
    }
    bool written = true;
    for (const Finding& f : outcome.findings)
        written = written && printLine(streams.out, json ? jsonLine(name, f) : compilerLine(name, f));
    if (!written) {
        reportFailure(streams, path, cannotWriteOut + systemReason());
        return false;
    }
    return std::none_of(outcome.findings.begin(), outcome.findings.end(), [](const Finding& f) {
        return f.level == FindingLevel::Error && !f.fixedByClean;
    });
}

} // namespace

QString fileProblemText(const FileError& error)
{
    switch (error.problem) {
    case FileProblem::System:
        break;
    case FileProblem::NotPlainFile:
        return QStringLiteral("Not a plain file");
    case FileProblem::TooLarge:
        return error.path == QLatin1String(standardInputName)
            ? QStringLiteral("Standard input is larger than 1 GB, too large for a statement")
            : QStringLiteral("File is larger than 1 GB, too large for a statement");
    case FileProblem::InexactName:
        return QStringLiteral("The name holds bytes that are not valid in the system's character encoding, so it "
                              "cannot be used exactly; rename the file and try again");
    case FileProblem::NoHome:
        return QStringLiteral("There is no home folder to hold a trash");
    case FileProblem::NameTooLongForTrash:
        return QStringLiteral("The name is too long for the trash");
    case FileProblem::NoTrash:
        return QStringLiteral("No trash can be made or written in the home folder");
    case FileProblem::GivenUp:
        return QStringLiteral("The write was given up");
    case FileProblem::Swapped:
        return QStringLiteral("Another file was put in the way as the written file took its name");
    }
    return error.reason;
}

int run(const ParseResult& parsed,
        const SettingSource& store,
        const Streams& streams,
        const std::string& settingsFile,
        const std::function<StoredRules()>& savedRules)
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
    CleanRequest request;
    request.target = targetFor(args, stored);
    request.form = args.keepForm ? FormChoice::Keep : FormChoice::ForTarget;
    request.names = optionsFor(args, stored);
    request.locale = localeRulesFor(QLocale::system());
    request.keepInput = args.keep;
    std::optional<RuleSet> rules = rulesFor(args, savedRules, streams, settingsFile);
    if (!rules)
        return 2;
    // The rules travel with the options; without one, the clean is as it always was.
    std::shared_ptr<const RuleRenaming> renaming = std::make_shared<RuleRenaming>(std::move(*rules));
    if (!renaming->rules().empty())
        request.names.renaming = renaming;
    request.check = args.check ? CheckRun::Instead : CheckRun::Written;
    if (args.toStdout)
        request.toStream = StreamOutput {streams.out, QStringLiteral("standard output")};
    // A bank's file is read as the options say, over the profile the desktop
    // program stored for its layout; what neither settles is never guessed.
    request.bankFile.given = args.bankFile;
    request.bankFile.profileFor = [&store](const std::string& key) -> std::optional<Mapping> {
        const std::optional<std::string> text = store.bankFileProfile(key);
        return text ? mappingFromText(*text) : std::nullopt;
    };

    int failed = 0;
    // Files that leave a question open for want of an option: a usage error.
    int asked = 0;
    Progress progress(streams);
    const std::size_t count = args.files.size();
    for (std::size_t k = 0; k < count; ++k) {
        const QByteArray name = QByteArray::fromStdString(args.files[k]);
        const QString path = pathOfArgument(name);
        progress.show(k + 1, count);
        bool ok = false;
        // Decoded, such a name would be another file's (or none's): refused as given.
        if (!isExactName(name)) {
            progress.clear();
            reportFailure(streams,
                          args.files[k],
                          QStringLiteral("the name is not valid in the system's character encoding, so it cannot be "
                                         "used exactly; rename the file and try again"));
        } else if (args.list != ListMode::None) {
            ok = listNames(path,
                           args.list,
                           request.names,
                           renaming->rules(),
                           request.locale,
                           request.bankFile,
                           streams,
                           progress,
                           asked);
        } else if (args.check) {
            ok = check(path, args.files[k], request, streams, args.json, progress, asked);
        } else {
            ok = clean(path, request, streams, progress, asked);
        }
        if (!ok)
            ++failed;
    }
    return asked > 0 ? 2 : failed == 0 ? 0 : 1;
}

} // namespace scrivane::cli
