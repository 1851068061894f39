#pragma once

#include "platform/file_services.h"

#include <functional>

namespace scrivane {

// The real file system with one or more steps made to fail, or with the disk
// changed between two steps, for tests of what the program does then. A failing
// step leaves the disk as a real failure of that step would: a failed write or
// commit leaves no file behind, a failed delete or read changes nothing.
class FaultyFileSystem : public FileSystem
{
public:
    static inline const QString defaultReason = QStringLiteral("Input/output error");

    explicit FaultyFileSystem(const FileSystem& real = FileSystem::system())
        : real_(real)
    {
    }

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
    // Reads refuse files bigger than this, as they do past 1 GB.
    void limitReads(std::int64_t largest) { readLimit_ = largest; }

    // Code to run right before a read opens its file, right before a written
    // file takes its name (every byte is on the disk by then), and right after.
    void beforeRead(std::function<void()> step) { beforeRead_ = std::move(step); }
    void beforeReplace(std::function<void()> step) { beforeReplace_ = std::move(step); }
    void afterReplace(std::function<void()> step) { afterReplace_ = std::move(step); }

    QStringList findPlainFiles(const QString& pattern) const override;
    bool isPlainFile(const QString& path) const override;
    bool sameFile(const QString& a, const QString& b) const override;
    FileResult read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const override;
    std::optional<FileStamp> stampOf(const QString& path) const override;
    FileResult remove(const QString& path) const override;
    FileResult moveToTrash(const QString& path) const override;
    FileResult writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const override;

private:
    const FileSystem& real_;
    std::optional<QString> readFailure_;
    std::optional<QString> removeFailure_;
    std::optional<QString> trashFailure_;
    std::optional<QString> writeFailure_;
    std::optional<QString> commitFailure_;
    qint64 writeLimit_ = 0;
    std::optional<std::int64_t> readLimit_;
    std::function<void()> beforeRead_;
    std::function<void()> beforeReplace_;
    std::function<void()> afterReplace_;
};

} // namespace scrivane
