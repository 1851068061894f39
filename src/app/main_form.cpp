#include "main_form.h"

#include "clean_messages.h"
#include "mapping_window.h"
#include "platform/name_list_text.h"
#include "platform/qt_text.h"
#include "platform/read_and_clean.h"
#include "scrivane/version.h"
#include "settings/payee_rules_store.h"
#include "statement/finding_format.h"
#include "statement/guidance.h"
#include "window_access.h"
#include "window_caption.h"
#include "window_style.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QUrl>

namespace scrivane {

namespace {

// A message box's details beyond this many findings would take long to lay
// out and longer to read; scrivane-clean --check lists every one.
constexpr std::size_t mostFindingsListed = 1000;

// The layout is drawn in twips, 15 to the pixel at 96 dots per inch.
int pixels(int twips)
{
    return qRound(twips / 15.0);
}

template <class Widget>
Widget* place(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height)
{
    auto* widget = new Widget(caption, parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(pixels(left), pixels(top), pixels(width), pixels(height));
    return widget;
}

} // namespace

MainForm::MainForm(
    const UserSettings& settings, Prompts& prompts, const FileSystem& files, LocaleRules locale, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , settings_(settings)
    , prompts_(prompts)
    , files_(files)
    , locale_(std::move(locale))
{
    setObjectName(QStringLiteral("mainForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFont(programFont());
    setFixedSize(pixels(9150), pixels(3885));
    setAccessibleRole(*this, QAccessible::Window);
    buildControls();

    setWindowTitle(mainWindowCaption(versionMajor, versionRevision));
    dlgOpenFile_.setTitle(QStringLiteral("Select OFX file to clean"));
    dlgOpenFile_.setFilter(
        QStringLiteral("OFX Files (*.ofx)|*.ofx|QFX Files (*.qfx)|*.qfx|QBO Files (*.qbo)|*.qbo|All Files (*.*)|*.*|"
                       "CSV Files (*.csv)|*.csv|QIF Files (*.qif)|*.qif"));
    dlgOpenFile_.setFilterIndex(1);
    getUserSettings();

    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    cleanFile_->setFocus();
    // A statement dragged from a file manager lands anywhere on the window; the
    // box would otherwise take the drop as text and insert a file:// address.
    setAcceptDrops(true);
    fileName_->setAcceptDrops(false);
}

void MainForm::buildControls()
{
    label1_ = place<QLabel>(this, "Label1", QStringLiteral("OFX file to clean:"), 300, 180, 2355, 255);
    fileName_ = place<QLineEdit>(this, "fileName", QString(), 300, 540, 6795, 375);
    select_ = place<QPushButton>(this, "Select", QStringLiteral("Select File"), 7260, 540, 1600, 375);
    frame1_ = place<QGroupBox>(this, "Frame1", QStringLiteral("Make this file compatable with"), 360, 1140, 3915, 1335);
    quickenCompat_ = place<QRadioButton>(
        frame1_, "quickenCompat", QStringLiteral("Quicken           - make a .QFX file"), 180, 300, 3615, 315);
    // As wide as the Quicken button above it: at 3135 twips Windows' own sans serif
    // cut the last letter of "file".
    quickbooksCompat_ = place<QRadioButton>(
        frame1_, "quickbooksCompat", QStringLiteral("QuickBooks   - make a .QBO file"), 180, 600, 3615, 315);
    noCompat_ = place<QRadioButton>(frame1_, "noCompat", QStringLiteral("Other"), 180, 905, 2595, 315);
    nameOptions_ = place<QPushButton>(this, "nameOptions", QStringLiteral("Settings"), 7260, 1320, 1600, 375);
    label2_ = place<QLabel>(this, "Label2", QStringLiteral("Clean payee names:"), 5040, 1380, 2055, 255);
    myHelp_ = place<QPushButton>(this, "myHelp", QStringLiteral("Help"), 7260, 1860, 1600, 375);
    cleanFile_ = place<QPushButton>(this, "cleanFile", QStringLiteral("Clean File"), 7260, 2640, 1600, 375);
    myClose_ = place<QPushButton>(this, "myClose", QStringLiteral("Done"), 7260, 3180, 1600, 375);

    QFont bold = font();
    bold.setWeight(QFont::Bold);
    cleanFile_->setFont(bold);
    for (QPushButton* button : {select_, nameOptions_, myHelp_, cleanFile_, myClose_})
        button->setAutoDefault(false);

    setTabOrder(cleanFile_, fileName_);
    setTabOrder(fileName_, select_);
    setTabOrder(select_, quickenCompat_);
    setTabOrder(quickenCompat_, quickbooksCompat_);
    setTabOrder(quickbooksCompat_, noCompat_);
    setTabOrder(noCompat_, myClose_);
    setTabOrder(myClose_, nameOptions_);
    setTabOrder(nameOptions_, myHelp_);
    tabToCheckedOption({quickenCompat_, quickbooksCompat_, noCompat_});
    clickFocusedButtonOnEnter(*this);

    // A screen reader names the box by its label, and says what the buttons whose
    // caption is a bare word do. No caption carries an "&", so the label gives no
    // accelerator.
    label1_->setBuddy(fileName_);
    select_->setAccessibleDescription(QStringLiteral("Choose the statement file to clean"));
    nameOptions_->setAccessibleDescription(QStringLiteral("Name cleaning options"));
    myHelp_->setAccessibleDescription(QStringLiteral("Open the user guide"));
    cleanFile_->setAccessibleDescription(
        QStringLiteral("Clean the payee names and make the file for the chosen application"));
    myClose_->setAccessibleDescription(QStringLiteral("Save these choices and close the window"));

    connect(select_, &QPushButton::clicked, this, &MainForm::selectFile);
    connect(cleanFile_, &QPushButton::clicked, this, &MainForm::cleanFile);
    connect(myClose_, &QPushButton::clicked, this, &MainForm::done);
    connect(nameOptions_, &QPushButton::clicked, this, &MainForm::nameOptionsRequested);
    connect(myHelp_, &QPushButton::clicked, this, &MainForm::helpRequested);
}

Target MainForm::target() const
{
    if (quickenCompat_->isChecked())
        return Target::Quicken;
    if (quickbooksCompat_->isChecked())
        return Target::QuickBooks;
    return Target::Other;
}

QString MainForm::statementPath() const
{
    return fileName_->text();
}

void MainForm::setStatementPath(const QString& path)
{
    fileName_->setText(path);
}

QString MainForm::droppedFile(const QMimeData* mime) const
{
    if (mime == nullptr || !mime->hasUrls() || mime->urls().isEmpty())
        return {};
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile() || !files_.isPlainFile(url.toLocalFile()))
        return {};
    return url.toLocalFile();
}

void MainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    setStatementPath(path);
    event->acceptProposedAction();
}

void MainForm::selectFile()
{
    int error = dlgOpenFile_.showOpen(prompts_, this);
    if (error == fileDialogCancelled)
        return;
    if (error != 0) {
        prompts_.showMessage(this,
                             QStringLiteral("Error %1 selecting file.\r\n%2")
                                 .arg(QString::number(error), dlgOpenFile_.errorDescription()));
        return;
    }
    fileName_->setText(dlgOpenFile_.fileName());
}

void MainForm::cleanFile()
{
    // One run addresses one file: the name as typed, without surrounding spaces.
    CleanRequest request;
    request.input = StatementSource::file(trimmedOfSpaces(fileName_->text()));
    request.target = target();
    request.names = readSettings(settings_).names;
    request.names.renaming = savedRenaming(settings_);
    request.locale = locale_;
    // A bank's CSV or QIF file is read by the profile stored for its layout; a
    // layout seen for the first time, or a question its file leaves open, is
    // shown to the user first, and the answers become its profile.
    request.bankFile.profileFor = [this](const std::string& key) -> std::optional<Mapping> {
        const std::optional<std::string> text = settings_.bankFileProfile(key);
        return text ? mappingFromText(*text) : std::nullopt;
    };
    request.bankFile.askUnlessStored = true;
    request.check = CheckRun::Written;
    CleanOutcome outcome = readAndClean(request, files_);
    if (const auto asked = outcome.bankFileQuestions) {
        const std::optional<Mapping> answers = askMapping(*asked, request.input.name());
        if (!answers) {
            // Cancelled: nothing was written, and nothing is said.
            saveUserSettings();
            return;
        }
        settings_.saveBankFileProfile(asked->layoutKey, mappingText(*answers));
        request.bankFile.given = *answers;
        request.bankFile.askUnlessStored = false;
        outcome = readAndClean(request, files_);
    }
    if (outcome.ok()) {
        fileName_->setText(outcome.outputPath);
        prompts_.showMessage(
            this,
            followedByFindings(QString::fromStdString(cleanedMessage(request.target, outcome.notConverted))
                                   + replacedWithoutTrash(outcome),
                               request.target,
                               outcome.findings),
            MessageIcon::Information,
            applicationTitle,
            quotingText(findingsList(outcome.findings, mostFindingsListed)));
    } else {
        prompts_.showMessage(this,
                             cleanFailureMessage(*outcome.failure, request.input.name(), outcome.outputPath),
                             MessageIcon::Critical);
    }
    saveUserSettings();
}

std::optional<Mapping> MainForm::askMapping(const BankFileQuestions& asked, const QString& path)
{
    MappingWindow window(asked.file, asked.reading.mapping, QFileInfo(path).fileName(), this);
    window.setWindowModality(Qt::ApplicationModal);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.mapping();
}

void MainForm::done()
{
    saveUserSettings();
    close();
}

} // namespace scrivane
