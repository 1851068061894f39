#include "support/faulty_file_system.h"

#include <algorithm>

namespace scrivane {

QStringList FaultyFileSystem::findPlainFiles(const QString& pattern) const
{
    return real_.findPlainFiles(pattern);
}

bool FaultyFileSystem::isPlainFile(const QString& path) const
{
    return real_.isPlainFile(path);
}

bool FaultyFileSystem::sameFile(const QString& a, const QString& b) const
{
    return real_.sameFile(a, b);
}

FileResult FaultyFileSystem::read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const
{
    if (beforeRead_)
        beforeRead_();
    if (readFailure_)
        return FileError {path, *readFailure_};
    return real_.read(path, bytes, stamp, readLimit_.value_or(largest));
}

std::optional<FileStamp> FaultyFileSystem::stampOf(const QString& path) const
{
    return real_.stampOf(path);
}

FileResult FaultyFileSystem::remove(const QString& path) const
{
    if (removeFailure_)
        return FileError {path, *removeFailure_};
    return real_.remove(path);
}

FileResult FaultyFileSystem::moveToTrash(const QString& path) const
{
    if (trashFailure_)
        return FileError {path, *trashFailure_};
    return real_.moveToTrash(path);
}

FileResult
FaultyFileSystem::writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const
{
    bool cutShort = false;
    ByteProducer limited = [&](const ByteSink& sink) {
        if (!writeFailure_)
            return produce(sink);
        qint64 written = 0;
        return produce([&](std::string_view piece) {
                   qint64 room = std::max<qint64>(0, writeLimit_ - written);
                   if (static_cast<qint64>(piece.size()) > room) {
                       // Part of the piece goes in, as with a disk that fills up mid-write.
                       sink(piece.substr(0, static_cast<std::size_t>(room)));
                       cutShort = true;
                       return false;
                   }
                   written += static_cast<qint64>(piece.size());
                   return sink(piece);
               })
            && !cutShort;
    };
    WriteOptions steps = options;
    steps.beforeReplace = [&]() -> FileResult {
        if (beforeReplace_)
            beforeReplace_();
        // Everything was written; the step that would put it in place fails.
        if (commitFailure_)
            return FileError {path, *commitFailure_};
        return options.beforeReplace ? options.beforeReplace() : FileResult();
    };
    FileResult written = real_.writeWhole(path, limited, steps);
    if (cutShort)
        return FileError {path, *writeFailure_};
    if (written.ok() && afterReplace_)
        afterReplace_();
    return written;
}

} // namespace scrivane
