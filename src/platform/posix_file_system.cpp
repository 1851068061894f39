#include "posix_file_system.h"

#include "counted_read.h"
#include "posix_staging_cleanup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivane {

const FileSystem& FileSystem::system()
{
    static const PosixFileSystem files;
    return files;
}

namespace {

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : fd_(fd)
    {
    }
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

FileStamp stampFrom(const struct stat& info)
{
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.mode = static_cast<std::uint32_t>(info.st_mode & 07777);
    stamp.owner = static_cast<std::uint32_t>(info.st_uid);
    stamp.group = static_cast<std::uint32_t>(info.st_gid);
    return stamp;
}

bool writeAll(int fd, std::string_view piece, int& error)
{
    while (!piece.empty()) {
        const ssize_t put = ::write(fd, piece.data(), piece.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0) {
            error = errno;
            return false;
        }
        piece.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

// A hidden name of fixed length, so that a statement's name of any length the
// system accepts can be written beside it.
using StagingName = std::array<char, 17>;

StagingName freshStagingName()
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    StagingName name = {};
    std::memcpy(name.data(), ".scrivane-", 10);
    for (std::size_t k = 10; k < 16; ++k)
        name[k] = letters[QRandomGenerator::system()->bounded(static_cast<int>(sizeof letters - 1))];
    return name;
}

// The private file that becomes the output: where it is, what it is called once
// it has a name, and whether a signal must remove it.
class Staging
{
public:
    explicit Staging(int folder)
        : folder_(folder)
    {
    }
    ~Staging() { discard(); }

    int fd() const { return fd_.get(); }

    // Without a name where the file system allows (nothing is ever left, even
    // after SIGKILL); else under a fresh name nobody else can have opened.
    int create(bool anonymous)
    {
#ifdef O_TMPFILE
        if (anonymous) {
            fd_.reset(::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
            if (fd_.get() >= 0)
                return 0;
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return errno;
        }
#else
        (void)anonymous;
#endif
        return underFreshName([this] {
            fd_.reset(::openat(folder_, name_.data(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            return fd_.get() >= 0;
        });
    }

    // Gives an anonymous file its name in the folder.
    int name()
    {
        if (named_)
            return 0;
        return underFreshName([this] {
            if (::linkat(fd_.get(), "", folder_, name_.data(), AT_EMPTY_PATH) == 0)
                return true;
            if (errno == EEXIST)
                return false;
            // Without CAP_DAC_READ_SEARCH, the descriptor's entry in /proc.
            char self[64];
            std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_.get());
            return ::linkat(AT_FDCWD, self, folder_, name_.data(), AT_SYMLINK_FOLLOW) == 0;
        });
    }

    // Puts the file under leaf. False with errno 0 when what arrived there is not
    // this file: someone who may write in the folder swapped the name meanwhile.
    bool replace(const char* leaf, int& error)
    {
        struct stat own, arrived;
        if (::fstat(fd_.get(), &own) != 0 || ::renameat(folder_, name_.data(), folder_, leaf) != 0) {
            error = errno;
            return false;
        }
        named_ = false;
        cleanup_.reset();
        error = 0;
        return ::fstatat(folder_, leaf, &arrived, AT_SYMLINK_NOFOLLOW) == 0 && arrived.st_dev == own.st_dev
            && arrived.st_ino == own.st_ino;
    }

    void discard()
    {
        if (named_)
            ::unlinkat(folder_, name_.data(), 0);
        named_ = false;
        cleanup_.reset();
        fd_.reset();
    }

private:
    // Tries make under fresh names until one is free: 0 once it worked (the file
    // then has a name a signal must remove), else the reason.
    template <typename Make>
    int underFreshName(Make make)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            claimName();
            if (make()) {
                named_ = true;
                return 0;
            }
            cleanup_.reset();
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    void claimName()
    {
        cleanup_.reset();
        name_ = freshStagingName();
        cleanup_.emplace(folder_, name_.data());
    }

    int folder_;
    Descriptor fd_;
    StagingName name_ = {};
    bool named_ = false;
    std::optional<posix::StagingCleanup> cleanup_;
};

// The bits the output gets, after giving it like's owner and group where the
// process may: where it may not, only the owner keeps access.
std::optional<int> setAccess(int fd, int folder, const char* leaf, const FileStamp* like)
{
    mode_t mode = 0600;
    struct stat standing;
    if (like) {
        mode = static_cast<mode_t>(like->mode & 0777);
        struct stat own;
        if (::fstat(fd, &own) != 0)
            return errno;
        const bool sameOwner = own.st_uid == static_cast<uid_t>(like->owner);
        const bool sameGroup = own.st_gid == static_cast<gid_t>(like->group);
        if ((!sameOwner || !sameGroup)
            && ::fchown(fd, static_cast<uid_t>(like->owner), static_cast<gid_t>(like->group)) != 0)
            mode &= 0700;
    } else if (::fstatat(folder, leaf, &standing, 0) == 0 && S_ISREG(standing.st_mode)) {
        mode = standing.st_mode & 0777;
    }
    if (::fchmod(fd, mode) != 0)
        return errno;
    return std::nullopt;
}

// Makes folder and whatever is missing above it, each new folder open to its
// owner alone; true when a folder stands there in the end.
bool makePrivateFolder(const QByteArray& folder)
{
    struct stat info;
    if (::stat(folder.constData(), &info) != 0) {
        const qsizetype slash = folder.lastIndexOf('/');
        if (errno != ENOENT || (slash > 0 && !makePrivateFolder(folder.left(slash))))
            return false;
        ::mkdir(folder.constData(), 0700);
        if (::stat(folder.constData(), &info) != 0)
            return false;
    }
    return S_ISDIR(info.st_mode);
}

} // namespace

FileResult plainFileOrNothing(const QString& path)
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    // Opening a FIFO to read without O_NONBLOCK would wait for a writer.
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info;
    if (fd.get() < 0)
        return errno == ENOENT ? FileResult() : FileError {path, reasonOf(errno)};
    if (::fstat(fd.get(), &info) != 0)
        return FileError {path, reasonOf(errno)};
    if (!S_ISREG(info.st_mode))
        return FileError {path, {}, FileProblem::NotPlainFile};
    return {};
}

PosixFileSystem::PosixFileSystem(bool anonymousStaging)
    : anonymousStaging_(anonymousStaging)
{
}

FileResult PosixFileSystem::read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    // Opened once, without waiting for a writer should a FIFO stand there by now;
    // from here on only the descriptor counts.
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return FileError {path, reasonOf(errno)};
    struct stat info;
    if (::fstat(fd.get(), &info) != 0)
        return FileError {path, reasonOf(errno)};
    if (!S_ISREG(info.st_mode))
        return FileError {path, {}, FileProblem::NotPlainFile};
    if (info.st_size > largest)
        return FileError {path, {}, FileProblem::TooLarge};
    const auto readSome = [&fd](char* into, std::int64_t room, QString& reason) -> std::int64_t {
        for (;;) {
            const ssize_t got = ::read(fd.get(), into, static_cast<std::size_t>(room));
            if (got >= 0)
                return got;
            if (errno != EINTR) {
                reason = reasonOf(errno);
                return -1;
            }
        }
    };
    if (FileResult counted = readCounted(readSome, info.st_size, largest, bytes, path); !counted.ok())
        return counted;
    if (stamp)
        *stamp = stampFrom(info);
    return {};
}

std::optional<FileStamp> PosixFileSystem::stampOf(const QString& path) const
{
    struct stat info;
    if (!isExactName(path) || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return stampFrom(info);
}

FileResult PosixFileSystem::remove(const QString& path) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        return FileError {path, reasonOf(errno)};
    return {};
}

FileResult PosixFileSystem::moveToTrash(const QString& path) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    // A new account, or one on a server, has no data folder yet. Qt 6.4 would then
    // move the file into "files" under the current folder and call that the trash,
    // so the trash is made here first, as freedesktop.org asks of a program that
    // needs one (and GIO does), every new folder private to the user. A home that
    // does not exist gets none.
    const QString home = QDir::homePath();
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QByteArray trash = QFile::encodeName(dataHome + QStringLiteral("/Trash"));
    if (dataHome.isEmpty() || !QFileInfo(home).isDir())
        return FileError {path, {}, FileProblem::NoHome};
    // Qt 6.4 tries name.trashinfo, name.1.trashinfo, ... for as long as the open
    // fails, so a name too long to take the suffix, or a trash it cannot write in,
    // would keep it trying forever.
    const long longestName = ::pathconf(QFile::encodeName(home).constData(), _PC_NAME_MAX);
    if (QFile::encodeName(QFileInfo(path).fileName()).size() + 24 > (longestName > 0 ? longestName : 255))
        return FileError {path, {}, FileProblem::NameTooLongForTrash};
    if (!makePrivateFolder(trash + "/files") || !makePrivateFolder(trash + "/info")
        || ::access((trash + "/files").constData(), W_OK | X_OK) != 0
        || ::access((trash + "/info").constData(), W_OK | X_OK) != 0)
        return FileError {path, {}, FileProblem::NoTrash};
    return moveToTrashWithQt(path);
}

FileResult
PosixFileSystem::writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const
{
    if (!isExactName(path))
        return FileError {path, {}, FileProblem::InexactName};
    const QByteArray name = QFile::encodeName(path);
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray leaf = name.mid(slash + 1);
    const QByteArray folderName = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
    if (leaf.isEmpty() || leaf == "." || leaf == "..")
        return FileError {path, reasonOf(EISDIR)};
    Descriptor folder(::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return FileError {path, reasonOf(errno)};

    Staging staging(folder.get());
    if (int error = staging.create(anonymousStaging_))
        return FileError {path, reasonOf(error)};
    int error = 0;
    bool failed = false;
    const bool produced = produce([&](std::string_view piece) {
        if (!failed)
            failed = !writeAll(staging.fd(), piece, error);
        return !failed;
    });
    if (failed)
        return FileError {path, reasonOf(error)};
    if (!produced)
        return FileError {path, {}, FileProblem::GivenUp};
    if (std::optional<int> accessError = setAccess(staging.fd(), folder.get(), leaf.constData(), options.like))
        return FileError {path, reasonOf(*accessError)};
    // On the disk before it takes the name, so that a crash can't leave the name
    // on an empty file.
    if (::fsync(staging.fd()) != 0)
        return FileError {path, reasonOf(errno)};
    if (options.beforeReplace) {
        if (FileResult refused = options.beforeReplace(); !refused.ok())
            return refused;
    }
    if ((error = staging.name()) != 0)
        return FileError {path, reasonOf(error)};
    if (!staging.replace(leaf.constData(), error))
        return error ? FileError {path, reasonOf(error)} : FileError {path, {}, FileProblem::Swapped};
    ::fsync(folder.get());
    return {};
}

} // namespace scrivane
