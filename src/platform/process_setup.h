#pragma once

namespace scrivane {

// What a program of Scrivane sets for its whole process, once, first thing in
// main(): a file-size limit fails a write with an error that is reported instead
// of killing the program halfway (SIGXFSZ); Ctrl+C or closing a Windows console
// while a file is written removes the unfinished file; and the warning Qt gives
// on standard error where it cannot make a trash is held back, since the file is
// then deleted and the outcome reported in the program's own words.
void setUpProcess();

} // namespace scrivane
