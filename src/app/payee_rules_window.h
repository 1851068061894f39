#pragma once

#include "names/locale_rules.h"
#include "names/name_options.h"
#include "platform/file_services.h"
#include "platform/open_file_dialog.h"
#include "platform/prompts.h"
#include "rules/payee_rule.h"
#include "settings/user_settings.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace scrivane {

// The payee rules, in a table the user edits in place and orders, beside the
// names of the statement named in the main window, each with the name a clean
// would write and the rule that gave it: what the rules do is seen before
// anything is written. The rules reach the settings file only through Done.
class PayeeRulesWindow : public QWidget
{
    Q_OBJECT

public:
    PayeeRulesWindow(const UserSettings& settings,
                     Prompts& prompts,
                     std::function<QString()> statementPath,
                     const LocaleRules& locale,
                     const FileSystem& files = FileSystem::system(),
                     QWidget* parent = nullptr);

    // The rules as the table holds them, in its order.
    std::vector<PayeeRule> rules() const;

private:
    void buildControls();
    void showRules(const std::vector<PayeeRule>& rules);
    void insertRule(int row, const PayeeRule& rule);
    void addRule();
    void removeRule();
    void moveRule(int by);
    void importRules();
    void exportRules();
    void ruleFromName();
    void readStatement();
    // Lists the statement's names as the rules on screen treat them, and says
    // what keeps the rules from being used.
    void refresh();
    void done();

    const UserSettings& settings_;
    Prompts& prompts_;
    std::function<QString()> statementPath_;
    const LocaleRules& locale_;
    const FileSystem& files_;
    NameOptions options_;
    QByteArray statement_; // the statement as a clean reads it; empty when there is none
    QString skipped_; // saved rules that could not be read, said until the rules are saved
    bool filling_ = false;
    OpenFileDialog importDialog_;
    OpenFileDialog exportDialog_;

    QTableWidget* rules_ = nullptr;
    QTableWidget* names_ = nullptr;
    QLabel* problem_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* fromName_ = nullptr;
    QPushButton* done_ = nullptr;
};

} // namespace scrivane
