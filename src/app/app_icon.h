#pragma once

#include <QIcon>

namespace scrivane {

// The program's icon in every size drawn for it; the null icon when none was built in.
QIcon applicationIcon();

} // namespace scrivane
