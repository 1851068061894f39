#include "desktop_arguments.h"

#include <QDir>

namespace scrivane {

DesktopArguments parseDesktopArguments(const QStringList& arguments, const QString& workingFolder)
{
    DesktopArguments result;
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && argument == QLatin1String("--version")) {
            result.version = true;
        } else if (options && argument == QLatin1String("--help")) {
            result.help = true;
        } else if (options && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            if (result.unknownOption.isEmpty())
                result.unknownOption = argument;
        } else if (result.file.isEmpty() && !argument.isEmpty()) {
            // Not cleaned up beyond joining: a path that names no file stays visible as typed.
            result.file = QDir::isAbsolutePath(argument) ? argument : QDir(workingFolder).filePath(argument);
        } else {
            result.ignored.append(argument);
        }
    }
    return result;
}

QString ignoredArgumentsNotice(const QStringList& ignored)
{
    if (ignored.isEmpty())
        return {};
    QStringList quoted;
    for (const QString& path : ignored)
        quoted.append(QLatin1Char('\'') + path + QLatin1Char('\''));
    return QStringLiteral("scrivane: one statement at a time; not opened: ") + quoted.join(QStringLiteral(", "));
}

QString desktopUsage()
{
    return QStringLiteral("Usage: scrivane [FILE]\n"
                          "Cleans the payee names of an OFX bank statement and makes it ready for\n"
                          "QuickBooks or Quicken. FILE, when given, fills the file box for this run;\n"
                          "nothing is cleaned until Clean File is pressed.\n"
                          "\n"
                          "  --help     this text\n"
                          "  --version  the program version and its licence\n");
}

} // namespace scrivane
