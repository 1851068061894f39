#pragma once

namespace scrivane {

// Starts the desktop program: the main window, until the last window closes.
int runScrivane(int& argc, char** argv);

} // namespace scrivane
