#pragma once

#include <QString>

namespace scrivane {

// "Scrivane - 1.03": the title, the major number and the revision's last two digits.
QString mainWindowCaption(int major, int revision);

} // namespace scrivane
