#include "file_services.h"

#include "file_pattern.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace scrivane {

const FileSystem& FileSystem::system()
{
    static const FileSystem files;
    return files;
}

QStringList FileSystem::findPlainFiles(const QString& pattern) const
{
    qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    QString folder = slash < 0 ? QStringLiteral(".") : pattern.left(slash + 1);
    QString namePattern = pattern.mid(slash + 1);
    if (namePattern.isEmpty())
        return {};
    if (!hasWildcards(namePattern))
        return isPlainFile(pattern) ? QStringList {pattern} : QStringList {};

    QStringList found;
    // Without QDir::Hidden the listing leaves out hidden files, and without
    // QDir::System it leaves out sockets, devices and dangling links.
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Unsorted);
    for (const QString& name : names) {
        if (matchesFilePattern(name, namePattern))
            found.append(slash < 0 ? name : folder + name);
    }
    return found;
}

bool FileSystem::anyPlainFileMatches(const QString& pattern) const
{
    return !findPlainFiles(pattern).isEmpty();
}

bool FileSystem::isPlainFile(const QString& path) const
{
    if (path.isEmpty())
        return false;
    QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

std::optional<FileError> FileSystem::readWhole(const QString& path, QByteArray& bytes) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileError {path, file.errorString()};
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileError {path, file.errorString()};
    return std::nullopt;
}

std::optional<FileError> FileSystem::remove(const QString& path) const
{
    QFile file(path);
    if (!file.remove())
        return FileError {path, file.errorString()};
    return std::nullopt;
}

std::optional<FileError> FileSystem::writeWhole(const QString& path,
                                                const ByteProducer& produce,
                                                std::optional<QFileDevice::Permissions> permissions) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileError {path, file.errorString()};
    QString reason;
    bool ok = true;
    produce([&](std::string_view piece) {
        if (ok)
            ok = writePiece(file, piece, reason);
        return ok;
    });
    if (ok && permissions && !file.setPermissions(*permissions)) {
        reason = file.errorString();
        ok = false;
    }
    if (!ok) {
        file.cancelWriting();
        return FileError {path, reason};
    }
    if (!commit(file, reason))
        return FileError {path, reason};
    return std::nullopt;
}

bool FileSystem::writePiece(QSaveFile& file, std::string_view piece, QString& reason) const
{
    if (file.write(piece.data(), static_cast<qint64>(piece.size())) == static_cast<qint64>(piece.size()))
        return true;
    reason = file.errorString();
    return false;
}

bool FileSystem::commit(QSaveFile& file, QString& reason) const
{
    if (file.commit())
        return true;
    reason = file.errorString();
    return false;
}

} // namespace scrivane
