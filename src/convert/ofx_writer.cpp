#include "ofx_writer.h"

#include "statement/utf8.h"
#include "statement/windows1252.h"

#include <algorithm>

namespace scrivane {

namespace {

// A value as OFX may carry it: one line, no control characters, spaces trimmed,
// in UTF-8 (a byte that is not UTF-8 becomes U+FFFD).
std::string cleanValue(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        Utf8Char c = decodeUtf8(utf8.substr(at));
        if (c.length == 0)
            c = {0xFFFD, 1};
        at += c.length;
        const bool control = c.code < 0x20 || c.code == 0x7F || (c.code >= 0x80 && c.code < 0xA0);
        appendUtf8(out, control ? U' ' : c.code);
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

// Cuts clean UTF-8 text to at most length characters, and the spaces at the cut.
std::string cut(std::string text, std::size_t length, bool* wasCut = nullptr)
{
    std::size_t at = 0;
    for (std::size_t n = 0; n < length && at < text.size(); ++n)
        at += decodeUtf8(std::string_view(text).substr(at)).length;
    if (wasCut)
        *wasCut = at < text.size();
    if (at >= text.size())
        return text;
    text.resize(at);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

bool fitsWindows1252(std::string_view utf8)
{
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8.substr(at));
        if (!toWindows1252(c.code))
            return false;
        at += c.length;
    }
    return true;
}

class Writer
{
public:
    explicit Writer(bool windows1252)
        : windows1252_(windows1252)
    {
    }

    void line(std::string_view text)
    {
        out_.append(text);
        out_.append("\r\n");
    }

    // A value of the program's own, plain ASCII.
    void element(std::string_view tag, std::string_view value)
    {
        out_.push_back('<');
        out_.append(tag);
        out_.push_back('>');
        out_.append(value);
        out_.append("\r\n");
    }

    // A value from the file, clean UTF-8: escaped, in the file's character set.
    void text(std::string_view tag, std::string_view utf8)
    {
        out_.push_back('<');
        out_.append(tag);
        out_.push_back('>');
        for (std::size_t at = 0; at < utf8.size();) {
            const Utf8Char c = decodeUtf8(utf8.substr(at));
            if (c.code == U'&')
                out_.append("&amp;");
            else if (c.code == U'<')
                out_.append("&lt;");
            else if (c.code == U'>')
                out_.append("&gt;");
            else if (windows1252_ && c.code >= 0x80)
                out_.push_back(*toWindows1252(c.code));
            else
                out_.append(utf8.substr(at, c.length));
            at += c.length;
        }
        out_.append("\r\n");
    }

    void reserve(std::size_t bytes) { out_.reserve(bytes); }

    void status()
    {
        line("<STATUS>");
        element("CODE", "0");
        element("SEVERITY", "INFO");
        line("</STATUS>");
    }

    std::string take() { return std::move(out_); }

private:
    bool windows1252_;
    std::string out_;
};

std::string_view bankAccountType(AccountType type)
{
    switch (type) {
    case AccountType::Savings:
        return "SAVINGS";
    case AccountType::MoneyMarket:
        return "MONEYMRKT";
    case AccountType::Checking:
    case AccountType::CreditCard:
        break;
    }
    return "CHECKING";
}

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool fitsWindows1252(const WrittenRow& row)
{
    return fitsWindows1252(row.name) && fitsWindows1252(row.memo) && fitsWindows1252(row.refNumber)
        && fitsWindows1252(row.fitid);
}

void writeStatement(Writer& w, const BankStatement& statement)
{
    const bool card = statement.accountType == AccountType::CreditCard;
    w.line(card ? "<CCSTMTTRNRS>" : "<STMTTRNRS>");
    w.element("TRNUID", "0");
    w.status();
    w.line(card ? "<CCSTMTRS>" : "<STMTRS>");
    w.text("CURDEF", cleanValue(statement.currency));
    if (card) {
        w.line("<CCACCTFROM>");
        w.text("ACCTID", cleanValue(statement.accountId));
        w.line("</CCACCTFROM>");
    } else {
        w.line("<BANKACCTFROM>");
        w.element("BANKID", "000000000");
        w.text("ACCTID", cleanValue(statement.accountId));
        w.element("ACCTTYPE", bankAccountType(statement.accountType));
        w.line("</BANKACCTFROM>");
    }
    Date first = statement.transactions.front().date;
    Date last = first;
    for (const Transaction& t : statement.transactions) {
        first = std::min(first, t.date);
        last = std::max(last, t.date);
    }
    w.line("<BANKTRANLIST>");
    w.element("DTSTART", ofxDate(first));
    w.element("DTEND", ofxDate(last));
    for (const Transaction& t : statement.transactions) {
        // Made again rather than kept from the first pass, which would double
        // the memory a large statement takes.
        const WrittenRow row = writtenRow(t);
        w.line("<STMTTRN>");
        w.element("TRNTYPE", row.type);
        w.element("DTPOSTED", ofxDate(t.date));
        w.element("TRNAMT", ofxAmount(t.amount));
        w.text("FITID", row.fitid);
        if (!row.checkNumber.empty())
            w.text("CHECKNUM", row.checkNumber);
        if (!row.refNumber.empty())
            w.text("REFNUM", row.refNumber);
        if (!row.name.empty())
            w.text("NAME", row.name);
        if (!row.memo.empty())
            w.text("MEMO", row.memo);
        w.line("</STMTTRN>");
    }
    w.line("</BANKTRANLIST>");
    w.line("<LEDGERBAL>");
    w.element("BALAMT", ofxAmount(statement.ledgerBalance.value_or(Amount {})));
    w.element("DTASOF", ofxDate(statement.ledgerBalance ? statement.balanceDate : last));
    w.line("</LEDGERBAL>");
    w.line(card ? "</CCSTMTRS>" : "</STMTRS>");
    w.line(card ? "</CCSTMTTRNRS>" : "</STMTTRNRS>");
}

} // namespace

WrittenRow writtenRow(const Transaction& t)
{
    WrittenRow row;
    row.name = cleanValue(t.payee);
    row.memo = cleanValue(t.memo);
    row.fitid = cleanValue(t.fitid);
    bool nameCut = false;
    std::string name = cut(row.name, ofxNameLength, &nameCut);
    if (nameCut)
        row.memo = row.memo.empty() ? row.name : row.name + " - " + row.memo;
    row.name = std::move(name);
    row.memo = cut(std::move(row.memo), ofxMemoLength);
    std::string number = cleanValue(t.checkNumber);
    if (allDigits(number) && number.size() <= 12)
        row.checkNumber = std::move(number);
    else
        row.refNumber = cut(std::move(number), 32);
    row.type = !t.amount.negative() ? "CREDIT" : row.checkNumber.empty() ? "DEBIT" : "CHECK";
    return row;
}

std::string writeOfx(const std::vector<BankStatement>& statements)
{
    // Every value in its final form first, to know the character set and the size.
    bool windows1252 = true;
    Date latest;
    std::size_t bytes = 1000;
    for (const BankStatement& statement : statements) {
        windows1252 = windows1252 && fitsWindows1252(cleanValue(statement.accountId))
            && fitsWindows1252(cleanValue(statement.currency));
        for (const Transaction& t : statement.transactions) {
            const WrittenRow row = writtenRow(t);
            windows1252 = windows1252 && fitsWindows1252(row);
            latest = std::max(latest, t.date);
            bytes += 160 + row.name.size() + row.memo.size() + row.refNumber.size() + row.fitid.size();
        }
    }

    Writer w(windows1252);
    w.reserve(bytes);
    w.line("OFXHEADER:100");
    w.line("DATA:OFXSGML");
    w.line("VERSION:102");
    w.line("SECURITY:NONE");
    w.line(windows1252 ? "ENCODING:USASCII" : "ENCODING:UTF-8");
    w.line(windows1252 ? "CHARSET:1252" : "CHARSET:NONE");
    w.line("COMPRESSION:NONE");
    w.line("OLDFILEUID:NONE");
    w.line("NEWFILEUID:NONE");
    w.line("");
    w.line("<OFX>");
    w.line("<SIGNONMSGSRSV1>");
    w.line("<SONRS>");
    w.status();
    w.element("DTSERVER", ofxDate(latest));
    w.element("LANGUAGE", "ENG");
    w.line("</SONRS>");
    w.line("</SIGNONMSGSRSV1>");
    // Bank statements in one message set, card statements in the other.
    bool opened = false;
    bool cards = false;
    for (const std::size_t s : writtenOrder(statements)) {
        const bool card = statements[s].accountType == AccountType::CreditCard;
        if (opened && card != cards)
            w.line("</BANKMSGSRSV1>");
        if (!opened || card != cards)
            w.line(card ? "<CREDITCARDMSGSRSV1>" : "<BANKMSGSRSV1>");
        opened = true;
        cards = card;
        writeStatement(w, statements[s]);
    }
    if (opened)
        w.line(cards ? "</CREDITCARDMSGSRSV1>" : "</BANKMSGSRSV1>");
    w.line("</OFX>");
    return w.take();
}

std::vector<std::size_t> writtenOrder(const std::vector<BankStatement>& statements)
{
    std::vector<std::size_t> order;
    for (const bool card : {false, true}) {
        for (std::size_t s = 0; s < statements.size(); ++s) {
            if ((statements[s].accountType == AccountType::CreditCard) == card && !statements[s].transactions.empty())
                order.push_back(s);
        }
    }
    return order;
}

} // namespace scrivane
