#include "nam_windows.h"

namespace scrivane {

NameWindows::NameWindows(const UserSettings& settings,
                         Prompts& prompts,
                         QPointer<MainForm> mainForm,
                         LocaleRules locale,
                         const FileSystem& files)
    : settings_(settings)
    , prompts_(prompts)
    , mainForm_(std::move(mainForm))
    , locale_(std::move(locale))
    , files_(files)
{
}

NameWindows::~NameWindows()
{
    // The windows refer to what this object holds, so none may outlive it.
    delete payeeRules_.window();
    delete nameOptions_.window();
    delete nameList_.window();
}

NamOptions* NameWindows::showNameOptions()
{
    return nameOptions_.show([this] {
        auto* dialog = new NamOptions(
            settings_, prompts_, [this] { return statementPath(); }, nameList_, locale_, files_);
        dialog->setPayeeRulesOpener([this] { showPayeeRules(); });
        return dialog;
    });
}

PayeeRulesWindow* NameWindows::showPayeeRules()
{
    return payeeRules_.show([this] {
        return new PayeeRulesWindow(
            settings_, prompts_, [this] { return statementPath(); }, locale_, files_);
    });
}

QString NameWindows::statementPath() const
{
    if (mainForm_)
        return mainForm_->statementPath();
    return QString::fromStdString(readSettings(settings_).window.fileName);
}

} // namespace scrivane
