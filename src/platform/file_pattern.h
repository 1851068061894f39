#pragma once

#include <QString>

namespace scrivane {

// Whether a file name matches a pattern in which "*" stands for any run of
// characters and "?" for exactly one; every other character, "[" included, stands
// for itself.
bool matchesFilePattern(QStringView name, QStringView pattern, Qt::CaseSensitivity cs = Qt::CaseSensitive);

bool hasWildcards(QStringView path);

} // namespace scrivane
