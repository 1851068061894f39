#include "file_services.h"

#include "file_pattern.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace scrivane {

bool isExactName(const QString& path)
{
#ifdef Q_OS_WIN
    // Every file call takes the name as UTF-16, exactly as it is held here.
    (void)path;
    return true;
#else
    // The system's encoding turns bytes it cannot decode into U+FFFD, which
    // encodes back as other bytes: the name of another file, or of none.
    return !path.contains(QChar::ReplacementCharacter) && QFile::decodeName(QFile::encodeName(path)) == path;
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

bool isExactName(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    return pathOfArgument(bytes).toUtf8() == bytes;
#else
    return QFile::encodeName(pathOfArgument(bytes)) == bytes;
#endif
}

FileResult moveToTrashWithQt(const QString& path)
{
    QFile file(path);
    if (!file.moveToTrash())
        return FileError {path, file.errorString()};
    return {};
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

bool FileSystem::sameFile(const QString& a, const QString& b) const
{
    if (a == b)
        return true;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

FileResult FileSystem::discard(const QString& path, Disposal& how) const
{
    how = Disposal::Trashed;
    if (moveToTrash(path).ok())
        return {};
    how = Disposal::Deleted;
    return remove(path);
}

} // namespace scrivane
