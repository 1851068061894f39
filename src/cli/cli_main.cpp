#include "cli/cli_runner.h"
#include "platform/command_line.h"
#include "platform/console.h"
#include "platform/process_setup.h"
#include "settings/payee_rules_store.h"
#include "settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    scrivane::setUpProcess();
    QCoreApplication app(argc, argv);
    const std::vector<std::string> args = scrivane::commandLineArguments(argc, argv);
    // Statements pass through the standard streams byte for byte.
    scrivane::useBinaryMode(stdin);
    scrivane::useBinaryMode(stdout);
    scrivane::cli::Streams streams;
    streams.progress = scrivane::isTerminal(stderr);
    streams.terminal = scrivane::isTerminal(stdout);
    const scrivane::UserSettings settings;
    // Said once: every option not given here then reads as a failing store does.
    if (const scrivane::FileResult usable = settings.usable(); !usable.ok())
        std::fprintf(stderr,
                     "scrivane-clean: %s: the saved options cannot be read: %s\n",
                     QFile::encodeName(QDir::toNativeSeparators(settings.fileName())).constData(),
                     scrivane::cli::fileProblemText(usable.failure()).toLocal8Bit().constData());
    return scrivane::cli::run(scrivane::cli::parseArguments(args),
                              settings,
                              streams,
                              QFile::encodeName(QDir::toNativeSeparators(settings.fileName())).toStdString(),
                              [&settings] { return scrivane::readPayeeRules(settings); });
}
