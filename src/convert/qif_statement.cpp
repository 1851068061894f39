#include "qif_statement.h"

#include "csv/text_decoding.h"
#include "fitid.h"
#include "text_fold.h"

namespace scrivane {

namespace {

// Account types whose records are bank transactions.
constexpr std::string_view accountTypes[] = {"bank", "ccard", "cash", "oth a", "oth l"};
// Lists that a QIF file may carry beside its accounts.
constexpr std::string_view listTypes[] = {
    "cat",
    "class",
    "memorized",
    "security",
    "prices",
    "bill",
    "invoice",
    "template",
    "budget",
};

std::string quoted(std::string_view value)
{
    return "\"" + std::string(value) + "\"";
}

// Lines of the text with their numbers; CR LF, LF and CR all end a line.
class Lines
{
public:
    explicit Lines(std::string_view text)
        : text_(text)
    {
    }

    bool next(std::string_view& line)
    {
        if (at_ >= text_.size())
            return false;
        std::size_t end = at_;
        while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n')
            ++end;
        line = text_.substr(at_, end - at_);
        if (end < text_.size() && text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n')
            ++end;
        at_ = end + 1;
        ++number_;
        return true;
    }

    std::size_t number() const { return number_; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t number_ = 0;
};

class QifParser
{
public:
    explicit QifParser(QifLayout& out)
        : out_(out)
    {
    }

    void parse(std::string_view text)
    {
        Lines lines(text);
        std::string_view line;
        while (lines.next(line)) {
            line = trimWhite(line);
            if (line.empty())
                continue;
            if (!take(line, lines.number()))
                return;
        }
        // The last record may lack its "^".
        if (open_ && block_ == Block::Transactions && checkRecord())
            finishRecord();
    }

private:
    enum class Block { None, Transactions, AccountBlock, AccountList, List };

    bool fail(std::size_t line, std::string what)
    {
        out_.error = "line " + std::to_string(line) + ": " + what;
        out_.errorLine = line;
        return false;
    }

    bool header(std::string_view line, std::size_t number)
    {
        const std::string folded = foldLatin(line);
        if (folded == "!option:autoswitch") {
            autoSwitch_ = true;
            return true;
        }
        if (folded == "!clear:autoswitch") {
            autoSwitch_ = false;
            return true;
        }
        if (folded.starts_with("!option:") || folded.starts_with("!clear:"))
            return true;
        if (folded == "!account") {
            block_ = autoSwitch_ ? Block::AccountList : Block::AccountBlock;
            return true;
        }
        if (!folded.starts_with("!type:"))
            return fail(number, quoted(line) + " is not a QIF header this reads");
        std::string type = std::string(trimWhite(folded.substr(6)));
        for (std::string_view list : listTypes) {
            if (type == list) {
                block_ = Block::List;
                return true;
            }
        }
        if (type == "invst")
            return fail(number, "investment accounts (!Type:Invst) have no place in a bank statement");
        bool known = false;
        for (std::string_view t : accountTypes)
            known = known || type == t;
        if (!known)
            return fail(number, quoted(line) + " is not a kind of account this reads");
        const std::string written(trimWhite(line.substr(6)));
        // A "!Type:" line after an "!Account" block starts that account; one
        // that repeats the type of the account before it goes on with it.
        if (pendingAccount_ || out_.accounts.empty() || foldLatin(out_.accounts.back().type) != type) {
            QifAccount account;
            account.name = pendingAccount_ ? pendingName_ : std::string();
            account.type = written;
            out_.accounts.push_back(std::move(account));
        }
        pendingAccount_ = false;
        pendingName_.clear();
        block_ = Block::Transactions;
        return true;
    }

    void endRecord()
    {
        if (block_ == Block::Transactions && open_)
            finishRecord();
        open_ = false;
    }

    void finishRecord()
    {
        if (!record_.date.empty() || !record_.amount.empty() || !record_.payee.empty())
            out_.accounts.back().records.push_back(record_);
        record_ = QifRecord();
        open_ = false;
    }

    bool take(std::string_view line, std::size_t number)
    {
        if (line.front() == '!') {
            if (open_ && block_ == Block::Transactions && !checkRecord())
                return false;
            endRecord();
            return header(line, number);
        }
        const char code = line.front();
        const std::string_view value = trimWhite(line.substr(1));
        switch (block_) {
        case Block::None:
            return fail(number, "a record stands before any !Type line");
        case Block::List:
        case Block::AccountList:
            return true;
        case Block::AccountBlock:
            if (code == 'N')
                pendingName_ = value;
            else if (code == '^')
                pendingAccount_ = true;
            return true;
        case Block::Transactions:
            break;
        }
        if (!open_) {
            record_ = QifRecord();
            record_.line = number;
            open_ = true;
        }
        switch (code) {
        case 'D':
            record_.date = value;
            record_.dateLine = number;
            break;
        case 'T':
            record_.amount = value;
            record_.amountLine = number;
            break;
        case 'U':
            if (record_.amountLine == 0 || record_.amount.empty()) {
                record_.amount = value;
                record_.amountLine = number;
            }
            break;
        case 'P':
            record_.payee = value;
            break;
        case 'M':
            record_.memo = value;
            break;
        case 'N':
            record_.number = value;
            break;
        case '^':
            if (!checkRecord())
                return false;
            finishRecord();
            break;
        default:
            // Categories, splits, cleared marks, addresses: nothing a bank
            // statement carries.
            break;
        }
        return true;
    }

    bool checkRecord()
    {
        const bool empty = record_.date.empty() && record_.amount.empty() && record_.payee.empty();
        if (empty)
            return true;
        if (record_.date.empty())
            return fail(record_.line, "the record has no date (D line)");
        if (record_.amount.empty())
            return fail(record_.line, "the record has no amount (T line)");
        return true;
    }

    QifLayout& out_;
    Block block_ = Block::None;
    bool autoSwitch_ = false;
    bool pendingAccount_ = false;
    std::string pendingName_;
    QifRecord record_;
    bool open_ = false;
};

} // namespace

QifLayout readQifLayout(std::string_view bytes)
{
    QifLayout layout;
    const DecodedText text = decodeText(bytes);
    QifParser(layout).parse(text.utf8);
    if (!layout.error.empty()) {
        layout.accounts.clear();
        return layout;
    }
    DecimalMarkVotes votes;
    for (const QifAccount& account : layout.accounts) {
        for (const QifRecord& r : account.records)
            votes.add(r.amount);
    }
    layout.mark = votes.mark();
    return layout;
}

std::string qifLayoutKey(const QifLayout& layout)
{
    std::string key = "QIF";
    for (const QifAccount& account : layout.accounts)
        key += " " + account.type + (account.name.empty() ? "" : ":" + account.name);
    return key;
}

StatementReading readQifStatement(const QifLayout& layout, const Mapping& given)
{
    StatementReading out;
    out.mapping = given;
    if (!layout.error.empty()) {
        out.error = layout.error;
        out.errorLine = layout.errorLine;
        return out;
    }
    // One order for every date of the file.
    DateOrders orders = allDateOrders;
    for (const QifAccount& account : layout.accounts) {
        for (const QifRecord& r : account.records) {
            const DateOrders these = possibleDateOrders(r.date);
            if (these == 0 || (!given.dateOrder && (orders & these) == 0)) {
                out.error = "line " + std::to_string(r.dateLine) + ", date: " + quoted(r.date)
                    + (these == 0 ? " is not a date" : " is not written in the order of the dates above it");
                out.errorLine = r.dateLine;
                return out;
            }
            orders &= these;
        }
    }
    out.dateOrders = orders;
    std::optional<NumericDateOrder> order = given.dateOrder;
    for (NumericDateOrder o :
         {NumericDateOrder::YearMonthDay, NumericDateOrder::MonthDayYear, NumericDateOrder::DayMonthYear}) {
        if (!order && orders == orderBit(o))
            order = o;
    }
    out.mapping.dateOrder = order;
    if (!order)
        out.questions.push_back(Question::DateOrder);

    std::size_t used = 0;
    for (const QifAccount& account : layout.accounts)
        used += account.records.empty() ? 0 : 1;
    bool unnamed = false;
    for (const QifAccount& account : layout.accounts) {
        if (account.records.empty())
            continue;
        BankStatement statement;
        const bool ccard = foldLatin(account.type) == "ccard";
        statement.accountType = ccard ? AccountType::CreditCard : AccountType::Checking;
        statement.accountId = account.name;
        if (used == 1) {
            if (given.accountId && !given.accountId->empty())
                statement.accountId = *given.accountId;
            if (given.accountType)
                statement.accountType = *given.accountType;
            out.mapping.accountId = statement.accountId;
            out.mapping.accountType = statement.accountType;
        }
        unnamed = unnamed || statement.accountId.empty();
        statement.currency = given.currency.value_or("USD");
        for (const QifRecord& r : account.records) {
            Transaction t;
            t.line = r.line;
            if (order) {
                const auto date = parseDate(r.date, *order);
                if (!date) {
                    out.error = "line " + std::to_string(r.dateLine) + ", date: " + quoted(r.date)
                        + " is not a date written in the order " + std::string(dateOrderWord(*order));
                    out.errorLine = r.dateLine;
                    out.statements.clear();
                    return out;
                }
                t.date = *date;
            }
            std::string problem;
            const auto amount = parseAmount(r.amount, layout.mark, &problem);
            if (!amount) {
                out.error = "line " + std::to_string(r.amountLine) + ", amount: " + quoted(r.amount)
                    + " is not an amount (" + problem + ")";
                out.errorLine = r.amountLine;
                out.statements.clear();
                return out;
            }
            t.amount = given.reversed.value_or(false) ? amount->negated() : *amount;
            t.payee = r.payee;
            t.memo = r.memo;
            t.checkNumber = r.number;
            statement.transactions.push_back(std::move(t));
        }
        out.statements.push_back(std::move(statement));
    }
    if (out.statements.empty()) {
        out.error = "it holds no transactions";
        return out;
    }
    if (unnamed)
        out.questions.push_back(Question::AccountId);
    if (!out.complete()) {
        out.statements.clear();
        return out;
    }
    for (BankStatement& statement : out.statements)
        assignFitids(statement);
    return out;
}

} // namespace scrivane
