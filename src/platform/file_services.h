#pragma once

#include "statement/result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace scrivane {

// Why a file operation did not work. The system's own refusals come with its
// reason in its own words; the rest are this program's, and the front ends word
// them.
enum class FileProblem {
    System, // the reason says what the system said
    NotPlainFile, // a folder, a FIFO, a device or the like stands there
    TooLarge, // more than FileSystem::largestReadable bytes
    InexactName, // the name holds a character that stands for bytes the system's encoding could not decode
    NoHome, // there is no home folder to hold a trash
    NameTooLongForTrash, // the trash could not note the name
    NoTrash, // no trash can be made or written in the home folder
    GivenUp, // the bytes to write were given up before the end
    Swapped, // another file was put in the way as the written file took its name
};

// A file operation that did not work: the file, and what went wrong. Callers
// decide how to tell the user.
struct FileError
{
    QString path;
    QString reason; // the system's words, for FileProblem::System
    FileProblem problem = FileProblem::System;
};

// Done, or the file error that stopped it.
using FileResult = Result<FileError>;

// What became of a file that a clean put out of the way.
enum class Disposal { Trashed, Deleted };

// Takes the bytes to write piece by piece; false once the write has failed, after
// which further pieces are ignored.
using ByteSink = std::function<bool(std::string_view)>;
// Hands every byte to the sink; false to give the write up (nothing then takes the name).
using ByteProducer = std::function<bool(const ByteSink&)>;

// What a file was when it was read: enough to notice that another file, or other
// bytes, stand under its name now, and to give a file written from it the same access.
struct FileStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint32_t mode = 0600; // the permission bits
    std::uint32_t owner = 0;
    std::uint32_t group = 0;

    bool sameContentAs(const FileStamp& other) const
    {
        return device == other.device && inode == other.inode && size == other.size && modifiedNs == other.modifiedNs;
    }
};

// How a file is written. The output is never readable by more users than like's
// file was: it gets like's owner, group and bits where the process may give them,
// and otherwise loses the group and other bits. Without like, a plain file
// standing under the name lends its bits, and a new file is private.
struct WriteOptions
{
    const FileStamp* like = nullptr;
    // Runs once every byte is on the disk, right before the file takes its name;
    // an error stops the write there, the written file is removed and the error is
    // returned as it is.
    std::function<FileResult()> beforeReplace;
};

// Whether a path can be handed to the system exactly as the user sees it: not
// when it holds a character that stands for bytes the system's encoding could
// not decode. Acting on such a name would reach another file.
bool isExactName(const QString& path);

// The path a command-line argument names (see commandLineArguments).
QString pathOfArgument(const QByteArray& bytes);

// Whether a name given as an argument's bytes is kept exactly as a path.
bool isExactName(const QByteArray& bytes);

// Ok when a plain file stands at path, or nothing does; else what stands there
// (a FIFO, a device, a folder), found without waiting on it. For stores that
// open the file by name themselves.
FileResult plainFileOrNothing(const QString& path);

// Qt's move into the user's trash; for the file systems, once they have checked
// what Qt would get wrong on their platform.
FileResult moveToTrashWithQt(const QString& path);

// Files as bytes: nothing is decoded on the way in or encoded on the way out.
//
// The operating system's side is a subclass for each platform (PosixFileSystem);
// FileSystem::system() is the one the program uses. Tests wrap it to make a step
// fail or to change the disk between two steps (see FaultyFileSystem in tests/support).
class FileSystem
{
public:
    static constexpr std::int64_t largestReadable = std::int64_t(1) << 30;

    virtual ~FileSystem() = default;

    static const FileSystem& system();

    // The plain files matching a path whose last component may hold "*" and "?",
    // in the order the folder lists them. Folders and hidden files don't count.
    virtual QStringList findPlainFiles(const QString& pattern) const;

    // Whether path, taken literally, names one existing plain file that is not hidden.
    virtual bool isPlainFile(const QString& path) const;

    // Whether two names reach one file: the same name, or names that differ and
    // still lead there (a link, "./" in front).
    virtual bool sameFile(const QString& a, const QString& b) const;

    // Reads the whole plain file at path, at most largestReadable bytes. A file
    // that is no plain file, or that turns out bigger while being read, is refused.
    FileResult readWhole(const QString& path, QByteArray& bytes, FileStamp* stamp = nullptr) const
    {
        return read(path, bytes, stamp, largestReadable);
    }

    // The same, refusing a file of more than largest bytes; stamp, when given,
    // receives what the file was as it was read.
    virtual FileResult read(const QString& path, QByteArray& bytes, FileStamp* stamp, std::int64_t largest) const = 0;

    // What stands under path now (a link followed), or nothing when nothing does.
    virtual std::optional<FileStamp> stampOf(const QString& path) const = 0;

    virtual FileResult remove(const QString& path) const = 0;

    // Moves the file at path into the user's trash, from where the user can get
    // it back.
    virtual FileResult moveToTrash(const QString& path) const = 0;

    // Puts the file at path out of the way: into the trash, or, where no trash can
    // take it (none on its file system and no home to hold one), deleted. how
    // says which; when it fails the file still stands.
    FileResult discard(const QString& path, Disposal& how) const;

    // Writes into a private file of its own in path's folder, through the handle
    // that created it, and puts it in place of path only once every byte is on
    // the disk, so a failure never leaves a partial file under that name, nor
    // touches a file already standing there. A link standing at path is
    // replaced, never followed.
    virtual FileResult
    writeWhole(const QString& path, const ByteProducer& produce, const WriteOptions& options) const = 0;
};

} // namespace scrivane
