#pragma once

#include "file_services.h"

namespace scrivane {

// Files on Windows. As on POSIX, every file is opened once and then used through
// its handle: a read checks the handle it reads from, and a write goes into a
// fresh hidden file of its own (CREATE_NEW) that is flushed and renamed through
// the same handle, never opened again by name.
class WindowsFileSystem final : public FileSystem
{
public:
    FileResult read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const override;
    std::optional<FileStamp> stampOf(const QString& path) const override;
    FileResult remove(const QString& path) const override;
    FileResult moveToTrash(const QString& path) const override;
    FileResult writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const override;
};

// Has Ctrl+C, or closing the console, while a file is written remove the
// unfinished file before the program ends. For the program's start-up.
void removeStagingOnConsoleExit();

} // namespace scrivane
