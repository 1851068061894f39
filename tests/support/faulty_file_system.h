#pragma once

#include "platform/file_services.h"

namespace scrivane {

// The real file system with one or more steps made to fail, for tests of what
// the program does then. A failing step leaves the disk as a real failure of that
// step would: a failed write or commit leaves no file behind, a failed delete or
// read changes nothing.
class FaultyFileSystem : public FileSystem
{
public:
    static inline const QString defaultReason = QStringLiteral("Input/output error");

    void failRead(QString reason = defaultReason) { readFailure_ = std::move(reason); }
    void failRemove(QString reason = defaultReason) { removeFailure_ = std::move(reason); }
    // The move into the trash fails, as on a file system that has no trash.
    void failTrash(QString reason = defaultReason) { trashFailure_ = std::move(reason); }
    // The write stops once this many bytes have gone in.
    void failWriteAfter(qint64 bytes, QString reason = defaultReason)
    {
        writeLimit_ = bytes;
        writeFailure_ = std::move(reason);
    }
    void failCommit(QString reason = defaultReason) { commitFailure_ = std::move(reason); }

    std::optional<FileError> readWhole(const QString& path, QByteArray& bytes) const override;
    std::optional<FileError> remove(const QString& path) const override;
    std::optional<FileError> moveToTrash(const QString& path) const override;

protected:
    bool writePiece(QSaveFile& file, std::string_view piece, QString& reason) const override;
    bool commit(QSaveFile& file, QString& reason) const override;

private:
    std::optional<QString> readFailure_;
    std::optional<QString> removeFailure_;
    std::optional<QString> trashFailure_;
    std::optional<QString> writeFailure_;
    std::optional<QString> commitFailure_;
    qint64 writeLimit_ = 0;
};

} // namespace scrivane
