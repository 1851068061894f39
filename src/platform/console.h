#pragma once

#include <QString>

#include <cstdio>

namespace scrivane {

// Whether stream is a terminal, where progress lines help, rather than a file or pipe.
bool isTerminal(std::FILE* stream);

// Makes stream pass bytes through unchanged. On Windows a standard stream starts in
// text mode, which turns every LF into CR LF and would corrupt a statement
// written to standard output; elsewhere streams are binary already.
void useBinaryMode(std::FILE* stream);

// Writes text to a terminal in the terminal's own encoding: through the console's
// wide-character output on Windows, where a console reads no UTF-8 by default,
// and in the locale's encoding (UTF-8) elsewhere. False when it did not all go out.
bool printOnTerminal(std::FILE* stream, const QString& text);

} // namespace scrivane
