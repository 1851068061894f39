#include "command_line.h"

#include <QCoreApplication>
#include <QStringList>

namespace scrivane {

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
#ifdef Q_OS_WIN
    // Qt reads the wide command line on Windows; argv is not used.
    (void)argc;
    (void)argv;
    std::vector<std::string> args;
    const QStringList given = QCoreApplication::arguments();
    for (qsizetype k = 1; k < given.size(); ++k)
        args.push_back(given[k].toStdString());
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

} // namespace scrivane
