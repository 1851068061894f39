#pragma once

#include <QString>
#include <QStringList>

namespace scrivane {

// What the desktop program was started with, once the window system has taken
// its own options out: a file manager's "Open with" hands over one path.
struct DesktopArguments
{
    bool version = false;
    bool help = false;
    QString unknownOption; // the first option this program does not know
    QString file; // the statement for this run, absolute; empty when none was named
    QStringList ignored; // every further path, as given
};

// Reads arguments (without the program name); relative paths are taken from
// workingFolder. "--" ends the options, so a file may begin with "-".
DesktopArguments parseDesktopArguments(const QStringList& arguments, const QString& workingFolder);

// The line for standard error that names the paths left unopened, or "" when none.
QString ignoredArgumentsNotice(const QStringList& ignored);

// What --help prints.
QString desktopUsage();

} // namespace scrivane
