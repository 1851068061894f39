#pragma once

#include <string>
#include <vector>

namespace scrivane {

// The program's arguments after its own name, each as the bytes the file
// services take a path in (see pathOfArgument). POSIX hands over a name's own
// bytes. Windows' narrow command line is in the ANSI code page, which drops
// characters outside it or swaps in look-alikes that name other files, so there
// the wide one is taken, as UTF-8.
std::vector<std::string> commandLineArguments(int argc, char** argv);

} // namespace scrivane
