#include "main_form.h"

#include <QLineEdit>
#include <QRadioButton>

namespace scrivane {

namespace {

// Turning a button on turns the others of its group off; with none to turn on,
// all three go off, which an exclusive group would refuse for its checked button.
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
    const WindowSettings stored = readSettings(settings_).window;
    setOption(quickbooksCompat_, stored.option == Target::QuickBooks);
    setOption(quickenCompat_, stored.option == Target::Quicken);
    setOption(noCompat_, stored.option == Target::Other);
    fileName_->setText(QString::fromStdString(stored.fileName));
    // The dialog opens on the stored file only while that file is there, and else
    // in its folder (the file was cleaned to another name or put in the trash).
    if (files_.isPlainFile(fileName_->text()))
        dlgOpenFile_.setFileName(fileName_->text());
    else
        dlgOpenFile_.setFolderOf(fileName_->text());
    dlgOpenFile_.setFilterIndex(stored.fileTypeSelected);
}

void MainForm::saveUserSettings() const
{
    WindowSettings shown;
    shown.option = quickbooksCompat_->isChecked() ? std::optional(Target::QuickBooks)
        : quickenCompat_->isChecked()             ? std::optional(Target::Quicken)
        : noCompat_->isChecked()                  ? std::optional(Target::Other)
                                                  : std::nullopt;
    shown.fileName = fileName_->text().toStdString();
    shown.fileTypeSelected = dlgOpenFile_.filterIndex();
    // Each key is written on its own; one that fails does not stop the others.
    for (const auto& [key, text] : windowWrites(shown))
        settings_.saveUserSetting(key, text);
}

} // namespace scrivane
