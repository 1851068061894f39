#include "csv_statement.h"

#include "fitid.h"
#include "text_fold.h"

#include <algorithm>
#include <map>

namespace scrivane {

namespace {

// Lines looked at for the titles, and rows looked at to find the columns.
constexpr std::size_t headerSearch = 64;
constexpr std::size_t detectionSample = 2000;

constexpr std::string_view totalWords[] = {
    "total",
    "sum",
    "summe",
    "gesamt",
    "somme",
    "saldo",
    "balance",
    "closing",
    "opening",
    "ending",
    "beginning",
    "solde",
    "anfangssaldo",
    "endsaldo",
    "subtotal",
};

bool isAnyAmount(std::string_view field)
{
    return parseAmount(field, DecimalMark::Point) || parseAmount(field, DecimalMark::Comma);
}

bool hasDate(const CsvRecord& record)
{
    return std::any_of(
        record.fields.begin(), record.fields.end(), [](const std::string& f) { return possibleDateOrders(f) != 0; });
}

bool hasDateAndAmount(const CsvRecord& record)
{
    bool date = false;
    bool amount = false;
    for (const std::string& field : record.fields) {
        if (possibleDateOrders(field) != 0)
            date = true;
        else if (isAnyAmount(field))
            amount = true;
    }
    return date && amount;
}

// A line of titles names a date and some amount.
bool isTitleLine(const CsvRecord& record)
{
    bool date = false;
    bool amount = false;
    for (const std::string& field : record.fields) {
        date = date || titleNames(ColumnRole::Date, field);
        amount = amount || titleNames(ColumnRole::Amount, field) || titleNames(ColumnRole::Debit, field)
            || titleNames(ColumnRole::Credit, field);
    }
    return date && amount;
}

std::size_t widthWithoutEmptyEnd(const std::vector<std::string>& fields)
{
    std::size_t width = fields.size();
    while (width > 0 && trimWhite(fields[width - 1]).empty())
        --width;
    return width;
}

bool isEmptyRecord(const CsvRecord& record)
{
    return widthWithoutEmptyEnd(record.fields) == 0;
}

std::string quoted(std::string_view value)
{
    return "\"" + std::string(value) + "\"";
}

// The most common width of the records from first on, ignoring empty fields at
// their ends.
std::size_t commonWidth(const std::vector<CsvRecord>& records, std::size_t first)
{
    std::map<std::size_t, std::size_t> counts;
    for (std::size_t i = first; i < records.size() && i < first + detectionSample; ++i)
        ++counts[widthWithoutEmptyEnd(records[i].fields)];
    std::size_t best = 0;
    std::size_t bestCount = 0;
    for (const auto& [width, count] : counts) {
        if (count > bestCount || (count == bestCount && width > best)) {
            best = width;
            bestCount = count;
        }
    }
    return best;
}

// Reads the rows of a layout with a complete mapping.
class RowReader
{
public:
    RowReader(const CsvLayout& layout, const Mapping& mapping, StatementReading& out)
        : layout_(layout)
        , mapping_(mapping)
        , columns_(*mapping.columns)
        , out_(out)
    {
    }

    std::string fieldName(int column) const
    {
        const auto c = static_cast<std::size_t>(column);
        if (layout_.header && c < layout_.titles.size() && !trimWhite(layout_.titles[c]).empty())
            return std::string(trimWhite(layout_.titles[c]));
        return "column " + std::to_string(column + 1);
    }

    std::string_view field(const CsvRecord& record, int column) const
    {
        if (column < 0 || static_cast<std::size_t>(column) >= record.fields.size())
            return {};
        return trimWhite(record.fields[static_cast<std::size_t>(column)]);
    }

    bool fail(const CsvRecord& record, int column, std::string what)
    {
        out_.error
            = "line " + std::to_string(record.line) + (column >= 0 ? ", " + fieldName(column) : "") + ": " + what;
        out_.errorLine = record.line;
        return false;
    }

    // Where the rows end: before the totals at the bottom, if any.
    std::size_t endOfRows() const
    {
        std::size_t end = layout_.table.records.size();
        while (end > layout_.firstRow) {
            const CsvRecord& record = layout_.table.records[end - 1];
            if (isEmptyRecord(record)) {
                --end;
                continue;
            }
            if (possibleDateOrders(field(record, columns_.date)) != 0)
                break;
            bool total = widthWithoutEmptyEnd(record.fields) < layout_.width;
            for (const std::string& f : record.fields) {
                const std::string folded = foldLatin(trimWhite(f));
                for (std::string_view word : totalWords)
                    total = total || folded.starts_with(word);
            }
            bool amounts = false;
            for (int c : {columns_.amount, columns_.debit, columns_.credit})
                amounts = amounts || (c >= 0 && !isBlankAmount(field(record, c)));
            if (!total && amounts)
                break;
            --end;
        }
        return end;
    }

    // The order of the dates, from the mapping or from every row's date; false
    // when the rows cannot be read or the order must be asked.
    bool settleDateOrder(std::size_t end)
    {
        if (mapping_.dateOrder) {
            order_ = *mapping_.dateOrder;
            return true;
        }
        DateOrders orders = allDateOrders;
        for (std::size_t i = layout_.firstRow; i < end; ++i) {
            const CsvRecord& record = layout_.table.records[i];
            if (isEmptyRecord(record))
                continue;
            const std::string_view value = field(record, columns_.date);
            const DateOrders these = possibleDateOrders(value);
            if (these == 0)
                return fail(
                    record, columns_.date, value.empty() ? "there is no date" : quoted(value) + " is not a date");
            if ((orders & these) == 0)
                return fail(
                    record, columns_.date, quoted(value) + " is not written in the order of the dates above it");
            orders &= these;
        }
        out_.dateOrders = orders;
        for (NumericDateOrder order :
             {NumericDateOrder::YearMonthDay, NumericDateOrder::MonthDayYear, NumericDateOrder::DayMonthYear}) {
            if (orders == orderBit(order)) {
                order_ = order;
                out_.mapping.dateOrder = order;
                return true;
            }
        }
        out_.questions.push_back(Question::DateOrder);
        return false;
    }

    bool amountIn(const CsvRecord& record, int column, std::optional<Amount>& amount, bool blankAllowed)
    {
        const std::string_view value = field(record, column);
        if (blankAllowed && isBlankAmount(value))
            return true;
        std::string problem;
        amount = parseAmount(value, layout_.mark, &problem);
        if (!amount)
            return fail(record,
                        column,
                        value.empty() ? "there is no amount" : quoted(value) + " is not an amount (" + problem + ")");
        return true;
    }

    bool readRow(const CsvRecord& record, Transaction& t)
    {
        const std::size_t width = widthWithoutEmptyEnd(record.fields);
        if (record.fields.size() < layout_.width || width > layout_.width) {
            return fail(record,
                        -1,
                        "it has " + std::to_string(record.fields.size()) + " fields where "
                            + (layout_.header ? "the titles have " : "the rows have ") + std::to_string(layout_.width));
        }
        t.line = record.line;
        const std::string_view dateText = field(record, columns_.date);
        const auto date = parseDate(dateText, order_);
        if (!date) {
            return fail(record,
                        columns_.date,
                        dateText.empty() ? "there is no date"
                                         : quoted(dateText) + " is not a date written "
                                + std::string(order_ == NumericDateOrder::YearMonthDay       ? "year, month, day"
                                                  : order_ == NumericDateOrder::MonthDayYear ? "month, day, year"
                                                                                             : "day, month, year"));
        }
        t.date = *date;

        std::optional<Amount> amount;
        if (columns_.amount >= 0) {
            if (!amountIn(record, columns_.amount, amount, false))
                return false;
            if (columns_.indicator >= 0) {
                const std::string_view word = field(record, columns_.indicator);
                const auto debit = indicatorSaysDebit(word);
                if (!debit)
                    return fail(record, columns_.indicator, quoted(word) + " says neither debit nor credit");
                amount = *debit ? amount->magnitude().negated() : amount->magnitude();
            }
        } else {
            std::optional<Amount> debit;
            std::optional<Amount> credit;
            if (!amountIn(record, columns_.debit, debit, true) || !amountIn(record, columns_.credit, credit, true))
                return false;
            const bool hasDebit = debit && debit->units != 0;
            const bool hasCredit = credit && credit->units != 0;
            if (hasDebit && hasCredit)
                return fail(record,
                            -1,
                            fieldName(columns_.debit) + " and " + fieldName(columns_.credit) + " both hold an amount");
            if (!debit && !credit)
                return fail(record,
                            -1,
                            "neither " + fieldName(columns_.debit) + " nor " + fieldName(columns_.credit)
                                + " holds an amount");
            amount = hasDebit || !credit ? debit->magnitude().negated() : credit->magnitude();
        }
        t.amount = mapping_.reversed.value_or(false) ? amount->negated() : *amount;

        if (columns_.balance >= 0) {
            std::optional<Amount> balance;
            if (!amountIn(record, columns_.balance, balance, true))
                return false;
            balances_.push_back(balance);
        }
        t.payee = field(record, columns_.payee);
        t.memo = field(record, columns_.memo);
        t.checkNumber = field(record, columns_.check);
        t.bankId = field(record, columns_.id);
        return true;
    }

    void read()
    {
        const std::size_t end = endOfRows();
        if (!settleDateOrder(end))
            return;
        BankStatement statement;
        for (std::size_t i = layout_.firstRow; i < end; ++i) {
            const CsvRecord& record = layout_.table.records[i];
            if (isEmptyRecord(record))
                continue;
            Transaction t;
            if (!readRow(record, t))
                return;
            statement.transactions.push_back(std::move(t));
        }
        if (statement.transactions.empty()) {
            out_.error = "it holds no transactions";
            return;
        }
        setBalance(statement);
        statement.accountId = *mapping_.accountId;
        statement.accountType = mapping_.accountType.value_or(AccountType::Checking);
        statement.currency = mapping_.currency.value_or("USD");
        assignFitids(statement);
        out_.statements.push_back(std::move(statement));
    }

private:
    // The balance after the latest row: of the rows of the latest day, the last
    // one in the file's own order of time, which runs down the file or up it.
    void setBalance(BankStatement& statement) const
    {
        const auto& rows = statement.transactions;
        if (balances_.size() != rows.size())
            return;
        const bool newestFirst = rows.front().date > rows.back().date;
        Date latest = rows.front().date;
        for (const Transaction& t : rows)
            latest = std::max(latest, t.date);
        std::optional<std::size_t> pick;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].date == latest && balances_[i] && (!pick || !newestFirst))
                pick = i;
        }
        if (pick) {
            statement.ledgerBalance = *balances_[*pick];
            statement.balanceDate = latest;
        }
    }

    const CsvLayout& layout_;
    const Mapping& mapping_;
    const ColumnMap& columns_;
    StatementReading& out_;
    NumericDateOrder order_ = NumericDateOrder::YearMonthDay;
    std::vector<std::optional<Amount>> balances_;
};

} // namespace

CsvLayout readCsvLayout(std::string_view bytes)
{
    CsvLayout layout;
    layout.table = readCsv(bytes);
    if (!layout.table.error.empty()) {
        layout.error = layout.table.error;
        layout.errorLine = layout.table.errorLine;
        return layout;
    }
    const std::vector<CsvRecord>& records = layout.table.records;
    for (std::size_t i = 0; i < records.size() && i < headerSearch && !layout.header; ++i) {
        if (isTitleLine(records[i]))
            layout.header = i;
    }
    if (layout.header) {
        layout.firstRow = *layout.header + 1;
        layout.width = widthWithoutEmptyEnd(records[*layout.header].fields);
    } else {
        std::size_t first = 0;
        while (first < records.size() && !hasDateAndAmount(records[first]))
            ++first;
        if (first == records.size()) {
            layout.error = "no line of it holds a date and an amount";
            return layout;
        }
        layout.firstRow = first;
        // Titles in a language not read here still stand above the first row.
        if (first > 0 && !hasDate(records[first - 1]) && records[first - 1].fields.size() >= 2)
            layout.header = first - 1;
        layout.width
            = layout.header ? widthWithoutEmptyEnd(records[*layout.header].fields) : commonWidth(records, first);
    }
    if (layout.header)
        layout.titles = records[*layout.header].fields;
    layout.titles.resize(layout.width);
    for (std::size_t c = 0; c < layout.width; ++c) {
        layout.titles[c] = std::string(trimWhite(layout.titles[c]));
        if (!layout.header)
            layout.titles[c] = "Column " + std::to_string(c + 1);
    }

    if (std::none_of(records.begin() + static_cast<std::ptrdiff_t>(layout.firstRow), records.end(), hasDate)) {
        layout.error = "it holds no transactions";
        return layout;
    }
    TableRows sample;
    DecimalMarkVotes votes;
    for (std::size_t i = layout.firstRow; i < records.size() && sample.size() < detectionSample; ++i) {
        if (!hasDate(records[i]))
            continue;
        sample.push_back(&records[i].fields);
        for (const std::string& field : records[i].fields) {
            if (possibleDateOrders(field) == 0 && isAnyAmount(field))
                votes.add(field);
        }
    }
    layout.mark = votes.mark();
    layout.detected = detectColumns(layout.header ? layout.titles : std::vector<std::string>(), sample, layout.mark);
    return layout;
}

std::string csvLayoutKey(const CsvLayout& layout)
{
    if (!layout.header)
        return "(" + std::to_string(layout.width) + " columns without titles)";
    std::string key;
    for (std::size_t c = 0; c < layout.titles.size(); ++c) {
        if (c > 0)
            key.push_back(',');
        key.append(layout.titles[c]);
    }
    return key;
}

StatementReading readCsvStatement(const CsvLayout& layout, const Mapping& given)
{
    StatementReading out;
    Mapping found;
    if (layout.error.empty()) {
        found.columns = layout.detected.columns;
        if (layout.detected.currency)
            found.currency = layout.detected.currency;
        if (layout.detected.accountId)
            found.accountId = layout.detected.accountId;
        if (layout.detected.cardAccount)
            found.accountType = AccountType::CreditCard;
    }
    out.mapping = overlaid(found, given);
    if (!layout.error.empty()) {
        out.error
            = layout.errorLine > 0 ? "line " + std::to_string(layout.errorLine) + ": " + layout.error : layout.error;
        out.errorLine = layout.errorLine;
        return out;
    }
    const ColumnMap& columns = *out.mapping.columns;
    for (ColumnRole role : allColumnRoles) {
        if (columns[role] >= static_cast<int>(layout.width)) {
            out.error = std::string(columnRoleWord(role)) + "=" + std::to_string(columns[role] + 1) + ": it has only "
                + std::to_string(layout.width) + " columns";
            return out;
        }
    }
    if (!columns.complete() || (!given.columns && !layout.detected.certain))
        out.questions.push_back(Question::Columns);
    if (!out.mapping.accountId || out.mapping.accountId->empty())
        out.questions.push_back(Question::AccountId);
    if (!columns.complete())
        return out;
    // The rows are read even when something is left to ask, so that a row that
    // cannot be read is told at once and the date order is settled or asked;
    // they are kept only when nothing is.
    Mapping applied = out.mapping;
    applied.accountId = applied.accountId.value_or("");
    RowReader(layout, applied, out).read();
    if (!out.complete())
        out.statements.clear();
    return out;
}

} // namespace scrivane
