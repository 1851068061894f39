#include "application.h"

#include "app_icon.h"
#include "desktop_arguments.h"
#include "help/help_document.h"
#include "main_form.h"
#include "nam_windows.h"
#include "platform/locale_rules_qt.h"
#include "platform/prompts.h"
#include "scrivane/version.h"
#include "settings/user_settings.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

#include <cstdio>

namespace scrivane {

int runScrivane(int& argc, char** argv)
{
    // --version and --help answer without a display, so they are read before
    // the window system starts and takes its own options out.
    QStringList given;
    for (int k = 1; k < argc; ++k)
        given.append(QString::fromLocal8Bit(argv[k]));
    const DesktopArguments early = parseDesktopArguments(given, QDir::currentPath());
    if (early.help || early.version) {
        const std::string text = early.help ? desktopUsage().toStdString() : versionNotice("scrivane");
        std::fputs(text.c_str(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivane"));
    // Ties the windows to the installed launcher, so the desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(desktopId));
    const DesktopArguments args = parseDesktopArguments(QApplication::arguments().mid(1), QDir::currentPath());
    if (!args.unknownOption.isEmpty()) {
        std::fprintf(stderr,
                     "scrivane: unknown option '%s'\nTry 'scrivane --help' for more information.\n",
                     qPrintable(args.unknownOption));
        return 2;
    }
    if (!args.ignored.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(ignoredArgumentsNotice(args.ignored)));
    // Set once for the whole program, so every window carries it.
    QApplication::setWindowIcon(applicationIcon());

    UserSettings settings;
    DesktopPrompts prompts;
    const LocaleRules locale = localeRulesFor(QLocale::system());
    QPointer<MainForm> form = new MainForm(settings, prompts, FileSystem::system(), locale);
    form->setAttribute(Qt::WA_DeleteOnClose);
    // For this run only; the stored path comes back on the next start without a file.
    if (!args.file.isEmpty())
        form->setStatementPath(args.file);
    NameWindows nameWindows(settings, prompts, form, locale);
    QObject::connect(
        form.data(), &MainForm::nameOptionsRequested, form.data(), [&nameWindows] { nameWindows.showNameOptions(); });
    QObject::connect(form.data(), &MainForm::helpRequested, form.data(), [&form, &prompts] {
        openHelpDocument(prompts, form.data());
    });
    form->show();
    int result = QApplication::exec();
    delete form.data();
    return result;
}

} // namespace scrivane
