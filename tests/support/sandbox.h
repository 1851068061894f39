#pragma once

// The real scrivane-clean, and a statement whose cleaned form is known.

#include "support/test_files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

#ifndef Q_OS_WIN
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cli_test {

// A credit-card statement: one name the default options shorten, one they clean
// away whole, one with an entity and a CR LF line end. Whole otherwise, so that
// the check of what a clean writes finds nothing to say.
inline const QByteArray statement
    = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>\n<SIGNONMSGSRSV1>\n<SONRS>\n<STATUS>\n<CODE>0\n</STATUS>\n</SONRS>\n"
      "</SIGNONMSGSRSV1>\n<CREDITCARDMSGSRSV1>\n<CCSTMTTRNRS>\n<CCSTMTRS>\n<CURDEF>USD\n<BANKTRANLIST>\n<STMTTRN>\n"
      "<DTPOSTED>20240102\n<TRNAMT>-9.99\n<FITID>1\n<NAME>POS PURCHASE #123456 BIGMART\n<MEMO>x\n</STMTTRN>\n"
      "<STMTTRN>\n<DTPOSTED>20240103\n<TRNAMT>-20.00\n<FITID>2\n<NAME>CHECK 1234\n</STMTTRN>\n<STMTTRN>\n"
      "<DTPOSTED>20240104\n<TRNAMT>-45.10\n<FITID>3\n<NAME>AT&amp;T MOBILITY\r\n</STMTTRN>\n</BANKTRANLIST>\n"
      "</CCSTMTRS>\n</CCSTMTTRNRS>\n</CREDITCARDMSGSRSV1>\n</OFX>\n";

// The statement as the default options leave it for a target: each name loses
// its line feed, and a credit card's identifier stands right before "</SONRS>".
inline QByteArray cleaned(const QString& target)
{
    QByteArray out = statement;
    out.replace("<NAME>POS PURCHASE #123456 BIGMART\n", "<NAME>Pos Purchase Bigmart").replace("<NAME>CHECK 1234\n", "");
    out.replace("<NAME>AT&amp;T MOBILITY\r\n", "<NAME>At&amp;t Mobility\r");
    if (target != "other")
        out.replace("</SONRS>", QByteArray(target == "quicken" ? "<INTU.BID>3000" : "<INTU.BID>3106") + "</SONRS>");
    return out;
}

struct Run
{
    bool started = false;
    int exitCode = -1; // -1 unless the program ran to its end
    QByteArray out, err;
};

// A private work folder, with settings and a home of its own (so a trash of its
// own) that every program started from here, and this process, use.
class Sandbox
{
public:
    Sandbox()
    {
        QDir().mkpath(path({}));
        QDir().mkpath(config());
        QDir().mkpath(dataHome());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config()));
        qputenv("HOME", QFile::encodeName(root_.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
        qputenv("APPDATA", QFile::encodeName(QDir::toNativeSeparators(config())));
    }

    QString config() const { return root_.filePath("config"); }
    QString dataHome() const { return root_.filePath("home/data"); }
    // Where the trash puts a file of that name.
    QString trashed(const QString& name) const { return dataHome() + "/Trash/files/" + name; }
    QString path(const QString& name) const { return root_.filePath("work/" + name); }
    QStringList entries() const
    {
        return QDir(path({})).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                        QDir::Name);
    }

    // The modifier runs in the child just before the program starts.
    Run run(const QStringList& args, const std::function<void()>& modifier = {}) const
    {
        return start(program, args, modifier);
    }

#ifndef Q_OS_WIN
    // Runs the program as user (its uid, gid and no other group) where the test
    // runs as root, whom permissions do not bind; elsewhere as the test's own
    // user. The build tree may lie where nobody else can enter (a checkout in
    // /root, a mktemp -d folder), so the program runs from a copy in the sandbox,
    // which is opened for others to pass through. Where the sandbox itself lies out
    // of their reach nothing runs, and unreachable says why.
    Run runUnprivileged(uid_t user, const QStringList& args, QString& unreachable) const
    {
        if (::getuid() != 0)
            return run(args);
        for (QDir up(root_.path()); up.cdUp();) {
            struct stat info;
            if (::stat(QFile::encodeName(up.path()).constData(), &info) != 0 || !(info.st_mode & S_IXOTH)) {
                unreachable = "other users cannot enter " + up.path()
                    + ", which holds the sandbox; TMPDIR can name a folder they can enter";
                return {};
            }
        }
        const QString copy = root_.filePath("bin/" + QFileInfo(program).fileName());
        const bool ready = (QFileInfo::exists(copy) || (QDir(root_.path()).mkdir("bin") && QFile::copy(program, copy)))
            && ::chmod(QFile::encodeName(root_.path()).constData(), 0711) == 0
            && ::chmod(QFile::encodeName(root_.filePath("bin")).constData(), 0755) == 0
            && ::chmod(QFile::encodeName(copy).constData(), 0755) == 0;
        if (!ready)
            return {false, -1, {}, "the program could not be copied to " + QFile::encodeName(copy)};
        return start(copy, args, [user] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
                ::_exit(99);
        });
    }
#endif

    static inline const QString program = QStringLiteral(SCRIVANE_CLEAN_PROGRAM);

private:
    Run start(const QString& executable, const QStringList& args, const std::function<void()>& modifier) const
    {
        QProcess process;
        process.setWorkingDirectory(path({}));
#ifdef Q_OS_WIN
        // Windows starts a program without a fork to run code in.
        Q_ASSERT(!modifier);
#else
        if (modifier)
            process.setChildProcessModifier(modifier);
#endif
        process.start(executable, args);
        const bool started = process.waitForStarted();
        const bool ended = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
        return {
            started, ended ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QTemporaryDir root_;
};

} // namespace cli_test
