#include "file_services.h"

#include "file_pattern.h"
#include "replace_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace scrivane {

namespace {

constexpr qint64 largestReadable = qint64(1) << 30;

} // namespace

QFileDevice::Permissions ownPermissions(const QString& path)
{
    return QFileInfo(path).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

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
    // Every file read whole is a statement. A bigger one is a wrong choice of file,
    // and reading it would only exhaust the memory.
    if (file.size() > largestReadable)
        return FileError {path, QStringLiteral("File is larger than 1 GB, too large for a statement")};
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

std::optional<FileError> FileSystem::moveToTrash(const QString& path) const
{
    // Without the home's data folder there is nowhere to keep a trash, and Qt 6.4
    // would then move the file into "files" under the current folder and call
    // that the trash.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // One the user cannot write sends Qt 6.4 to the same wrong place.
    if (dataHome.isEmpty() || !QFileInfo(dataHome).isDir() || !QFileInfo(dataHome).isWritable())
        return FileError {path, QStringLiteral("There is no folder for a trash in the home folder")};
    // The trash notes each file as NAME.trashinfo, or NAME.N.trashinfo when that is
    // taken, and Qt 6.4 keeps trying ever higher N for as long as the open fails:
    // a name with no room left for those suffixes would hang the program.
    constexpr qsizetype longestName = 255;
    constexpr qsizetype roomForTheInfoSuffix = 24;
    if (QFile::encodeName(QFileInfo(path).fileName()).size() + roomForTheInfoSuffix > longestName)
        return FileError {path, QStringLiteral("The name is too long for the trash")};
    // Where no trash folder can be made, Qt says so on standard error; the caller
    // reports the outcome in its own words, so that warning is held back.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtWarningMsg && previous)
            previous(type, context, text);
    });
    QFile file(path);
    const bool moved = file.moveToTrash();
    qInstallMessageHandler(previous);
    if (!moved)
        return FileError {path, file.errorString()};
    return std::nullopt;
}

std::optional<FileError> FileSystem::discard(const QString& path, Disposal& how) const
{
    how = Disposal::Trashed;
    if (!moveToTrash(path))
        return std::nullopt;
    how = Disposal::Deleted;
    return remove(path);
}

std::optional<FileError> FileSystem::writeWhole(const QString& path,
                                                const ByteProducer& produce,
                                                std::optional<QFileDevice::Permissions> permissions) const
{
    // QSaveFile alone would write through a link standing at path into the
    // link's target, and would give its temporary file the bits of a file
    // already standing there, which may be wider than the statement's. So the
    // bytes go into a private file of our own beside path, created 0600, which
    // then takes path's place by rename(2): a link there is replaced, never
    // followed.
    QString staging;
    {
        // Released before anything else opens the file: Windows lets no one
        // replace or delete a file that is still open.
        QTemporaryFile reserved(path + QStringLiteral(".XXXXXX"));
        if (!reserved.open())
            return FileError {path, reserved.errorString()};
        staging = reserved.fileName();
        reserved.setAutoRemove(false);
    }
    auto failed = [&](const QString& reason) {
        QFile::remove(staging);
        // A write cut short by a full disk (or a file-size limit) comes back from
        // Qt without a reason; the user still deserves one.
        if (reason.isEmpty() || reason == QFile().errorString())
            return FileError {path, QStringLiteral("Not every byte could be written; the disk may be full")};
        return FileError {path, reason};
    };
    if (!permissions) {
        QFileInfo standing(path);
        permissions = standing.isFile() ? ownPermissions(path) : QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    }

    // The staging file exists and is private, so QSaveFile's own temporary file
    // is created private too.
    QSaveFile file(staging);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    QString reason;
    bool ok = true;
    produce([&](std::string_view piece) {
        if (ok)
            ok = writePiece(file, piece, reason);
        return ok;
    });
#ifndef Q_OS_WIN
    if (ok && !file.setPermissions(*permissions)) {
        reason = file.errorString();
        ok = false;
    }
#endif
    if (!ok) {
        file.cancelWriting();
        return failed(reason);
    }
    if (!commit(file, reason))
        return failed(reason);
#ifdef Q_OS_WIN
    // Windows keeps one of the bits, the read-only attribute, and will neither
    // move nor delete a read-only file on every path, so it goes on last.
    if (std::optional<QString> moveFailure = replaceFileWith(staging, path))
        return failed(*moveFailure);
    if (!(*permissions & QFileDevice::WriteOwner) && !QFile::setPermissions(path, *permissions))
        return FileError {path, QStringLiteral("The file was written but could not be made read-only")};
#else
    if (std::optional<QString> moveFailure = replaceFileWith(staging, path))
        return failed(*moveFailure);
#endif
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
