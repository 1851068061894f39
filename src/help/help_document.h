#pragma once

#include "platform/document_opener.h"

#include <QString>

class QWidget;

namespace scrivane {

// Opens every ".doc" file of folder whose name does not hold "Help for" (in that
// letter case), one after the other through opener. Says where to look when the
// opener can't be started, and says so too when no document was opened. Returns
// how many documents it tried to open.
int openHelpDocument(DocumentOpener& opener, const QString& folder, QWidget* parent = nullptr);

// The same for the program's own folder through the desktop's default application.
int openHelpDocument(QWidget* parent = nullptr);

} // namespace scrivane
