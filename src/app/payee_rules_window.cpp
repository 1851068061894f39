#include "payee_rules_window.h"

#include "clean_messages.h"
#include "platform/name_list_text.h"
#include "platform/qt_text.h"
#include "platform/read_and_clean.h"
#include "rules/rule_listing.h"
#include "rules/rule_set.h"
#include "rules/rules_csv.h"
#include "settings/payee_rules_store.h"
#include "settings/stored_settings.h"
#include "window_access.h"
#include "window_style.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <new>
#include <set>
#include <string>
#include <variant>

namespace scrivane {

namespace {

enum RuleColumn { MatchColumn, TextColumn, NameColumn };
enum NameColumnIndex { RawColumn, WrittenColumn, RuleNumberColumn };

constexpr MatchKind kinds[] = {MatchKind::Contains, MatchKind::Begins, MatchKind::Exact, MatchKind::Pattern};

const QString rulesFilter = QStringLiteral("Payee rules (*.csv)|*.csv|All files (*.*)|*.*");

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The way of matching is chosen from the four, never typed.
class MatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* box = new QComboBox(parent);
        for (MatchKind kind : kinds)
            box->addItem(text(matchKindName(kind)));
        box->setAccessibleName(QStringLiteral("Match"));
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentIndex(std::max(0, box->findText(index.data().toString())));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }
};

QTableWidget* table(QWidget* parent, const char* name, const QString& spoken, const QStringList& headers)
{
    auto* view = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(spoken);
    view->setHorizontalHeaderLabels(headers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->setVisible(false);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& description)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setAccessibleDescription(description);
    return control;
}

} // namespace

PayeeRulesWindow::PayeeRulesWindow(const UserSettings& settings,
                                   Prompts& prompts,
                                   std::function<QString()> statementPath,
                                   const LocaleRules& locale,
                                   const FileSystem& files,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window)
    , settings_(settings)
    , prompts_(prompts)
    , statementPath_(std::move(statementPath))
    , locale_(locale)
    , files_(files)
{
    setObjectName(QStringLiteral("payeeRules"));
    setWindowTitle(QStringLiteral("Payee Rules"));
    setFont(programFont());
    setAttribute(Qt::WA_QuitOnClose, true);
    setAccessibleRole(*this, QAccessible::Dialog);
    for (OpenFileDialog* dialog : {&importDialog_, &exportDialog_}) {
        dialog->setFilter(rulesFilter);
        dialog->setFolderOf(statementPath_());
    }
    importDialog_.setTitle(QStringLiteral("Import Payee Rules"));
    exportDialog_.setTitle(QStringLiteral("Export Payee Rules"));
    buildControls();
    clickFocusedButtonOnEnter(*this);

    const StoredRules stored = readPayeeRules(settings_);
    QStringList skipped;
    for (const SkippedRule& rule : stored.skipped)
        skipped << QStringLiteral("Saved rule %1 is left out: the rule %2; Done saves the rules without it.")
                       .arg(rule.entry, text(rule.reason));
    skipped_ = skipped.join(QLatin1Char(' '));
    options_ = readSettings(settings_).names;
    readStatement();
    showRules(stored.rules);
    resize(900, 480);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void PayeeRulesWindow::buildControls()
{
    auto* rulesLabel = new QLabel(QStringLiteral("&Rules, the first that matches wins:"), this);
    rules_ = table(this,
                   "rules",
                   QStringLiteral("Payee rules"),
                   {QStringLiteral("Match"), QStringLiteral("Text"), QStringLiteral("Name to write")});
    rules_->setItemDelegateForColumn(MatchColumn, new MatchDelegate(rules_));
    rules_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                            | QAbstractItemView::AnyKeyPressed);
    rulesLabel->setBuddy(rules_);

    add_ = button(this, "addRule", QStringLiteral("&Add"), QStringLiteral("Add a rule below the one selected"));
    remove_ = button(this, "removeRule", QStringLiteral("Re&move"), QStringLiteral("Remove the selected rule"));
    up_ = button(this, "moveUp", QStringLiteral("Move &Up"), QStringLiteral("Try the selected rule earlier"));
    down_ = button(this, "moveDown", QStringLiteral("Move &Down"), QStringLiteral("Try the selected rule later"));
    import_ = button(this,
                     "importRules",
                     QStringLiteral("&Import..."),
                     QStringLiteral("Replace the rules with those of a rules file (CSV)"));
    export_ = button(
        this, "exportRules", QStringLiteral("E&xport..."), QStringLiteral("Save the rules as a rules file (CSV)"));

    auto* namesLabel = new QLabel(QStringLiteral("&Names in the statement:"), this);
    names_ = table(this,
                   "names",
                   QStringLiteral("Names in the statement"),
                   {QStringLiteral("Name in file"), QStringLiteral("Name written"), QStringLiteral("Rule")});
    names_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    namesLabel->setBuddy(names_);
    fromName_ = button(this,
                       "ruleFromName",
                       QStringLiteral("Make a Rule from This &Name"),
                       QStringLiteral("Add a rule that matches the selected name, its words filled in"));

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    done_ = button(this, "done", QStringLiteral("Done"), QStringLiteral("Save the rules and close the window"));

    auto* ruleButtons = new QHBoxLayout;
    for (QPushButton* control : {add_, remove_, up_, down_, import_, export_})
        ruleButtons->addWidget(control);
    ruleButtons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(rulesLabel);
    left->addWidget(rules_, 1);
    left->addLayout(ruleButtons);
    auto* right = new QVBoxLayout;
    right->addWidget(namesLabel);
    right->addWidget(names_, 1);
    right->addWidget(fromName_, 0, Qt::AlignLeft);
    auto* panes = new QHBoxLayout;
    panes->addLayout(left, 1);
    panes->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(problem_, 1);
    bottom->addWidget(done_, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addLayout(bottom);

    connect(add_, &QPushButton::clicked, this, &PayeeRulesWindow::addRule);
    connect(remove_, &QPushButton::clicked, this, &PayeeRulesWindow::removeRule);
    connect(up_, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(import_, &QPushButton::clicked, this, &PayeeRulesWindow::importRules);
    connect(export_, &QPushButton::clicked, this, &PayeeRulesWindow::exportRules);
    connect(fromName_, &QPushButton::clicked, this, &PayeeRulesWindow::ruleFromName);
    connect(names_, &QTableWidget::cellActivated, this, &PayeeRulesWindow::ruleFromName);
    connect(done_, &QPushButton::clicked, this, &PayeeRulesWindow::done);
    connect(rules_, &QTableWidget::itemChanged, this, [this] {
        if (!filling_)
            refresh();
    });
}

std::vector<PayeeRule> PayeeRulesWindow::rules() const
{
    std::vector<PayeeRule> rules;
    for (int row = 0; row < rules_->rowCount(); ++row) {
        const auto field = [&](int column) { return rules_->item(row, column)->text().toStdString(); };
        rules.push_back({matchKindFromName(field(MatchColumn)).value_or(MatchKind::Contains),
                         field(TextColumn),
                         field(NameColumn)});
    }
    return rules;
}

void PayeeRulesWindow::showRules(const std::vector<PayeeRule>& rules)
{
    filling_ = true;
    rules_->setRowCount(0);
    for (const PayeeRule& rule : rules)
        insertRule(rules_->rowCount(), rule);
    filling_ = false;
    rules_->resizeColumnToContents(MatchColumn);
    refresh();
}

void PayeeRulesWindow::insertRule(int row, const PayeeRule& rule)
{
    const bool filling = filling_;
    filling_ = true;
    rules_->insertRow(row);
    rules_->setItem(row, MatchColumn, new QTableWidgetItem(text(matchKindName(rule.match))));
    rules_->setItem(row, TextColumn, new QTableWidgetItem(text(rule.text)));
    rules_->setItem(row, NameColumn, new QTableWidgetItem(text(rule.name)));
    filling_ = filling;
}

void PayeeRulesWindow::addRule()
{
    const int row = rules_->currentRow() < 0 ? rules_->rowCount() : rules_->currentRow() + 1;
    insertRule(row, {});
    rules_->setCurrentCell(row, TextColumn);
    rules_->setFocus();
    rules_->editItem(rules_->item(row, TextColumn));
    refresh();
}

void PayeeRulesWindow::removeRule()
{
    const int row = rules_->currentRow();
    if (row < 0)
        return;
    rules_->removeRow(row);
    refresh();
}

void PayeeRulesWindow::moveRule(int by)
{
    const int row = rules_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= rules_->rowCount())
        return;
    const int column = rules_->currentColumn();
    filling_ = true;
    for (int c = 0; c < rules_->columnCount(); ++c) {
        QTableWidgetItem* moving = rules_->takeItem(row, c);
        rules_->setItem(row, c, rules_->takeItem(to, c));
        rules_->setItem(to, c, moving);
    }
    filling_ = false;
    rules_->setCurrentCell(to, column);
    refresh();
}

void PayeeRulesWindow::importRules()
{
    const int error = importDialog_.showOpen(prompts_, this);
    if (error == fileDialogCancelled)
        return;
    const QString path = importDialog_.fileName();
    QByteArray bytes;
    FileResult failure;
    if (error != 0)
        failure = FileError {path, importDialog_.errorDescription()};
    else
        failure = files_.readWhole(path, bytes);
    if (!failure.ok()) {
        prompts_.showMessage(
            this,
            QStringLiteral("The rules file \"%1\" could not be read:\r\n%2\r\n\r\nThe rules are unchanged.")
                .arg(path, fileProblemText(failure.failure())),
            MessageIcon::Critical);
        return;
    }
    const RulesFile read = readRulesCsv(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!read.error.empty()) {
        prompts_.showMessage(
            this,
            QStringLiteral("The rules file \"%1\" could not be imported:\r\n%2\r\n\r\nThe rules are unchanged.")
                .arg(path, text(read.error)),
            MessageIcon::Critical);
        return;
    }
    showRules(read.rules);
}

void PayeeRulesWindow::exportRules()
{
    const int error = exportDialog_.showSave(prompts_, this);
    if (error == fileDialogCancelled)
        return;
    const QString path = exportDialog_.fileName();
    FileResult failure;
    if (error != 0) {
        failure = FileError {path, exportDialog_.errorDescription()};
    } else {
        const std::string csv = writeRulesCsv(rules());
        failure = files_.writeWhole(path, [&csv](const ByteSink& sink) { return sink(csv); }, {});
    }
    if (!failure.ok())
        prompts_.showMessage(this,
                             QStringLiteral("The rules file \"%1\" could not be written:\r\n%2")
                                 .arg(path, fileProblemText(failure.failure())),
                             MessageIcon::Critical);
}

void PayeeRulesWindow::ruleFromName()
{
    const int row = names_->currentRow();
    if (row < 0)
        return;
    const QString raw = names_->item(row, RawColumn)->text();
    const QString written = names_->item(row, WrittenColumn)->text();
    // The words of the cleaned name, which drop the dates and numbers that change
    // from one month to the next, as long as they still find this name; else the
    // name's own words.
    PayeeRule rule {MatchKind::Contains, written.toLower().toStdString(), written.toStdString()};
    auto compiled = RuleSet::compile({rule});
    RuleSet* one = std::get_if<RuleSet>(&compiled);
    if (!one || !RuleMatcher(*one).firstMatch(raw.toStdString()))
        rule.text = raw.simplified().toLower().toStdString();
    const int at = rules_->rowCount();
    insertRule(at, rule);
    rules_->setCurrentCell(at, NameColumn);
    rules_->setFocus();
    rules_->editItem(rules_->item(at, NameColumn));
    refresh();
}

void PayeeRulesWindow::readStatement()
{
    // The names of the statement as Clean File would read it, a bank's CSV or QIF
    // file through its stored profile; a file that cannot be read lists nothing.
    const QString path = trimmedOfSpaces(statementPath_());
    if (path.isEmpty() || !files_.isPlainFile(path))
        return;
    const StatementSource source = StatementSource::file(path);
    ReadStatement read = scrivane::readStatement(source, files_);
    if (read.ok()) {
        BankFileRequest bankFile;
        bankFile.profileFor = [this](const std::string& key) -> std::optional<Mapping> {
            const std::optional<std::string> profile = settings_.bankFileProfile(key);
            return profile ? mappingFromText(*profile) : std::nullopt;
        };
        read.failure = convertBankFileInput(source, read.bytes, bankFile);
    }
    if (read.ok())
        statement_ = std::move(read.bytes);
}

void PayeeRulesWindow::refresh()
{
    QStringList problems;
    if (!skipped_.isEmpty())
        problems << skipped_;
    std::vector<PayeeRule> shown = rules();
    auto compiled = RuleSet::compile(shown);
    const RuleSet none;
    const RuleSet* rules = std::get_if<RuleSet>(&compiled);
    if (const RuleError* error = std::get_if<RuleError>(&compiled))
        problems << text(error->message);

    // Each name once, in the order of its first transaction: a payee paid every
    // week is one row to make a rule from.
    std::vector<std::pair<std::string, std::string>> listed;
    std::vector<std::optional<std::size_t>> numbers;
    std::set<std::string, std::less<>> seen;
    RuleListingReport report;
    try {
        report
            = forEachRuleListing(std::string_view(statement_.constData(), static_cast<std::size_t>(statement_.size())),
                                 options_,
                                 rules ? *rules : none,
                                 locale_,
                                 [&](const RuleListing& listing) {
                                     if (!seen.insert(std::string(listing.raw)).second)
                                         return;
                                     listed.emplace_back(listing.raw, listing.written);
                                     numbers.push_back(listing.rule);
                                 });
    } catch (const std::bad_alloc&) {
        report.failure = "there is not enough memory to list its names";
    }
    if (!report.failure.empty())
        problems << QStringLiteral("A clean of this statement would fail: %1.").arg(text(report.failure));

    names_->setRowCount(0);
    names_->setRowCount(static_cast<int>(listed.size()));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const int row = static_cast<int>(i);
        names_->setItem(row, RawColumn, new QTableWidgetItem(nameListDisplayText(listed[i].first, report.charset)));
        names_->setItem(
            row, WrittenColumn, new QTableWidgetItem(nameListDisplayText(listed[i].second, report.charset)));
        names_->setItem(
            row, RuleNumberColumn, new QTableWidgetItem(numbers[i] ? QString::number(*numbers[i] + 1) : QString()));
    }
    names_->resizeColumnsToContents();
    problem_->setText(problems.join(QLatin1Char(' ')));
}

void PayeeRulesWindow::done()
{
    const std::vector<PayeeRule> shown = rules();
    auto compiled = RuleSet::compile(shown);
    if (const RuleError* error = std::get_if<RuleError>(&compiled)) {
        prompts_.showMessage(this,
                             QStringLiteral("%1\r\n\r\nThe rules have not been saved.").arg(text(error->message)),
                             MessageIcon::Critical);
        rules_->setCurrentCell(static_cast<int>(error->number) - 1, TextColumn);
        return;
    }
    if (!savePayeeRules(settings_, shown)) {
        prompts_.showMessage(this,
                             QStringLiteral("The rules could not be saved in \"%1\".").arg(settings_.fileName()),
                             MessageIcon::Critical);
        return;
    }
    close();
}

} // namespace scrivane
