#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string_view>

class QSaveFile;

namespace scrivane {

// A file operation that did not work: the file, and the system's reason in its own
// words. Callers decide how to tell the user.
struct FileError
{
    QString path;
    QString reason;
};

// What became of a file that a clean put out of the way.
enum class Disposal { Trashed, Deleted };

// Takes the bytes to write piece by piece; false once the write has failed, after
// which further pieces are ignored.
using ByteSink = std::function<bool(std::string_view)>;
using ByteProducer = std::function<void(const ByteSink&)>;

// The permission bits a file itself carries. Qt's "User" flags say what the
// running user may do (root may write anything) and would turn into owner bits
// when set on another file, so they are left out.
QFileDevice::Permissions ownPermissions(const QString& path);

// Files as bytes: nothing is decoded on the way in or encoded on the way out.
// Each operation returns no error when it worked.
//
// The operations are virtual so that tests can make one of them fail (see
// FaultyFileSystem in tests/support); the program uses FileSystem::system().
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    static const FileSystem& system();

    // The plain files matching a path whose last component may hold "*" and "?",
    // in the order the folder lists them. Folders and hidden files don't count.
    QStringList findPlainFiles(const QString& pattern) const;

    // Whether path, taken literally, names one existing plain file that is not hidden.
    bool isPlainFile(const QString& path) const;

    virtual std::optional<FileError> readWhole(const QString& path, QByteArray& bytes) const;
    virtual std::optional<FileError> remove(const QString& path) const;

    // Moves the file at path into the user's trash, from where the user can get
    // it back.
    virtual std::optional<FileError> moveToTrash(const QString& path) const;

    // Puts the file at path out of the way: into the trash, or, where no trash can
    // take it (none on its file system and no home to hold one), deleted. how
    // says which; on an error the file still stands.
    std::optional<FileError> discard(const QString& path, Disposal& how) const;

    // Writes into a temporary file beside path and puts it in place of path only
    // once every byte went in, so a failure never leaves a partial file under that
    // name, nor touches a file already standing there. The file gets permissions
    // when given, before it takes the name.
    std::optional<FileError> writeWhole(const QString& path,
                                        const ByteProducer& produce,
                                        std::optional<QFileDevice::Permissions> permissions = std::nullopt) const;

protected:
    virtual bool writePiece(QSaveFile& file, std::string_view piece, QString& reason) const;
    virtual bool commit(QSaveFile& file, QString& reason) const;
};

} // namespace scrivane
