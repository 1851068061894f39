#pragma once

#include "platform/prompts.h"

#include <QString>

class QWidget;

namespace scrivane {

// Opens every ".doc" file of folder whose name does not hold "Help for" (in that
// letter case), one after the other through opener. Where no application takes
// such a document, the same guide as a web page (the ".html" of the same name)
// goes to the browser instead; where that fails too, a message gives the guide's
// path. Says where to look when the opener can't be started, and says so too
// when there is no document. Returns how many documents were shown.
int openHelpDocument(Prompts& prompts, const QString& folder, QWidget* parent = nullptr);

// The same for the program's own folder.
int openHelpDocument(Prompts& prompts, QWidget* parent);

} // namespace scrivane
