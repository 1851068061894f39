#pragma once

// What the no-loss, hostile-file and reader tests share: running the real
// scrivane-clean, and looking at files byte for byte.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

#include <sys/stat.h>

namespace robust {

// Built with AddressSanitizer: everything runs several times slower, and the
// sanitizer reserves far more address space than any memory limit would allow.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

inline const QString cleanProgram = QStringLiteral(SCRIVANE_BIN_DIR "/scrivane-clean");

// A bank statement in the SGML form with a sign-on response, a name the default
// options change, one they clean away and one with an entity.
inline const QByteArray smallStatement = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n"
                                         "<OFX>\n<SIGNONMSGSRSV1>\n<SONRS>\n<STATUS>\n<CODE>0\n</STATUS>\n"
                                         "<LANGUAGE>ENG\n</SONRS>\n</SIGNONMSGSRSV1>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n"
                                         "<STMTRS>\n<BANKTRANLIST>\n<STMTTRN>\n<TRNAMT>-12.50\n"
                                         "<NAME>ACME STORE 1234\n<MEMO>groceries\n</STMTTRN>\n<STMTTRN>\n"
                                         "<TRNAMT>-1.00\n<NAME>4411\n<MEMO>fee\n</STMTTRN>\n<STMTTRN>\n"
                                         "<TRNAMT>-3.00\n<NAME>AT&amp;T\n</STMTTRN>\n</BANKTRANLIST>\n"
                                         "</STMTRS>\n</STMTTRNRS>\n</BANKMSGSRSV1>\n</OFX>\n";

// A statement of about `bytes` bytes: the same transaction over and over, with a
// long memo so that the file is big without having many segments to clean.
inline QByteArray bigStatement(qint64 bytes)
{
    const QByteArray head = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>\n<SIGNONMSGSRSV1>\n<SONRS>\n<STATUS>\n"
                            "<CODE>0\n</STATUS>\n</SONRS>\n</SIGNONMSGSRSV1>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n"
                            "<STMTRS>\n<BANKTRANLIST>\n";
    const QByteArray block
        = "<STMTTRN>\n<TRNAMT>-12.50\n<NAME>POS ACME STORE 1234\n<MEMO>" + QByteArray(900, 'm') + "\n</STMTTRN>\n";
    const QByteArray tail = "</BANKTRANLIST>\n</STMTRS>\n</STMTTRNRS>\n</BANKMSGSRSV1>\n</OFX>\n";
    QByteArray text = head;
    text.reserve(bytes + block.size() + tail.size());
    while (text.size() < bytes)
        text += block;
    return text + tail;
}

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

// The permission bits of the entry itself (a link is not followed); -1 when missing.
inline int modeOf(const QString& path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<int>(info.st_mode & 07777);
}

inline bool isLink(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Every entry of a folder, hidden ones and dangling links included, sorted.
inline QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs scrivane-clean in folder with the settings found under configHome. The
// modifier runs in the child just before the program starts (limits, signals).
inline Run runClean(const QStringList& args,
                    const QString& folder,
                    const QString& configHome,
                    const std::function<void()>& modifier = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(env);
    if (modifier)
        process.setChildProcessModifier(modifier);
    process.start(cleanProgram, args);
    Run run;
    run.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace robust
