#pragma once

#include <QString>

#include <optional>

namespace scrivane {

// Gives the finished file staging the name target in one step, replacing a file
// that stands there, so that the name never shows a partial file. The system's
// reason when it fails, in which case both files stay as they were.
//
// POSIX: rename(2), which replaces a link at target rather than following it.
// Windows: MoveFileExW with MOVEFILE_REPLACE_EXISTING, since a plain rename there
// fails whenever target exists, and MOVEFILE_WRITE_THROUGH, so that the move is
// on the disk before it returns.
std::optional<QString> replaceFileWith(const QString& staging, const QString& target);

} // namespace scrivane
