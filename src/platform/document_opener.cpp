#include "document_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
// Only after windows.h, whose types it uses.
#include <shlwapi.h>
#endif

namespace scrivane {

namespace {

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
bool sandboxed()
{
    return QFileInfo::exists(QStringLiteral("/.flatpak-info")) || !qEnvironmentVariableIsEmpty("SNAP");
}
#endif

} // namespace

bool DesktopDocumentOpener::start()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // Both systems can always be asked; whether a file type has a handler is
    // asked per document.
    return true;
#else
    // Qt hands documents to xdg-open, or inside Flatpak and Snap to the desktop
    // portal. Without either, openUrl only prints a warning, so the user would
    // see nothing and never learn where the guide is.
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() || sandboxed();
#endif
}

bool DesktopDocumentOpener::open(const QString& path)
{
    // Asked first, since neither system says so afterwards: xdg-open without a
    // handler falls back on any browser it finds, or fails on standard error
    // only, and Windows offers its "Open with" list.
    if (!desktopHasApplicationFor(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool desktopHasApplicationFor(const QString& path)
{
#if defined(Q_OS_WIN)
    const std::wstring suffix = L"." + QFileInfo(path).suffix().toStdWString();
    wchar_t program[MAX_PATH];
    DWORD length = MAX_PATH;
    // Without IGNOREUNKNOWN an unknown type would answer with the "Open with" dialog.
    const HRESULT found
        = AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE, suffix.c_str(), nullptr, program, &length);
    return found != HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION);
#elif defined(Q_OS_MACOS)
    Q_UNUSED(path);
    return true;
#else
    if (sandboxed())
        return true;
    // By the name, as the desktops' openers go by it for a ".doc".
    const QString type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
#endif
}

} // namespace scrivane
