#pragma once

#include "platform/statement_file.h"

#include <QString>

namespace scrivane {

// What the user is told when a clean stops after the file was found: which file,
// the system's reason, and what became of the statement.
QString cleanFailureMessage(const CleanFailure& failure, const QString& input, const QString& output);

} // namespace scrivane
