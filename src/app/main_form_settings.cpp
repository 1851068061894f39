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
bool storedFlag(const UserSettings& settings, const FlagKey& key)
{
    return readFlag(settings, key).value_or(key.onByDefault());
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
    setOption(quickbooksCompat_, storedFlag(settings_, keys::quickbooksCompat));
    setOption(quickenCompat_, storedFlag(settings_, keys::quickenCompat));
    setOption(noCompat_, storedFlag(settings_, keys::noCompat));
    fileName_->setText(QString::fromStdString(readSetting(settings_, keys::fileName)));
    // The dialog opens on the stored file only while that file is there, and else
    // in its folder (the file was cleaned to another name or put in the trash).
    if (files_.isPlainFile(fileName_->text()))
        dlgOpenFile_.setFileName(fileName_->text());
    else
        dlgOpenFile_.setFolderOf(fileName_->text());
    // The dialog has four filters; any other stored index counts as the default.
    std::optional<int> index = storedShort(readSetting(settings_, keys::fileTypeSelected));
    dlgOpenFile_.setFilterIndex(index && *index >= 1 && *index <= 4 ? *index : 1);
}

void MainForm::saveUserSettings() const
{
    // Each key is written on its own; one that fails does not stop the others.
    settings_.saveUserSetting(keys::quickbooksCompat, quickbooksCompat_->isChecked());
    settings_.saveUserSetting(keys::quickenCompat, quickenCompat_->isChecked());
    settings_.saveUserSetting(keys::noCompat, noCompat_->isChecked());
    settings_.saveUserSetting(keys::fileName, fileName_->text().toStdString());
    settings_.saveUserSetting(keys::fileTypeSelected, dlgOpenFile_.filterIndex());
}

} // namespace scrivane
