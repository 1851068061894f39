#include "support/faulty_file_system.h"

#include <QSaveFile>

#include <algorithm>

namespace scrivane {

std::optional<FileError> FaultyFileSystem::readWhole(const QString& path, QByteArray& bytes) const
{
    if (readFailure_)
        return FileError {path, *readFailure_};
    return FileSystem::readWhole(path, bytes);
}

std::optional<FileError> FaultyFileSystem::remove(const QString& path) const
{
    if (removeFailure_)
        return FileError {path, *removeFailure_};
    return FileSystem::remove(path);
}

std::optional<FileError> FaultyFileSystem::moveToTrash(const QString& path) const
{
    if (trashFailure_)
        return FileError {path, *trashFailure_};
    return FileSystem::moveToTrash(path);
}

bool FaultyFileSystem::writePiece(QSaveFile& file, std::string_view piece, QString& reason) const
{
    if (writeFailure_) {
        qint64 room = std::max<qint64>(0, writeLimit_ - file.pos());
        if (static_cast<qint64>(piece.size()) > room) {
            // Part of the piece goes in, as with a disk that fills up mid-write.
            FileSystem::writePiece(file, piece.substr(0, static_cast<std::size_t>(room)), reason);
            reason = *writeFailure_;
            return false;
        }
    }
    return FileSystem::writePiece(file, piece, reason);
}

bool FaultyFileSystem::commit(QSaveFile& file, QString& reason) const
{
    if (!commitFailure_)
        return FileSystem::commit(file, reason);
    // Everything was written; the rename that would put it in place fails.
    file.cancelWriting();
    file.commit();
    reason = *commitFailure_;
    return false;
}

} // namespace scrivane
