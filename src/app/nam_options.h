#pragma once

#include "names/locale_rules.h"
#include "platform/file_services.h"
#include "platform/prompts.h"
#include "platform/single_window.h"
#include "settings/user_settings.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace scrivane {

class NameListPreview;

// The name options dialog: the rules by which payee names are cleaned, and the
// two previews of the names. It holds nothing of its own: the rules are read from
// the settings store when it opens and written back by Done and by each preview,
// and the cleaner meets them only there.
class NamOptions : public QWidget
{
    Q_OBJECT

public:
    // statementPath gives the statement file's path as the user last left it, at
    // the moment a preview asks. The names list window outlives this dialog, so
    // the caller owns it.
    NamOptions(const UserSettings& settings,
               Prompts& prompts,
               std::function<QString()> statementPath,
               SingleWindow<NameListPreview>& nameList,
               const LocaleRules& locale,
               const FileSystem& files = FileSystem::system(),
               QWidget* parent = nullptr);

    void getUserSettings();
    void saveUserSettings() const;

    // What the Payee Rules button opens; it stays off without one.
    void setPayeeRulesOpener(std::function<void()> open);

    // Lists the payee names of the statement in the names list window, as they
    // stand or as the cleaner would leave them, after saving the rules on screen.
    void showNames(bool cleanNames);

private:
    void buildControls();
    void preview(bool cleanNames);
    // The names list of a statement read whole; bytes are released on the way.
    QString namesOf(QByteArray& bytes, bool cleanNames) const;
    void done();

    const UserSettings& settings_;
    Prompts& prompts_;
    std::function<QString()> statementPath_;
    SingleWindow<NameListPreview>& nameList_;
    const LocaleRules& locale_;
    const FileSystem& files_;

    // The word list as read from the store, and as the box showed it then: while
    // the box still shows that, the stored text goes back exactly as it came.
    QString loadedWords_;
    QString shownWords_;

    QCheckBox* mixedCase_ = nullptr;
    QCheckBox* removeNumbers_ = nullptr;
    QCheckBox* removeDates_ = nullptr;
    QCheckBox* removeRepeat_ = nullptr;
    QLabel* label1_ = nullptr;
    QPlainTextEdit* omitWords_ = nullptr;
    QPushButton* previewRawNames_ = nullptr;
    QPushButton* previewNames_ = nullptr;
    QPushButton* myClose_ = nullptr;
    QPushButton* payeeRules_ = nullptr;
};

} // namespace scrivane
