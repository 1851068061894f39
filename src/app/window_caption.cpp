#include "window_caption.h"

#include "platform/application_title.h"
#include "scrivane/version.h"

namespace scrivane {

QString mainWindowCaption(int major, int revision)
{
    return applicationTitle + QStringLiteral(" - ") + QString::fromStdString(shortVersionText(major, revision));
}

} // namespace scrivane
