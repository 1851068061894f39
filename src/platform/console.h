#pragma once

#include <cstdio>

namespace scrivane {

// Whether stream is a terminal, where progress lines help, rather than a file or pipe.
bool isTerminal(std::FILE* stream);

// Makes stream pass bytes through unchanged. On Windows a standard stream starts in
// text mode, which turns every LF into CR LF and would corrupt a statement
// written to standard output; elsewhere streams are binary already.
void useBinaryMode(std::FILE* stream);

} // namespace scrivane
