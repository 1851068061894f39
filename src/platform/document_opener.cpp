#include "document_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace scrivane {

bool DesktopDocumentOpener::start()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // Both systems always have a default handler for a file type.
    return true;
#else
    // Qt hands documents to xdg-open, or inside Flatpak and Snap to the desktop
    // portal. Without either, openUrl only prints a warning, so the user would
    // see nothing and never learn where the guide is.
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return true;
    return QFileInfo::exists(QStringLiteral("/.flatpak-info")) || !qEnvironmentVariableIsEmpty("SNAP");
#endif
}

void DesktopDocumentOpener::open(const QString& path)
{
    // Whether the application managed to show it is not ours to see.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace scrivane
