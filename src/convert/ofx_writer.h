#pragma once

#include "bank_statement.h"

#include <cstddef>
#include <string>
#include <vector>

namespace scrivane {

// What OFX 1.0.2 lets a NAME and a MEMO hold, in characters.
inline constexpr std::size_t ofxNameLength = 32;
inline constexpr std::size_t ofxMemoLength = 255;

// The statements as one OFX 1.0.2 file in its SGML form, the form every
// QuickBooks and Quicken imports: the header, a sign-on response, and a bank
// statement (checking, savings, money market) or a credit-card statement per
// account, each with its currency, account, the span of its rows, the rows, and
// the ledger balance. Per row: TRNTYPE (CHECK for money out with a check number,
// else DEBIT or CREDIT), DTPOSTED, TRNAMT, FITID, CHECKNUM (a number of digits)
// or REFNUM (any other), NAME (cut to 32 characters, the whole payee then going
// to MEMO ahead of the memo) and MEMO. Line breaks and control characters in
// values become spaces; "&", "<" and ">" are written as entities. The text is
// Windows-1252 when every character has a place there, else UTF-8, as the
// header says. Each line ends in CR LF. Rows must have their FITIDs.
//
// OFX requires a bank id and a ledger balance: the bank id is nine zeros, which
// no importer reads (QuickBooks and Quicken go by INTU.BID), and a statement
// whose table gave no balances gets a ledger balance of 0.00 as of its last day.
std::string writeOfx(const std::vector<BankStatement>& statements);

// Which of the statements writeOfx writes, in its order: bank accounts before
// cards, each kind as given, none without rows. The statement a finding in the
// written OFX names is the one at that place here.
std::vector<std::size_t> writtenOrder(const std::vector<BankStatement>& statements);

// A row's values as the statement carries them, before escaping: one line each,
// cut where OFX cuts them. What a preview of the statement shows.
struct WrittenRow
{
    std::string_view type; // "DEBIT", "CREDIT" or "CHECK"
    std::string name;
    std::string memo;
    std::string checkNumber; // CHECKNUM: digits only
    std::string refNumber; // REFNUM: any other number the row has
    std::string fitid;
};
WrittenRow writtenRow(const Transaction& transaction);

} // namespace scrivane
