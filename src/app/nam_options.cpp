#include "nam_options.h"

#include "clean_messages.h"
#include "name_list_preview.h"
#include "names/names_preview.h"
#include "platform/file_pattern.h"
#include "platform/name_list_text.h"
#include "platform/qt_text.h"
#include "platform/read_and_clean.h"
#include "settings/payee_rules_store.h"
#include "window_access.h"
#include "window_style.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <new>
#include <optional>
#include <string>

namespace scrivane {

namespace {

QCheckBox* placeCheckBox(QWidget* parent, const char* name, const QString& text, int top)
{
    auto* box = placeControl<QCheckBox>(parent, name, 20, top, 429, 21);
    box->setText(text);
    return box;
}

QPushButton* placeButton(QWidget* parent, const char* name, const QString& text, int left, int width)
{
    auto* button = placeControl<QPushButton>(parent, name, left, 256, width, 25);
    button->setText(text);
    return button;
}

} // namespace

NamOptions::NamOptions(const UserSettings& settings,
                       Prompts& prompts,
                       std::function<QString()> statementPath,
                       SingleWindow<NameListPreview>& nameList,
                       const LocaleRules& locale,
                       const FileSystem& files,
                       QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , prompts_(prompts)
    , statementPath_(std::move(statementPath))
    , nameList_(nameList)
    , locale_(locale)
    , files_(files)
{
    setObjectName(QStringLiteral("namOptions"));
    makeFixedToolWindow(*this, QStringLiteral("Name Cleaning Options"), 468, 303);
    setAccessibleRole(*this, QAccessible::Dialog);
    buildControls();
    clickFocusedButtonOnEnter(*this);
    getUserSettings();
}

void NamOptions::buildControls()
{
    mixedCase_ = placeCheckBox(
        this, "mixedCase", QStringLiteral("Convert names to proper case  (JOHN SMITH to John Smith)"), 16);
    removeNumbers_ = placeCheckBox(this, "removeNumbers", QStringLiteral("Remove numbers"), 44);
    removeDates_ = placeCheckBox(this, "removeDates", QStringLiteral("Remove dates"), 72);
    removeRepeat_ = placeCheckBox(this, "removeRepeat", QStringLiteral("Remove repeated words"), 100);
    // The way into the payee rules sits beside the short caption, clear of the box.
    removeRepeat_->setFixedWidth(300);
    payeeRules_ = placeControl<QPushButton>(this, "payeeRules", 336, 98, 113, 25);
    payeeRules_->setText(QStringLiteral("&Payee Rules..."));
    payeeRules_->setAccessibleDescription(
        QStringLiteral("Rules that write the name your books use for a payee's many spellings"));
    payeeRules_->setEnabled(false);

    label1_ = placeControl<QLabel>(this, "Label1", 16, 136, 425, 17);
    label1_->setText(QStringLiteral("Remove these words from names:"));
    omitWords_ = placeControl<QPlainTextEdit>(this, "omitWords", 16, 156, 433, 85);
    omitWords_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the box, as in the other controls; Enter still breaks a line.
    omitWords_->setTabChangesFocus(true);
    label1_->setBuddy(omitWords_);
    omitWords_->setAccessibleName(QStringLiteral("Remove these words from names"));

    previewRawNames_ = placeButton(this, "previewRawNames", QStringLiteral("Names in file"), 16, 125);
    previewNames_ = placeButton(this, "previewNames", QStringLiteral("Cleaned names preview"), 148, 181);
    myClose_ = placeButton(this, "myClose", QStringLiteral("Done"), 368, 81);
    previewRawNames_->setAccessibleDescription(QStringLiteral("List the payee names as they stand in the file"));
    previewNames_->setAccessibleDescription(QStringLiteral("List the payee names as these options clean them"));
    myClose_->setAccessibleDescription(QStringLiteral("Save the options and close the window"));

    connect(previewRawNames_, &QPushButton::clicked, this, [this] { preview(false); });
    connect(previewNames_, &QPushButton::clicked, this, [this] { preview(true); });
    connect(myClose_, &QPushButton::clicked, this, &NamOptions::done);
}

void NamOptions::setPayeeRulesOpener(std::function<void()> open)
{
    payeeRules_->disconnect(this);
    payeeRules_->setEnabled(bool(open));
    if (open)
        connect(payeeRules_, &QPushButton::clicked, this, std::move(open));
}

void NamOptions::getUserSettings()
{
    // The boxes show the flags as a clean takes them: "1", "True" or any other
    // non-zero number is on, and text that is no truth value at all (what a
    // failing store returns) is off.
    const StoredSettings stored = readSettings(settings_);
    loadedWords_ = QString::fromStdString(stored.wordsShown);
    omitWords_->setPlainText(loadedWords_);
    shownWords_ = omitWords_->toPlainText();
    mixedCase_->setChecked(stored.names.mixedCase);
    removeDates_->setChecked(stored.names.removeDates);
    removeNumbers_->setChecked(stored.names.removeNumbers);
    removeRepeat_->setChecked(stored.names.removeRepeat);
}

void NamOptions::saveUserSettings() const
{
    // The box gives its lines joined by LF; the list is stored with CR LF, as a
    // multi-line box holds it. A list the user left alone goes back byte for byte,
    // whatever line breaks it was stored with.
    QString words = omitWords_->toPlainText();
    if (words == shownWords_)
        words = loadedWords_;
    else
        words.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));

    NameOptions shown;
    shown.omitWords = words.toStdString();
    shown.mixedCase = mixedCase_->isChecked();
    shown.removeDates = removeDates_->isChecked();
    shown.removeNumbers = removeNumbers_->isChecked();
    shown.removeRepeat = removeRepeat_->isChecked();
    // The five keys in one write: each preview saves them, and one sync of the
    // file costs what five did.
    settings_.saveUserSettings(nameOptionWrites(shown));
}

void NamOptions::preview(bool cleanNames)
{
    // The path as Clean File takes it: without surrounding spaces, and never as a
    // pattern. A pattern that matches some file still previews, with nothing in
    // the list, so the options on screen are saved as for any other file.
    const QString path = trimmedOfSpaces(statementPath_());
    if (hasWildcards(path) ? files_.findPlainFiles(path).isEmpty() : !files_.isPlainFile(path)) {
        prompts_.showMessage(
            this,
            QStringLiteral("No valid OFX file entered. Please select a valid file before previewing the "
                           "names in it."),
            MessageIcon::Critical);
        return;
    }
    showNames(cleanNames);
}

void NamOptions::showNames(bool cleanNames)
{
    // A file that can't be read (gone since the check, unreadable, or a pattern
    // rather than a name) lists nothing; the rules on screen are saved all the same.
    const QString path = trimmedOfSpaces(statementPath_());
    const StatementSource source = StatementSource::file(path);
    ReadStatement read = readStatement(source, files_);
    // A bank's file shows the names of the statement made from it, as its
    // stored profile reads it; one that is not known yet is not guessed at.
    if (read.ok()) {
        BankFileRequest bankFile;
        bankFile.profileFor = [this](const std::string& key) -> std::optional<Mapping> {
            const std::optional<std::string> text = settings_.bankFileProfile(key);
            return text ? mappingFromText(*text) : std::nullopt;
        };
        read.failure = convertBankFileInput(source, read.bytes, bankFile);
        if (!read.ok() && read.failure->problem != CleanProblem::OutOfMemory) {
            saveUserSettings();
            prompts_.showMessage(this, bankFileNotListedMessage(*read.failure, path), MessageIcon::Critical);
            return;
        }
    }
    bool outOfMemory = !read.ok() && read.failure->problem == CleanProblem::OutOfMemory;
    QByteArray& bytes = read.bytes;

    saveUserSettings();

    QString names;
    try {
        if (!outOfMemory)
            names = namesOf(bytes, cleanNames);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    if (outOfMemory) {
        prompts_.showMessage(this, namesNotListedMessage(path), MessageIcon::Critical);
        return;
    }

    NameListPreview* window = nameList_.show([] { return new NameListPreview; });
    window->setNames(names);
}

QString NamOptions::namesOf(QByteArray& bytes, bool cleanNames) const
{
    // The cleaner reads the rules from the store, where they were just saved.
    std::optional<NameOptions> options;
    if (cleanNames) {
        options = readSettings(settings_).names;
        options->renaming = savedRenaming(settings_);
    }
    // The list is joined as the names come, CR LF between them: none is kept on
    // its own, and the statement goes before the list becomes characters.
    std::string list;
    const PreviewReport report
        = forEachPreviewName(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                             options,
                             locale_,
                             [&list](std::string_view name) {
                                 if (!list.empty())
                                     list.append("\r\n");
                                 list.append(name);
                             });
    bytes = QByteArray();
    return nameListDisplayText(list, report.charset);
}

void NamOptions::done()
{
    saveUserSettings();
    close();
}

} // namespace scrivane
