#include "file_services.h"

#include "file_pattern.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace scrivane {

std::optional<QString> inexactNameReason(const QString& path)
{
#ifdef Q_OS_WIN
    // Every file call takes the name as UTF-16, exactly as it is held here.
    (void)path;
    return std::nullopt;
#else
    // The system's encoding turns bytes it cannot decode into U+FFFD, which
    // encodes back as other bytes: the name of another file, or of none.
    if (path.contains(QChar::ReplacementCharacter) || QFile::decodeName(QFile::encodeName(path)) != path)
        return QStringLiteral("The name holds bytes that are not valid in the system's character encoding, so "
                              "it cannot be used exactly; rename the file and try again");
    return std::nullopt;
#endif
}

QString pathOfArgument(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes);
#else
    return QFile::decodeName(bytes);
#endif
}

std::optional<QString> inexactNameReason(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    const bool exact = pathOfArgument(bytes).toUtf8() == bytes;
#else
    const bool exact = QFile::encodeName(pathOfArgument(bytes)) == bytes;
#endif
    if (!exact)
        return QStringLiteral("The name holds bytes that are not valid in the system's character encoding, so "
                              "it cannot be used exactly; rename the file and try again");
    return std::nullopt;
}

std::optional<FileError> moveToTrashQuietly(const QString& path)
{
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

std::optional<FileError> FileSystem::discard(const QString& path, Disposal& how) const
{
    how = Disposal::Trashed;
    if (!moveToTrash(path))
        return std::nullopt;
    how = Disposal::Deleted;
    return remove(path);
}

} // namespace scrivane
