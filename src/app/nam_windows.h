#pragma once

#include "main_form.h"
#include "nam_options.h"
#include "name_list_preview.h"
#include "names/locale_rules.h"
#include "payee_rules_window.h"
#include "platform/file_services.h"
#include "platform/single_window.h"
#include "settings/user_settings.h"

#include <QPointer>

namespace scrivane {

// The name options dialog, the names list window and the payee rules window of one run of the program:
// at most one of each, neither owned by the main window, and both able to go on
// after the main window has closed.
class NameWindows
{
public:
    NameWindows(const UserSettings& settings,
                Prompts& prompts,
                QPointer<MainForm> mainForm,
                LocaleRules locale,
                const FileSystem& files = FileSystem::system());
    ~NameWindows();
    NameWindows(const NameWindows&) = delete;
    NameWindows& operator=(const NameWindows&) = delete;

    // Settings in the main window: opens the dialog, or brings the open one to the
    // front with whatever the user has changed in it.
    NamOptions* showNameOptions();

    NamOptions* nameOptions() const { return nameOptions_.window(); }
    NameListPreview* nameList() const { return nameList_.window(); }
    PayeeRulesWindow* payeeRules() const { return payeeRules_.window(); }

    // Payee Rules in the name options dialog: the rules window, read afresh when
    // it opens, or the open one brought to the front.
    PayeeRulesWindow* showPayeeRules();

    // The main window's file box while it is open; once it has closed, the path
    // it last stored.
    QString statementPath() const;

private:
    const UserSettings& settings_;
    Prompts& prompts_;
    QPointer<MainForm> mainForm_;
    LocaleRules locale_;
    const FileSystem& files_;
    SingleWindow<NamOptions> nameOptions_;
    SingleWindow<NameListPreview> nameList_;
    SingleWindow<PayeeRulesWindow> payeeRules_;
};

} // namespace scrivane
