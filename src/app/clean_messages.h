#pragma once

#include "platform/read_and_clean.h"

#include <QString>

namespace scrivane {

// What went wrong with a file, as a sentence of its own.
QString fileProblemText(const FileError& error);

// What the user is told when a clean fails: which file, the system's reason,
// and what became of the statement.
QString cleanFailureMessage(const CleanFailure& failure, const QString& input, const QString& output);

// What the final message adds where the file the output replaced could not go
// to the trash first: empty where it did, or where none stood there.
QString replacedWithoutTrash(const CleanOutcome& outcome);

// The final message, never reworded, and after an empty line one sentence on
// what the target will meet in the written file (findingsSentence), when its
// check found something to tell. Values quoted from the statement read in
// whatever character set it has.
QString followedByFindings(QString message, Target target, const std::vector<Finding>& told);

// The names of a file could not be listed for want of memory: an empty list
// would read as a statement without names.
QString namesNotListedMessage(const QString& input);

// The names of a bank's CSV or QIF file could not be listed: a row cannot be
// read, or the file is not known yet and Clean File must first ask about it.
QString bankFileNotListedMessage(const CleanFailure& failure, const QString& input);

} // namespace scrivane
