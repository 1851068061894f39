#include "main_form.h"

#include "statement/text.h"

#include <QLineEdit>
#include <QRadioButton>

#include <charconv>
#include <cstdint>
#include <optional>

namespace scrivane {

namespace {

// A stored flag; text that is no truth value counts as the default.
bool storedFlag(const UserSettings& settings, std::string_view key, bool defaultValue)
{
    return truthValue(settings.getUserSetting(key, defaultValue)).value_or(defaultValue);
}

// A stored 16-bit whole number (spaces around it allowed); nullopt for anything else.
std::optional<int> storedShort(const std::string& text)
{
    const std::string_view digits = trimSpaces(text);
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return value;
}

// Turning a button on turns the others of its group off; turning it off touches
// only that one, which an exclusive group would refuse for its checked button.
void setOption(QRadioButton* button, bool on)
{
    if (on) {
        button->setChecked(true);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

} // namespace

void MainForm::getUserSettings()
{
    setOption(quickbooksCompat_, storedFlag(settings_, "quickbooksCompat", false));
    setOption(quickenCompat_, storedFlag(settings_, "quickenCompat", false));
    setOption(noCompat_, storedFlag(settings_, "noCompat", true));
    fileName_->setText(QString::fromStdString(settings_.getUserSetting("fileName", placeholder.toStdString())));
    // The dialog opens on the stored file only while that file is there, and else
    // in its folder (the file was cleaned to another name or put in the trash).
    if (files_.isPlainFile(fileName_->text()))
        dlgOpenFile_.setFileName(fileName_->text());
    else
        dlgOpenFile_.setFolderOf(fileName_->text());
    // The dialog has four filters; any other stored index counts as the default.
    std::optional<int> index = storedShort(settings_.getUserSetting("fileTypeSelected", 1LL));
    dlgOpenFile_.setFilterIndex(index && *index >= 1 && *index <= 4 ? *index : 1);
}

void MainForm::saveUserSettings() const
{
    // Each key is written on its own; one that fails does not stop the others.
    settings_.saveUserSetting("quickbooksCompat", quickbooksCompat_->isChecked());
    settings_.saveUserSetting("quickenCompat", quickenCompat_->isChecked());
    settings_.saveUserSetting("noCompat", noCompat_->isChecked());
    settings_.saveUserSetting("fileName", fileName_->text().toStdString());
    settings_.saveUserSetting("fileTypeSelected", static_cast<long long>(dlgOpenFile_.filterIndex()));
}

} // namespace scrivane
