#include "application.h"

#include "app_icon.h"
#include "main_form.h"
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
    QPointer<MainForm> form = new MainForm(settings, FileSystem::system(), localeRulesFor(QLocale::system()));
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    int result = QApplication::exec();
    delete form.data();
    return result;
}

} // namespace scrivane
