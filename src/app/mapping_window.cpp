#include "mapping_window.h"

#include "convert/ofx_writer.h"
#include "window_access.h"
#include "window_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace scrivane {

namespace {

// Rows shown of the file and of the statement: enough to judge by.
constexpr int fileRowsShown = 8;
constexpr int previewRowsShown = 200;

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// What a column role is called beside its box, and what its box is named.
struct RoleControl
{
    const char* label;
    const char* name;
};
constexpr RoleControl roleControls[] = {
    {"&Date:", "dateColumn"},
    {"&Payee:", "payeeColumn"},
    {"&Amount:", "amountColumn"},
    {"D&ebit:", "debitColumn"},
    {"C&redit:", "creditColumn"},
    {"Debit or credit &says:", "indicatorColumn"},
    {"&Memo:", "memoColumn"},
    {"C&heck number:", "checkColumn"},
    {"Transaction &id:", "idColumn"},
    {"&Balance:", "balanceColumn"},
};

const NumericDateOrder orders[] = {
    NumericDateOrder::YearMonthDay,
    NumericDateOrder::MonthDayYear,
    NumericDateOrder::DayMonthYear,
};

const AccountType types[] = {
    AccountType::Checking,
    AccountType::Savings,
    AccountType::MoneyMarket,
    AccountType::CreditCard,
};

// A table to read, not to fill in: one stop of the Tab key, walked with the arrows,
// so that Tab does not wander through every cell before it reaches the choices.
void readOnlyTable(QTableWidget& table, const QString& name)
{
    table.setAccessibleName(name);
    table.setTabKeyNavigation(false);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QTableWidgetItem* cell(const QString& value)
{
    auto* item = new QTableWidgetItem(value);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// What is still to be answered, in words.
QString askedFor(const std::vector<Question>& questions)
{
    QStringList parts;
    for (Question q : questions) {
        switch (q) {
        case Question::Columns:
            parts << QStringLiteral("choose the columns of the date, the payee and the amount");
            break;
        case Question::DateOrder:
            parts << QStringLiteral("choose the order of the dates: every day in the file is 12 or less, so they "
                                    "read either way");
            break;
        case Question::AccountId:
            parts << QStringLiteral("give the account number, which QuickBooks and Quicken match to your account");
            break;
        }
    }
    return QStringLiteral("To convert, %1.").arg(parts.join(QStringLiteral("; ")));
}

} // namespace

MappingWindow::MappingWindow(const BankFile& file, const Mapping& start, const QString& fileName, QWidget* parent)
    : QDialog(parent)
    , file_(file)
{
    setObjectName(QStringLiteral("mappingWindow"));
    setWindowTitle(QStringLiteral("Scrivane - How to read %1").arg(fileName));
    setFont(programFont());
    setAccessibleRole(*this, QAccessible::Dialog);
    buildControls();
    showFileRows();
    setControls(start);
    refresh();
    resize(860, 720);
}

void MappingWindow::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    const bool csv = file_.format == BankFileFormat::Csv;
    auto* intro = new QLabel(csv ? QStringLiteral("Scrivane has not seen a file laid out like this one before. Check "
                                                  "what each column holds and which account it is; your answers are "
                                                  "kept, and the next file laid out the same way converts without "
                                                  "asking.")
                                 : QStringLiteral("Scrivane has not seen this QIF file's accounts before. Check how "
                                                  "its dates are written and which account it is; your answers are "
                                                  "kept, and the next file of the same accounts converts without "
                                                  "asking."),
                             this);
    intro->setObjectName(QStringLiteral("intro"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    fileRows_ = new QTableWidget(this);
    fileRows_->setObjectName(QStringLiteral("fileRows"));
    readOnlyTable(*fileRows_, QStringLiteral("The first rows of the file"));
    fileRows_->setVisible(csv);
    fileRows_->setMinimumHeight(150);
    layout->addWidget(fileRows_, 1);

    auto* choices = new QGridLayout;
    auto* columnForm = new QFormLayout;
    auto* accountForm = new QFormLayout;
    const auto addRow = [](QFormLayout* form, const char* label, QWidget* field) {
        auto* caption = new QLabel(QString::fromUtf8(label), field->parentWidget());
        caption->setBuddy(field);
        form->addRow(caption, field);
        field->setAccessibleName(caption->text().remove(QLatin1Char('&')).chopped(1));
    };
    for (std::size_t r = 0; r < std::size(allColumnRoles); ++r) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(roleControls[r].name));
        box->addItem(QStringLiteral("(none)"), -1);
        for (std::size_t c = 0; c < file_.csv.titles.size(); ++c) {
            box->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(text(file_.csv.titles[c])), static_cast<int>(c));
        }
        columns_[r] = box;
        if (csv)
            addRow(columnForm, roleControls[r].label, box);
        else
            box->hide();
        connect(box, &QComboBox::currentIndexChanged, this, &MappingWindow::refresh);
    }

    dateOrder_ = new QComboBox(this);
    dateOrder_->setObjectName(QStringLiteral("dateOrder"));
    dateOrder_->setPlaceholderText(QStringLiteral("Choose"));
    dateOrder_->addItem(QStringLiteral("Year, month, day (2024-03-31)"));
    dateOrder_->addItem(QStringLiteral("Month, day, year (03/31/2024)"));
    dateOrder_->addItem(QStringLiteral("Day, month, year (31/03/2024)"));
    addRow(accountForm, "Dates are &written:", dateOrder_);
    reversed_ = new QCheckBox(QStringLiteral("Amounts &over zero are money going out"), this);
    reversed_->setObjectName(QStringLiteral("reversedSign"));
    reversed_->setAccessibleDescription(QStringLiteral("As many card statements write their charges"));
    accountForm->addRow(QString(), reversed_);
    accountId_ = new QLineEdit(this);
    accountId_->setObjectName(QStringLiteral("accountId"));
    accountId_->setMaxLength(32);
    addRow(accountForm, "Account &number:", accountId_);
    accountType_ = new QComboBox(this);
    accountType_->setObjectName(QStringLiteral("accountType"));
    for (const char* name : {"Checking", "Savings", "Money market", "Credit card"})
        accountType_->addItem(QString::fromUtf8(name));
    addRow(accountForm, "Account &type:", accountType_);
    // A QIF file of several accounts names each of them, and says its kind, itself.
    std::size_t accounts = 0;
    for (const QifAccount& account : file_.qif.accounts)
        accounts += account.records.empty() ? 0 : 1;
    if (!csv && accounts > 1) {
        accountId_->setEnabled(false);
        accountId_->setPlaceholderText(QStringLiteral("Each account as the file names it"));
        accountType_->setEnabled(false);
    }
    currency_ = new QLineEdit(this);
    currency_->setObjectName(QStringLiteral("currency"));
    currency_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z]{0,3}")), currency_));
    addRow(accountForm, "C&urrency:", currency_);
    connect(dateOrder_, &QComboBox::currentIndexChanged, this, &MappingWindow::refresh);
    connect(reversed_, &QCheckBox::toggled, this, &MappingWindow::refresh);
    connect(accountId_, &QLineEdit::textChanged, this, &MappingWindow::refresh);
    connect(accountType_, &QComboBox::currentIndexChanged, this, &MappingWindow::refresh);
    connect(currency_, &QLineEdit::textChanged, this, &MappingWindow::refresh);
    choices->addLayout(columnForm, 0, 0);
    choices->addLayout(accountForm, 0, 1, Qt::AlignTop);
    layout->addLayout(choices);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    QFont bold = problem_->font();
    bold.setBold(true);
    problem_->setFont(bold);
    problem_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(problem_);

    preview_ = new QTableWidget(0, 5, this);
    preview_->setObjectName(QStringLiteral("preview"));
    readOnlyTable(*preview_, QStringLiteral("The transactions as the statement will carry them"));
    preview_->setHorizontalHeaderLabels({QStringLiteral("Date"),
                                         QStringLiteral("Amount"),
                                         QStringLiteral("Type"),
                                         QStringLiteral("Name"),
                                         QStringLiteral("Memo")});
    preview_->horizontalHeader()->setStretchLastSection(true);
    preview_->verticalHeader()->hide();
    layout->addWidget(preview_, 2);

    buttons_ = new QDialogButtonBox(this);
    convert_ = buttons_->addButton(QStringLiteral("Convert"), QDialogButtonBox::AcceptRole);
    convert_->setObjectName(QStringLiteral("convert"));
    convert_->setDefault(true);
    QPushButton* cancel = buttons_->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons_);
}

void MappingWindow::showFileRows()
{
    if (file_.format != BankFileFormat::Csv)
        return;
    const CsvLayout& csv = file_.csv;
    fileRows_->setColumnCount(static_cast<int>(csv.width));
    QStringList titles;
    for (std::size_t c = 0; c < csv.width; ++c)
        titles << QStringLiteral("%1: %2").arg(c + 1).arg(text(csv.titles[c]));
    fileRows_->setHorizontalHeaderLabels(titles);
    const auto& records = csv.table.records;
    const std::size_t end = std::min(records.size(), csv.firstRow + fileRowsShown);
    fileRows_->setRowCount(static_cast<int>(end - std::min(end, csv.firstRow)));
    QStringList lines;
    for (std::size_t r = csv.firstRow; r < end; ++r) {
        const auto row = static_cast<int>(r - csv.firstRow);
        lines << QStringLiteral("Line %1").arg(records[r].line);
        for (std::size_t c = 0; c < records[r].fields.size() && c < csv.width; ++c)
            fileRows_->setItem(row, static_cast<int>(c), cell(text(records[r].fields[c])));
    }
    fileRows_->setVerticalHeaderLabels(lines);
    fileRows_->resizeColumnsToContents();
}

void MappingWindow::setControls(const Mapping& mapping)
{
    const ColumnMap columns = mapping.columns.value_or(ColumnMap {});
    for (std::size_t r = 0; r < std::size(allColumnRoles); ++r) {
        const int index = columns_[r]->findData(columns[allColumnRoles[r]]);
        columns_[r]->setCurrentIndex(index < 0 ? 0 : index);
    }
    dateOrder_->setCurrentIndex(-1);
    for (int i = 0; i < 3; ++i) {
        if (mapping.dateOrder == orders[i])
            dateOrder_->setCurrentIndex(i);
    }
    reversed_->setChecked(mapping.reversed.value_or(false));
    accountId_->setText(text(mapping.accountId.value_or("")));
    for (int i = 0; i < 4; ++i) {
        if (mapping.accountType.value_or(AccountType::Checking) == types[i])
            accountType_->setCurrentIndex(i);
    }
    currency_->setText(text(mapping.currency.value_or("USD")));
}

Mapping MappingWindow::mapping() const
{
    Mapping m;
    if (file_.format == BankFileFormat::Csv) {
        ColumnMap columns;
        for (std::size_t r = 0; r < std::size(allColumnRoles); ++r)
            columns[allColumnRoles[r]] = columns_[r]->currentData().toInt();
        m.columns = columns;
    }
    if (dateOrder_->currentIndex() >= 0)
        m.dateOrder = orders[dateOrder_->currentIndex()];
    m.reversed = reversed_->isChecked();
    const QString account = accountId_->text().trimmed();
    if (!account.isEmpty())
        m.accountId = account.toStdString();
    m.accountType = types[accountType_->currentIndex()];
    m.currency = currency_->text().isEmpty() ? std::string("USD") : currency_->text().toUpper().toStdString();
    return m;
}

void MappingWindow::refresh()
{
    Mapping m = mapping();
    // A column that two roles claim is told as such rather than read twice.
    QString clash;
    for (std::size_t a = 0; a < std::size(allColumnRoles) && m.columns; ++a) {
        for (std::size_t b = a + 1; b < std::size(allColumnRoles); ++b) {
            const int c = (*m.columns)[allColumnRoles[a]];
            if (c >= 0 && c == (*m.columns)[allColumnRoles[b]] && clash.isEmpty())
                clash = QStringLiteral("Column %1 cannot be both %2 and %3.")
                            .arg(c + 1)
                            .arg(QString::fromUtf8(roleControls[a].label).remove(QLatin1Char('&')).chopped(1),
                                 QString::fromUtf8(roleControls[b].label).remove(QLatin1Char('&')).chopped(1));
        }
    }
    // The account number goes into every row's id, but the rows are shown
    // before it is given. A QIF file names its own accounts.
    const bool csv = file_.format == BankFileFormat::Csv;
    const bool accountMissing = csv && !m.accountId;
    if (accountMissing)
        m.accountId = "?";
    const StatementReading reading = readStatements(file_, m);
    std::vector<Question> asked = reading.questions;
    if (accountMissing)
        asked.push_back(Question::AccountId);

    QString problem = clash;
    if (problem.isEmpty() && !reading.error.empty())
        problem = QStringLiteral("The file cannot be read so: %1.").arg(text(reading.error));
    if (problem.isEmpty() && !asked.empty())
        problem = askedFor(asked);
    problem_->setText(problem);
    // Out of the Tab order and out of sight while there is nothing to say.
    problem_->setVisible(!problem.isEmpty());
    convert_->setEnabled(problem.isEmpty());

    // The rows as the statement will carry them, even while something is asked.
    Mapping shown = m;
    if (!shown.dateOrder && reading.dateOrders != 0) {
        for (NumericDateOrder order : orders) {
            if (!shown.dateOrder && (reading.dateOrders & orderBit(order)))
                shown.dateOrder = order;
        }
    }
    const StatementReading rows = clash.isEmpty() ? readStatements(file_, shown) : StatementReading {};
    int count = 0;
    for (const BankStatement& s : rows.statements)
        count += static_cast<int>(std::min<std::size_t>(s.transactions.size(), previewRowsShown));
    preview_->setRowCount(std::min(count, previewRowsShown));
    int row = 0;
    for (const BankStatement& s : rows.statements) {
        for (const Transaction& t : s.transactions) {
            if (row >= previewRowsShown)
                break;
            const WrittenRow written = writtenRow(t);
            preview_->setItem(
                row, 0, cell(text(ofxDate(t.date)).insert(6, QLatin1Char('-')).insert(4, QLatin1Char('-'))));
            preview_->setItem(row, 1, cell(text(ofxAmount(t.amount))));
            preview_->setItem(row, 2, cell(text(written.type)));
            preview_->setItem(row, 3, cell(text(written.name)));
            preview_->setItem(row, 4, cell(text(written.memo)));
            ++row;
        }
    }
    preview_->setRowCount(row);
    preview_->resizeColumnsToContents();
}

} // namespace scrivane
