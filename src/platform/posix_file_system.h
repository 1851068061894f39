#pragma once

#include "file_services.h"

namespace scrivane {

// Files on a POSIX system. Every file is opened once and then used only through
// its descriptor, so nothing put under a name between two steps is acted on by
// mistake: a read checks the descriptor it reads from, and a write goes into a
// file that has no name (O_TMPFILE) or a fresh one of its own (O_EXCL), never
// into one opened again by name.
class PosixFileSystem final : public FileSystem
{
public:
    // Anonymous files for writing where the file system has them; without, every
    // write uses a named private file (which a signal handler removes).
    explicit PosixFileSystem(bool anonymousStaging = true);

    FileResult read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const override;
    std::optional<FileStamp> stampOf(const QString& path) const override;
    FileResult remove(const QString& path) const override;
    FileResult moveToTrash(const QString& path) const override;
    FileResult writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const override;

private:
    bool anonymousStaging_;
};

} // namespace scrivane
