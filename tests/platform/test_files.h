#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

// A small bank statement in the SGML form: one payee name with a number and a
// line break to lose, one that is cleaned away entirely, and no bank identifier.
inline const QByteArray bankStatement = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n"
                                        "<OFX>\n<SIGNONMSGSRSV1>\n<SONRS>\n<STATUS>\n<CODE>0\n</STATUS>\n"
                                        "<LANGUAGE>ENG\n</SONRS>\n</SIGNONMSGSRSV1>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n"
                                        "<STMTRS>\n<BANKTRANLIST>\n<STMTTRN>\n<TRNAMT>-12.50\n"
                                        "<NAME>ACME STORE 1234\n<MEMO>groceries\n</STMTTRN>\n<STMTTRN>\n"
                                        "<TRNAMT>-1.00\n<NAME>4411\n<MEMO>fee\n</STMTTRN>\n</BANKTRANLIST>\n"
                                        "</STMTRS>\n</STMTTRNRS>\n</BANKMSGSRSV1>\n</OFX>\n";

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The permission bits of a file, -1 when it can't be read.
inline int modeOf(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<int>(info.st_mode & 07777);
}
