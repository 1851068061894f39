#include "cli/cli_runner.h"
#include "settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    scrivane::cli::Streams streams;
    streams.progress = isatty(STDERR_FILENO) == 1;
    const scrivane::UserSettings settings;
    return scrivane::cli::run(scrivane::cli::parseArguments(args),
                              settings,
                              streams,
                              QFile::encodeName(QDir::toNativeSeparators(settings.fileName())).toStdString());
}
