#pragma once

#include "amount.h"
#include "bank_statement.h"

#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// One QIF record as written: its fields unread.
struct QifRecord
{
    std::size_t line = 0; // where the record begins
    std::size_t dateLine = 0;
    std::size_t amountLine = 0;
    std::string date; // D
    std::string amount; // T, or U where there is no T
    std::string payee; // P
    std::string memo; // M
    std::string number; // N: a check number, or a reference
};

// The records of one account: those after one "!Type:" line, or after an
// "!Account" block and its "!Type:" line.
struct QifAccount
{
    std::string name; // from the "!Account" block; may be empty
    std::string type; // "Bank", "CCard", "Cash", "Oth A", "Oth L"
    std::vector<QifRecord> records;
};

struct QifLayout
{
    std::vector<QifAccount> accounts;
    DecimalMark mark = DecimalMark::Point;
    std::string error; // what stops the reading, with its line
    std::size_t errorLine = 0;
};

// Reads a QIF file as Quicken and banks write it: "!Type:Bank", "!Type:CCard",
// "!Type:Cash" (and the "Oth A" and "Oth L" accounts) with their records of D,
// T or U, P, M and N lines ended by "^"; "!Account" blocks name the account that
// follows; category, class and memorized lists are passed over, as are split
// and other lines that a bank statement has no place for. Investment accounts
// stop the reading, since their records are no bank transactions.
QifLayout readQifLayout(std::string_view bytes);

// "QIF" and the account names and types, for the profile of the file.
std::string qifLayoutKey(const QifLayout& layout);

// The accounts as statements; an account named in the file keeps its name as
// its account id, and the given one serves a file of one account.
StatementReading readQifStatement(const QifLayout& layout, const Mapping& given);

} // namespace scrivane
