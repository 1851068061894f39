#include "application.h"

#include "app_icon.h"
#include "help/help_document.h"
#include "main_form.h"
#include "nam_windows.h"
#include "platform/locale_rules_qt.h"
#include "settings/user_settings.h"

#include <QApplication>
#include <QPointer>

namespace scrivane {

int runScrivane(int& argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivane"));
    // Set once for the whole program, so every window carries it.
    QApplication::setWindowIcon(applicationIcon());

    UserSettings settings;
    const LocaleRules locale = localeRulesFor(QLocale::system());
    QPointer<MainForm> form = new MainForm(settings, FileSystem::system(), locale);
    form->setAttribute(Qt::WA_DeleteOnClose);
    NameWindows nameWindows(settings, form, locale);
    form->setShowNameOptions([&nameWindows] { nameWindows.showNameOptions(); });
    form->setOpenHelp([&form] { openHelpDocument(form.data()); });
    form->show();
    int result = QApplication::exec();
    delete form.data();
    return result;
}

} // namespace scrivane
