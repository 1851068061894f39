#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

// A payee name keeping two words, one cleaned away, every byte but "<" in a memo ("&" as the entity the SGML form
// needs), and no bank identifier; whole otherwise, so that the check of what a clean writes finds nothing to say.
inline const QByteArray bankStatement = [] {
    QByteArray bytes
        = "OFXHEADER:100\r\n\r\n<OFX>\n<SONRS>\n<LANGUAGE>ENG\n</SONRS>\n<STMTTRNRS>\n<STMTRS>\n<CURDEF>USD\n"
          "<BANKTRANLIST>\n<STMTTRN>\n<DTPOSTED>20240102\n<TRNAMT>-1.00\n<FITID>1\n<NAME>ACME STORE 1234\n<MEMO>";
    for (int c = 0; c < 256; ++c)
        bytes += c == '<' ? QByteArray() : c == '&' ? QByteArray("&amp;") : QByteArray(1, char(c));
    return bytes + "\n<NAME>4411\n<MEMO>fee\n</STMTTRN>\n</BANKTRANLIST>\n</STMTRS>\n</STMTTRNRS>\n</OFX>\n";
}();

inline bool writeFile(const QString& path, const QByteArray& bytes, int mode = 0644)
{
    QFile file(path);
#ifdef Q_OS_WIN
    // Windows keeps one bit of these: whether the owner may write (the read-only attribute).
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return written
        && QFile::setPermissions(path, (mode & 0200) ? QFile::ReadOwner | QFile::WriteOwner : QFile::ReadOwner);
#else
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)) == 0;
#endif
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

#ifndef Q_OS_WIN
// The entry's own permission bits, in octal (a link is not followed).
inline QString modeOf(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? QString::number(info.st_mode & 07777, 8) : "-";
}
#endif
