#include "replace_file.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace scrivane {

#ifdef Q_OS_WIN

namespace {

// Windows wants wide paths with its own separators; Qt's strings are UTF-16
// already, so no character of a name is lost on the way.
std::wstring widePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

QString systemReason(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr,
                         code,
                         0,
                         reinterpret_cast<wchar_t*>(&text),
                         0,
                         nullptr);
    QString reason
        = length > 0 ? QString::fromWCharArray(text, length).trimmed() : QStringLiteral("Windows error %1").arg(code);
    LocalFree(text);
    return reason;
}

} // namespace

std::optional<QString> replaceFileWith(const QString& staging, const QString& target)
{
    if (MoveFileExW(
            widePath(staging).c_str(), widePath(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return systemReason(GetLastError());
}

#else

std::optional<QString> replaceFileWith(const QString& staging, const QString& target)
{
    if (std::rename(QFile::encodeName(staging).constData(), QFile::encodeName(target).constData()) == 0)
        return std::nullopt;
    return QString::fromLocal8Bit(std::strerror(errno));
}

#endif

} // namespace scrivane
