#pragma once

// What the tests must know of the platform they run on: where Windows keeps a
// trash, and the few places where Wine falls short of Windows, each named.

#include <QLibrary>

// Windows has its Recycle Bin, which no environment variable moves and no test
// can look into; elsewhere the trash is the freedesktop.org one under the home.
#ifdef Q_OS_WIN
inline constexpr bool trashIsTheRecycleBin = true;
#else
inline constexpr bool trashIsTheRecycleBin = false;
#endif

// Whether this program is a Windows program running under Wine.
inline bool runsUnderWine()
{
#ifdef Q_OS_WIN
    return QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Wine 8's IFileOperation::DeleteItem is a stub, so under Wine nothing reaches the
// Recycle Bin and a clean deletes the original, as it does wherever no trash takes it.
inline bool originalGoesToTheTrash()
{
    return !runsUnderWine();
}
