#include "windows_file_system.h"

#include "counted_read.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <mutex>
#include <string>

#include <windows.h>

namespace scrivane {

const FileSystem& FileSystem::system()
{
    static const WindowsFileSystem files;
    return files;
}

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

QString lastReason()
{
    return systemReason(GetLastError());
}

class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE)
        : handle_(handle)
    {
    }
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// Others may go on reading, writing, renaming or deleting the file while it is
// open here, as they may on POSIX; the stamp notices what they did.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileStamp stampFrom(const BY_HANDLE_FILE_INFORMATION& info)
{
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = static_cast<std::int64_t>((std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    // Windows counts in 100 ns steps.
    stamp.modifiedNs = static_cast<std::int64_t>(
        ((std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime) * 100);
    // The read-only attribute is all Windows keeps of the permission bits.
    stamp.mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return stamp;
}

// Opened only to look at what stands there: folders included, nothing read.
HANDLE openToLook(const QString& path)
{
    return CreateFileW(widePath(path).c_str(),
                       FILE_READ_ATTRIBUTES,
                       shareAll,
                       nullptr,
                       OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr);
}

// Ok when what the handle reaches is a plain file on a disk, and not when it is
// a folder, a pipe, a console or a device; info then holds what it is.
FileResult plainFile(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info, const QString& path)
{
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return FileError {path, {}, FileProblem::NotPlainFile};
    if (!GetFileInformationByHandle(handle, &info))
        return FileError {path, lastReason()};
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return FileError {path, {}, FileProblem::NotPlainFile};
    return {};
}

bool writeAll(HANDLE handle, std::string_view piece, DWORD& error)
{
    while (!piece.empty()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(piece.size(), std::size_t(1) << 30));
        DWORD put = 0;
        if (!WriteFile(handle, piece.data(), wanted, &put, nullptr) || put == 0) {
            error = GetLastError();
            return false;
        }
        piece.remove_prefix(put);
    }
    return true;
}

// The staging file being written, if any, for the console's Ctrl+C and close
// handler, which Windows runs on a thread of its own while the write goes on.
std::mutex stagingLock;
std::wstring stagingName;

BOOL WINAPI removeStagingOnExit(DWORD)
{
    const std::lock_guard<std::mutex> hold(stagingLock);
    // The file is still open here, so it goes once the process has ended.
    if (!stagingName.empty())
        DeleteFileW(stagingName.c_str());
    // Not handled: the default handler then ends the program as it always would.
    return FALSE;
}

void noteStaging(const std::wstring& name)
{
    const std::lock_guard<std::mutex> hold(stagingLock);
    stagingName = name;
}

// The private file that becomes the output: a fresh hidden name of fixed length in
// the output's folder, so that any name the system accepts can be written beside it.
class Staging
{
public:
    ~Staging() { discard(); }

    HANDLE handle() const { return handle_.get(); }
    const QString& path() const { return path_; }

    std::optional<QString> create(const QString& folder)
    {
        static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QString name = QStringLiteral(".scrivane-");
            for (int k = 0; k < 6; ++k)
                name += QLatin1Char(letters[QRandomGenerator::system()->bounded(static_cast<int>(sizeof letters - 1))]);
            path_ = folder + QLatin1Char('/') + name;
            noteStaging(widePath(path_));
            // CREATE_NEW fails where anything stands, so this is a file nobody else has
            // opened; nobody may open it while it is written, but the Ctrl+C handler
            // may delete it.
            handle_.reset(CreateFileW(widePath(path_).c_str(),
                                      GENERIC_WRITE,
                                      FILE_SHARE_DELETE,
                                      nullptr,
                                      CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
                                      nullptr));
            if (handle_.valid())
                return std::nullopt;
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
        const QString reason = lastReason();
        path_.clear();
        noteStaging({});
        return reason;
    }

    // Shows the file as the output should be once it has its name: not hidden, and
    // read-only when the statement was.
    std::optional<QString> setAttributes(bool readOnly)
    {
        FILE_BASIC_INFO basic = {};
        basic.FileAttributes = readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
        if (!SetFileInformationByHandle(handle_.get(), FileBasicInfo, &basic, sizeof basic))
            return lastReason();
        return std::nullopt;
    }

    // Closes the file and gives it the name target, replacing what stands there.
    FileResult replace(const QString& target)
    {
        BY_HANDLE_FILE_INFORMATION own;
        if (!GetFileInformationByHandle(handle_.get(), &own))
            return FileError {target, lastReason()};
        // Windows lets nobody rename a file that is still open without sharing.
        handle_.reset();
        // A read-only file refuses to be replaced; the statement's own attribute
        // comes back on the output, so it is lifted only for the move.
        const std::wstring wideTarget = widePath(target);
        const DWORD standing = GetFileAttributesW(wideTarget.c_str());
        const bool lifted = standing != INVALID_FILE_ATTRIBUTES && (standing & FILE_ATTRIBUTE_READONLY)
            && !(standing & FILE_ATTRIBUTE_DIRECTORY)
            && SetFileAttributesW(wideTarget.c_str(), standing & ~DWORD(FILE_ATTRIBUTE_READONLY));
        if (!MoveFileExW(
                widePath(path_).c_str(), wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            if (lifted)
                SetFileAttributesW(wideTarget.c_str(), standing);
            return FileError {target, systemReason(error)};
        }
        path_.clear();
        noteStaging({});
        // Someone who may write in the folder could have swapped the staging name
        // between the close and the move.
        Handle arrived(openToLook(target));
        BY_HANDLE_FILE_INFORMATION now;
        if (!arrived.valid() || !GetFileInformationByHandle(arrived.get(), &now)
            || now.dwVolumeSerialNumber != own.dwVolumeSerialNumber || now.nFileIndexHigh != own.nFileIndexHigh
            || now.nFileIndexLow != own.nFileIndexLow)
            return FileError {target, {}, FileProblem::Swapped};
        return {};
    }

    void discard()
    {
        handle_.reset();
        if (!path_.isEmpty())
            DeleteFileW(widePath(path_).c_str());
        path_.clear();
        noteStaging({});
    }

private:
    Handle handle_;
    QString path_;
};

} // namespace

void removeStagingOnConsoleExit()
{
    SetConsoleCtrlHandler(removeStagingOnExit, TRUE);
}

FileResult plainFileOrNothing(const QString& path)
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    Handle handle(openToLook(path));
    if (!handle.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {};
        return FileError {path, systemReason(error)};
    }
    BY_HANDLE_FILE_INFORMATION info;
    return plainFile(handle.get(), info, path);
}

FileResult WindowsFileSystem::read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    // Opened once; from here on only the handle counts.
    Handle handle(CreateFileW(widePath(path).c_str(),
                              GENERIC_READ,
                              shareAll,
                              nullptr,
                              OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr));
    if (!handle.valid())
        return FileError {path, lastReason()};
    BY_HANDLE_FILE_INFORMATION info;
    if (FileResult plain = plainFile(handle.get(), info, path); !plain.ok())
        return plain;
    const FileStamp read = stampFrom(info);
    if (read.size > largest)
        return FileError {path, {}, FileProblem::TooLarge};
    const auto readSome = [&handle](char* into, std::int64_t room, QString& reason) -> std::int64_t {
        DWORD got = 0;
        if (!ReadFile(handle.get(), into, static_cast<DWORD>(std::min<std::int64_t>(room, 1 << 30)), &got, nullptr)) {
            reason = lastReason();
            return -1;
        }
        return got;
    };
    if (FileResult counted = readCounted(readSome, read.size, largest, bytes, path); !counted.ok())
        return counted;
    if (stamp)
        *stamp = read;
    return {};
}

std::optional<FileStamp> WindowsFileSystem::stampOf(const QString& path) const
{
    if (!isExactName(path))
        return std::nullopt;
    Handle handle(openToLook(path));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info))
        return std::nullopt;
    return stampFrom(info);
}

FileResult WindowsFileSystem::remove(const QString& path) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    // Windows refuses to delete a read-only file, where POSIX asks only about the
    // folder; a clean puts its input away the same on both, so the attribute is
    // lifted, and put back should the delete fail all the same.
    const std::wstring name = widePath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    const bool lifted = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)
        && SetFileAttributesW(name.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (!DeleteFileW(name.c_str())) {
        const DWORD error = GetLastError();
        if (lifted)
            SetFileAttributesW(name.c_str(), attributes);
        return FileError {path, systemReason(error)};
    }
    return {};
}

FileResult WindowsFileSystem::moveToTrash(const QString& path) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    return moveToTrashWithQt(path);
}

FileResult
WindowsFileSystem::writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    const QFileInfo target(path);
    if (target.fileName().isEmpty() || target.isDir())
        return FileError {path, systemReason(ERROR_DIRECTORY)};

    Staging staging;
    if (std::optional<QString> failed = staging.create(target.absolutePath()))
        return FileError {path, *failed};
    DWORD error = 0;
    bool failed = false;
    const bool produced = produce([&](std::string_view piece) {
        if (!failed)
            failed = !writeAll(staging.handle(), piece, error);
        return !failed;
    });
    if (failed)
        return FileError {path, systemReason(error)};
    if (!produced)
        return FileError {path, {}, FileProblem::GivenUp};
    // Without like, a plain file standing under the name lends its attribute.
    bool readOnly = false;
    if (options.like) {
        readOnly = !(options.like->mode & 0200);
    } else if (std::optional<FileStamp> standing = stampOf(path)) {
        readOnly = !(standing->mode & 0200);
    }
    if (std::optional<QString> refused = staging.setAttributes(readOnly))
        return FileError {path, *refused};
    // On the disk before it takes the name, so that a crash can't leave the name
    // on an empty file.
    if (!FlushFileBuffers(staging.handle()))
        return FileError {path, lastReason()};
    if (options.beforeReplace) {
        if (FileResult refused = options.beforeReplace(); !refused.ok())
            return refused;
    }
    return staging.replace(path);
}

} // namespace scrivane
