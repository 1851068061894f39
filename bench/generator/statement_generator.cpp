#include "statement_generator.h"

#include "payee_names.h"
#include "rng.h"

#include <string>

namespace scrivane::gen {

namespace {

constexpr int statementYear = 2012;
constexpr int daysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct Date
{
    int month = 1;
    int day = 1;

    std::string text() const
    {
        char buffer[40]; // room for any int, which the compiler cannot rule out
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", statementYear, month, day);
        return buffer;
    }
};

// Day k of the statement's year, counted from 0 (a leap year of 366 days).
Date dayOfYear(long long k)
{
    Date d;
    int left = static_cast<int>(k % 366);
    while (left >= daysInMonth[d.month - 1]) {
        left -= daysInMonth[d.month - 1];
        ++d.month;
    }
    d.day = left + 1;
    return d;
}

std::string money(long long cents)
{
    char buffer[32];
    const long long whole = cents < 0 ? -cents : cents;
    std::snprintf(buffer, sizeof buffer, "%s%lld.%02lld", cents < 0 ? "-" : "", whole / 100, whole % 100);
    return buffer;
}

std::string number(long long n)
{
    return std::to_string(n);
}

class Generator
{
public:
    Generator(const StatementOptions& options, std::FILE* out)
        : o_(options)
        , rng_(options.seed)
        , w_(out, options.form)
    {
    }

    void run()
    {
        w_.header();
        w_.setPacked(o_.layout == Layout::Packed);
        w_.open("OFX");
        w_.lineBreak();
        signOn();
        switch (o_.kind) {
        case Kind::Bank:
            bank();
            break;
        case Kind::CreditCard:
            creditCard();
            break;
        case Kind::Investment:
            investment();
            break;
        }
        w_.close("OFX");
        w_.lineBreak();
        w_.flush();
    }

private:
    void status()
    {
        w_.open("STATUS");
        w_.leaf("CODE", "0");
        w_.leaf("SEVERITY", "INFO");
        w_.close("STATUS");
    }

    void signOn()
    {
        w_.open("SIGNONMSGSRSV1");
        w_.open("SONRS");
        status();
        w_.leaf("DTSERVER", "20130102120000");
        w_.leaf("LANGUAGE", "ENG");
        w_.open("FI");
        w_.leaf("ORG", "SCRIVANE TEST BANK");
        w_.leaf("FID", number(rng_.between(1000, 99999)));
        w_.close("FI");
        if (o_.bankId)
            w_.leaf("INTU.BID", number(rng_.between(1000, 99999)));
        w_.close("SONRS");
        w_.close("SIGNONMSGSRSV1");
        w_.lineBreak();
    }

    // Every transaction's line layout is decided before it is written.
    void chooseLayout()
    {
        if (o_.layout == Layout::Mixed)
            w_.setPacked(rng_.percent(50));
    }

    void restoreLayout()
    {
        w_.lineBreak();
        if (o_.layout == Layout::Mixed)
            w_.setPacked(false);
    }

    void name(std::string_view value)
    {
        if (o_.cdataNames && rng_.percent(25))
            w_.cdataLeaf("NAME", value);
        else
            w_.leaf("NAME", value);
    }

    Date dateOf(long long i) const { return dayOfYear(o_.count > 0 ? i * 366 / o_.count : 0); }

    // One <STMTTRN>, as bank and credit-card statements and the cash side of an
    // investment account write it. Returns the amount in cents.
    long long transaction(long long i, bool creditCard)
    {
        const Date date = dateOf(i);
        Payee payee = drawPayee(rng_, date.month, date.day, statementYear, o_.accents);
        while (creditCard && !payee.checkNumber.empty())
            payee = drawPayee(rng_, date.month, date.day, statementYear, o_.accents);
        if (creditCard)
            payee.transactionType = payee.amountSign < 0 ? "DEBIT" : "CREDIT";
        const long long cents = payee.amountSign * rng_.between(100, payee.amountSign > 0 ? 400000 : 25000);

        w_.open("STMTTRN");
        w_.leaf("TRNTYPE", payee.transactionType);
        w_.leaf("DTPOSTED", date.text() + (rng_.percent(50) ? "120000.000[-5:EST]" : "120000"));
        w_.leaf("TRNAMT", money(cents));
        w_.leaf("FITID", date.text() + number(1000000 + i));
        if (!payee.checkNumber.empty())
            w_.leaf("CHECKNUM", payee.checkNumber);
        name(payee.name);
        if (std::string memo = drawMemo(rng_); !memo.empty())
            w_.leaf("MEMO", memo);
        w_.close("STMTTRN");
        return cents;
    }

    void transactionList(bool creditCard, long long& balance)
    {
        w_.open("BANKTRANLIST");
        w_.leaf("DTSTART", "20120101");
        w_.leaf("DTEND", "20121231");
        w_.lineBreak();
        for (long long i = 0; i < o_.count; ++i) {
            chooseLayout();
            balance += transaction(i, creditCard);
            restoreLayout();
        }
        w_.close("BANKTRANLIST");
    }

    void balances(long long balance)
    {
        w_.open("LEDGERBAL");
        w_.leaf("BALAMT", money(balance));
        w_.leaf("DTASOF", "20121231");
        w_.close("LEDGERBAL");
        w_.open("AVAILBAL");
        w_.leaf("BALAMT", money(balance));
        w_.leaf("DTASOF", "20121231");
        w_.close("AVAILBAL");
    }

    void responseStart(std::string_view transactionResponse)
    {
        w_.open(transactionResponse);
        w_.leaf("TRNUID", number(rng_.between(1000, 9999)));
        status();
    }

    void bank()
    {
        w_.open("BANKMSGSRSV1");
        responseStart("STMTTRNRS");
        w_.open("STMTRS");
        w_.leaf("CURDEF", "USD");
        w_.open("BANKACCTFROM");
        w_.leaf("BANKID", number(rng_.between(100000000, 999999999)));
        w_.leaf("ACCTID", number(rng_.between(10000000, 99999999)));
        w_.leaf("ACCTTYPE", "CHECKING");
        w_.close("BANKACCTFROM");
        w_.lineBreak();
        long long balance = rng_.between(100000, 900000);
        transactionList(false, balance);
        balances(balance);
        w_.close("STMTRS");
        w_.close("STMTTRNRS");
        w_.close("BANKMSGSRSV1");
        w_.lineBreak();
    }

    void creditCard()
    {
        w_.open("CREDITCARDMSGSRSV1");
        responseStart("CCSTMTTRNRS");
        w_.open("CCSTMTRS");
        w_.leaf("CURDEF", "USD");
        w_.open("CCACCTFROM");
        w_.leaf("ACCTID", "4" + number(rng_.between(100000000000000, 999999999999999)));
        w_.close("CCACCTFROM");
        w_.lineBreak();
        long long balance = -rng_.between(0, 200000);
        transactionList(true, balance);
        balances(balance);
        w_.close("CCSTMTRS");
        w_.close("CCSTMTTRNRS");
        w_.close("CREDITCARDMSGSRSV1");
        w_.lineBreak();
    }

    struct Security
    {
        const char* cusip;
        const char* name;
        const char* ticker;
    };

    static constexpr Security securities[] = {{"037833100", "APPLE INC", "AAPL"},
                                              {"594918104", "MICROSOFT CORP", "MSFT"},
                                              {"922908769", "VANGUARD TOTAL STOCK MARKET ETF", "VTI"},
                                              {"46625H100", "JPMORGAN CHASE & CO", "JPM"}};

    void securityId(const Security& s)
    {
        w_.open("SECID");
        w_.leaf("UNIQUEID", s.cusip);
        w_.leaf("UNIQUEIDTYPE", "CUSIP");
        w_.close("SECID");
    }

    void investmentTransaction(long long i)
    {
        const Security& s = rng_.pick(securities);
        const std::string date = dateOf(i).text();
        const long long units = rng_.between(1, 200);
        const long long price = rng_.between(1000, 60000);
        const auto invTran = [&](std::string_view memo) {
            w_.open("INVTRAN");
            w_.leaf("FITID", date + number(2000000 + i));
            w_.leaf("DTTRADE", date);
            if (!memo.empty())
                w_.leaf("MEMO", memo);
            w_.close("INVTRAN");
        };
        switch (rng_.below(3)) {
        case 0:
            w_.open("BUYSTOCK");
            w_.open("INVBUY");
            invTran("BUY " + std::string(s.ticker));
            securityId(s);
            w_.leaf("UNITS", number(units));
            w_.leaf("UNITPRICE", money(price));
            w_.leaf("COMMISSION", "4.95");
            w_.leaf("TOTAL", money(-(units * price + 495)));
            w_.leaf("SUBACCTSEC", "CASH");
            w_.leaf("SUBACCTFUND", "CASH");
            w_.close("INVBUY");
            w_.leaf("BUYTYPE", "BUY");
            w_.close("BUYSTOCK");
            break;
        case 1:
            w_.open("SELLSTOCK");
            w_.open("INVSELL");
            invTran("");
            securityId(s);
            w_.leaf("UNITS", number(-units));
            w_.leaf("UNITPRICE", money(price));
            w_.leaf("TOTAL", money(units * price));
            w_.leaf("SUBACCTSEC", "CASH");
            w_.leaf("SUBACCTFUND", "CASH");
            w_.close("INVSELL");
            w_.leaf("SELLTYPE", "SELL");
            w_.close("SELLSTOCK");
            break;
        default:
            w_.open("INCOME");
            invTran("DIVIDEND " + std::string(s.ticker));
            securityId(s);
            w_.leaf("INCOMETYPE", "DIV");
            w_.leaf("TOTAL", money(rng_.between(100, 50000)));
            w_.leaf("SUBACCTSEC", "CASH");
            w_.leaf("SUBACCTFUND", "CASH");
            w_.close("INCOME");
            break;
        }
    }

    void investment()
    {
        w_.open("INVSTMTMSGSRSV1");
        responseStart("INVSTMTTRNRS");
        w_.open("INVSTMTRS");
        w_.leaf("DTASOF", "20121231");
        w_.leaf("CURDEF", "USD");
        w_.open("INVACCTFROM");
        w_.leaf("BROKERID", "scrivane.example.com");
        w_.leaf("ACCTID", number(rng_.between(10000000, 99999999)));
        w_.close("INVACCTFROM");
        w_.lineBreak();
        w_.open("INVTRANLIST");
        w_.leaf("DTSTART", "20120101");
        w_.leaf("DTEND", "20121231");
        w_.lineBreak();
        // The format wants the trades before the cash transactions; a quarter of
        // the entries are trades, the rest carry payee names.
        const long long trades = o_.count / 4;
        for (long long i = 0; i < trades; ++i) {
            chooseLayout();
            investmentTransaction(i);
            restoreLayout();
        }
        long long cash = rng_.between(100000, 900000);
        for (long long i = trades; i < o_.count; ++i) {
            chooseLayout();
            w_.open("INVBANKTRAN");
            cash += transaction(i, false);
            w_.leaf("SUBACCTFUND", "CASH");
            w_.close("INVBANKTRAN");
            restoreLayout();
        }
        w_.close("INVTRANLIST");
        w_.open("INVBAL");
        w_.leaf("AVAILCASH", money(cash));
        w_.leaf("MARGINBALANCE", "0.00");
        w_.leaf("SHORTBALANCE", "0.00");
        w_.open("BALLIST");
        for (const char* balance : {"ENDING CASH", "STOCK VALUE"}) {
            w_.open("BAL");
            w_.leaf("NAME", balance);
            w_.leaf("DESC", std::string(balance) + " BALANCE");
            w_.leaf("BALTYPE", "DOLLAR");
            w_.leaf("VALUE", money(rng_.between(0, 10000000)));
            w_.close("BAL");
        }
        w_.close("BALLIST");
        w_.close("INVBAL");
        w_.close("INVSTMTRS");
        w_.close("INVSTMTTRNRS");
        w_.close("INVSTMTMSGSRSV1");
        w_.lineBreak();
        w_.open("SECLISTMSGSRSV1");
        w_.open("SECLIST");
        for (const Security& s : securities) {
            w_.open("STOCKINFO");
            w_.open("SECINFO");
            securityId(s);
            w_.leaf("SECNAME", s.name);
            w_.leaf("TICKER", s.ticker);
            w_.close("SECINFO");
            w_.close("STOCKINFO");
        }
        w_.close("SECLIST");
        w_.close("SECLISTMSGSRSV1");
        w_.lineBreak();
    }

    const StatementOptions& o_;
    Rng rng_;
    OfxWriter w_;
};

} // namespace

void writeStatement(const StatementOptions& options, std::FILE* out)
{
    Generator(options, out).run();
}

} // namespace scrivane::gen
