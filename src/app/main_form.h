#pragma once

#include "names/locale_rules.h"
#include "platform/bank_file_input.h"
#include "platform/file_services.h"
#include "platform/open_file_dialog.h"
#include "platform/prompts.h"
#include "settings/user_settings.h"
#include "statement/compat.h"
#include "statement/segment_list.h"

#include <QWidget>

#include <optional>

class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QMimeData;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace scrivane {

// The start-up window: the statement to clean, the application to make it for,
// and the commands. Its state lives in the settings store between runs.
class MainForm : public QWidget
{
    Q_OBJECT

public:
    // The text the file box shows before any file was chosen.
    static inline const QString placeholder = QString::fromUtf8(
        keys::fileName.defaultValue.data(), static_cast<qsizetype>(keys::fileName.defaultValue.size()));

    // prompts answers its boxes and its file dialog.
    MainForm(const UserSettings& settings,
             Prompts& prompts,
             const FileSystem& files = FileSystem::system(),
             LocaleRules locale = LocaleRules::enUS(),
             QWidget* parent = nullptr);

    void getUserSettings();
    void saveUserSettings() const;

    // The application chosen by the option buttons; no button on means Other.
    Target target() const;

    // The path in the file box, as it stands.
    QString statementPath() const;
    // Puts path in the file box, as a file named on the command line or dropped on the window does.
    void setStatementPath(const QString& path);

signals:
    // Settings and Help were pressed; the application opens what they stand for.
    void nameOptionsRequested();
    void helpRequested();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The local plain file that data carries, or "" when it carries none.
    QString droppedFile(const QMimeData* mime) const;
    void buildControls();
    void selectFile();
    void cleanFile();
    // How to read a bank's file, from the mapping window; nothing when cancelled.
    std::optional<Mapping> askMapping(const BankFileQuestions& asked, const QString& path);
    void done();

    const UserSettings& settings_;
    Prompts& prompts_;
    const FileSystem& files_;
    LocaleRules locale_;
    OpenFileDialog dlgOpenFile_;

    QLabel* label1_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QPushButton* select_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QRadioButton* quickenCompat_ = nullptr;
    QRadioButton* quickbooksCompat_ = nullptr;
    QRadioButton* noCompat_ = nullptr;
    QPushButton* nameOptions_ = nullptr;
    QLabel* label2_ = nullptr;
    QPushButton* myHelp_ = nullptr;
    QPushButton* cleanFile_ = nullptr;
    QPushButton* myClose_ = nullptr;
};

} // namespace scrivane
