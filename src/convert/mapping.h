#pragma once

#include "date.h"

#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// What a column of a bank's table holds. The amount comes from one signed
// column, from a debit and a credit column, or from one column and an indicator
// saying debit or credit.
enum class ColumnRole { Date, Payee, Amount, Debit, Credit, Indicator, Memo, Check, Id, Balance };
inline constexpr ColumnRole allColumnRoles[] = {
    ColumnRole::Date,
    ColumnRole::Payee,
    ColumnRole::Amount,
    ColumnRole::Debit,
    ColumnRole::Credit,
    ColumnRole::Indicator,
    ColumnRole::Memo,
    ColumnRole::Check,
    ColumnRole::Id,
    ColumnRole::Balance,
};

// "date", "payee", ...: the word for a role in settings and on the command line.
std::string_view columnRoleWord(ColumnRole role);

// Which column (from 0) holds each role; -1 for none.
struct ColumnMap
{
    int date = -1;
    int payee = -1;
    int amount = -1;
    int debit = -1;
    int credit = -1;
    int indicator = -1;
    int memo = -1;
    int check = -1;
    int id = -1;
    int balance = -1;

    int& operator[](ColumnRole role);
    int operator[](ColumnRole role) const;
    bool operator==(const ColumnMap&) const = default;

    // Date, payee and an amount in one of its three forms.
    bool complete() const;
    // The roles of column c, for showing; none when it holds nothing of use.
    std::optional<ColumnRole> roleOf(int column) const;
};

enum class AccountType { Checking, Savings, MoneyMarket, CreditCard };

// "checking", "savings", "moneymrkt", "creditcard".
std::string_view accountTypeWord(AccountType type);
std::optional<AccountType> accountTypeFromWord(std::string_view word);

// How a statement is to be read: what the user, a stored profile or the
// command line said. Every part may be left open, to be found in the file.
struct Mapping
{
    std::optional<ColumnMap> columns;
    std::optional<NumericDateOrder> dateOrder;
    // Whether positive amounts are money going out, as many card issuers write them.
    std::optional<bool> reversed;
    std::optional<std::string> accountId;
    std::optional<AccountType> accountType;
    std::optional<std::string> currency; // ISO 4217, "USD"

    bool operator==(const Mapping&) const = default;
};

// The parts given in over, and the rest from base.
Mapping overlaid(const Mapping& base, const Mapping& over);

// The mapping in one line of text, as settings keep it:
// "date=1,payee=5,amount=6,order=dmy,sign=reversed,account=1234,type=checking,currency=EUR",
// with columns counted from 1 as the command line counts them; an open part is
// left out. The account id keeps any character: ",", "=", "%" and control
// characters are written as "%" and two hexadecimal digits.
std::string mappingText(const Mapping& mapping);

// Reads mappingText's form back; nothing, and problem set, for anything else.
std::optional<Mapping> mappingFromText(std::string_view text, std::string* problem = nullptr);

// The column part alone, as --map gives it: "date=1,payee=3,debit=4,credit=5".
// Only columns may be named, each at most once, and no column twice.
std::optional<ColumnMap> columnsFromText(std::string_view text, std::string* problem = nullptr);

} // namespace scrivane
