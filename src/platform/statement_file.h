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
// (missing, a folder, hidden, or a pattern with "*" or "?"). Memory: the clean
// ran out of memory at any step before the output stood; the statement is
// unchanged.
enum class CleanStep { Find, Read, Write, Delete, Memory };

// The reason given with CleanStep::Memory.
inline constexpr const char* notEnoughMemory = "not enough memory to clean this statement";

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

    bool succeeded() const { return !failure; }
};

// Cleans one statement file and puts the result under its output name. The path
// is taken as it is (trim it first), never as a pattern.
//
// The statement is never lost: the output is written in full to a temporary file
// and put in place before the input goes, and the input goes only when its name
// differs from the output's. On a failure before the output stands, the input is
// untouched and nothing stands under the output name; when only the delete fails,
// both files stand. The output gets the input's permission bits.
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
