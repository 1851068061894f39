#pragma once

#include "file_services.h"

#include <QString>

namespace scrivane {

// What went wrong with a file, as a sentence of its own, in the same words in
// the window and on the command line; for a refusal of the system, the
// system's own reason.
QString fileProblemText(const FileError& error);

} // namespace scrivane
