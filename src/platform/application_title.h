#pragma once

#include <QString>

namespace scrivane {

// The program's name as its windows and boxes show it: the main window's caption
// begins with it, and every box that gives no title of its own carries it.
inline const QString applicationTitle = QStringLiteral("Scrivane");

} // namespace scrivane
