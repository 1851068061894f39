#pragma once

#include "file_services.h"
#include "names/locale_rules.h"
#include "names/name_options.h"
#include "names/statement_cleaner.h"
#include "statement/compat.h"

#include <QString>

#include <optional>

class QIODevice;

namespace scrivane {

// The step of a clean at which it stopped. Find: the path names no plain file
// (missing, a folder, hidden, or a pattern with "*" or "?"). Changed: other
// bytes stood under the input's name by the time the output was ready, so
// nothing was written. Memory: the clean ran out of memory at any step before
// the output stood; the statement is unchanged.
enum class CleanStep { Find, Read, Write, Delete, Changed, Memory };

// The reason given with CleanStep::Memory.
inline constexpr const char* notEnoughMemory = "not enough memory to clean this statement";
inline const QString changedWhileCleaning
    = QStringLiteral("The statement changed while it was being cleaned; nothing was changed. Please try again.");
// Why the input is kept when it changed after the output took its place.
inline const QString changedSoKept
    = QStringLiteral("It changed while it was being cleaned, so it was kept; both files stand");

struct CleanFailure
{
    CleanStep step;
    FileError error; // the reason is empty for Find
};

struct CleanOutcome
{
    // Where the cleaned statement goes: the input's name with the target's extension.
    QString outputPath;
    std::optional<CleanFailure> failure;
    // Why an XML statement cleaned for QuickBooks kept its XML form (UTF-8); empty
    // when it was converted or needed no conversion.
    std::string notConverted;
    // What became of the input once the output stood under another name: nothing
    // when it was kept, or when the output took its name.
    std::optional<Disposal> input;
    // Another run cleaned the same statement at the same time: the output stands
    // (written by that run) and the input is gone.
    bool cleanedElsewhere = false;

    bool succeeded() const { return !failure; }
};

// Cleans one statement file and puts the result under its output name. The path
// is taken as it is (trim it first), never as a pattern.
//
// The statement is never lost: the output is written in full to a temporary file
// and put in place before the input goes, and the input goes only when its name
// differs from the output's, and only while it is still what was read. On a
// failure before the output stands, the input is untouched and nothing stands
// under the output name; when only the delete fails, or the input changed after
// the output took its place, both files stand. The output gets the input's
// permission bits, and its owner and group where the process may give them.
//
// The input goes to the user's trash, and is deleted only where no trash can take
// it; with keepInput it stays where it is.
CleanOutcome cleanStatementFile(const QString& path,
                                Target target,
                                const NameOptions& options,
                                const LocaleRules& locale,
                                const FileSystem& files = FileSystem::system(),
                                FormChoice form = FormChoice::ForTarget,
                                bool keepInput = false);

// The same clean with the result going to out instead of a file; no file is
// written or deleted. Write failures of out are reported under the name outName.
// The outcome's output path is empty.
CleanOutcome cleanStatementTo(const QString& path,
                              Target target,
                              const NameOptions& options,
                              const LocaleRules& locale,
                              QIODevice& out,
                              const QString& outName,
                              const FileSystem& files = FileSystem::system(),
                              FormChoice form = FormChoice::ForTarget);

} // namespace scrivane
