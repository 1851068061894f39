#pragma once

#include "amount.h"
#include "date.h"
#include "mapping.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace scrivane {

// One row of a bank's table or one QIF record, read.
struct Transaction
{
    Date date;
    Amount amount; // less than zero for money going out
    std::string payee; // UTF-8, as the bank wrote it
    std::string memo;
    std::string checkNumber;
    std::string bankId; // the bank's own id of the row, when it gives one
    std::string fitid; // the id the statement gives the row (see fitid.h)
    std::size_t line = 0; // where the row begins in its file, from 1
};

// One account's rows, as the OFX statement will carry them.
struct BankStatement
{
    std::string accountId;
    AccountType accountType = AccountType::Checking;
    std::string currency = "USD";
    std::vector<Transaction> transactions;
    // The balance after the latest row, when the bank's table gives balances.
    std::optional<Amount> ledgerBalance;
    Date balanceDate;
};

// What the reader cannot settle from the file and must be told.
enum class Question {
    Columns, // which column holds the date, the payee or the amount
    DateOrder, // every day is 12 or less, so 03/04 could be either
    AccountId, // the file does not say which account it is
};

// What reading a bank's file gave: the statements, or the questions to answer
// first, or what stopped it. Never some of the rows: a row that cannot be read
// stops the whole reading.
struct StatementReading
{
    std::vector<BankStatement> statements;
    std::vector<Question> questions;
    std::string error; // for the user, naming the line and the field; empty when read
    std::size_t errorLine = 0; // 0 when the error concerns no one line
    // The mapping as it was applied: what was given, and what the file showed
    // for the rest. The orders its dates allow, for asking.
    Mapping mapping;
    DateOrders dateOrders = 0;

    bool complete() const { return error.empty() && questions.empty(); }
};

} // namespace scrivane
