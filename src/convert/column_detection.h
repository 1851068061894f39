#pragma once

#include "amount.h"
#include "mapping.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// The rows of a table, each as its fields.
using TableRows = std::vector<const std::vector<std::string>*>;

// What the titles and the values of a bank's table show.
struct ColumnDetection
{
    ColumnMap columns;
    // Every role the rows need was found, and none of them was picked among
    // columns that looked alike; otherwise the user is asked.
    bool certain = false;
    std::optional<std::string> currency; // from a currency column or "Amount (EUR)"
    std::optional<std::string> accountId; // from an account or card number column
    bool cardAccount = false; // a card number column: a credit-card statement
};

// Finds the columns by their titles, in English, French, German and Spanish,
// checked against the values below them, and where titles say nothing (or there
// are none: titles empty) by the values alone: the column of dates, the column
// of amounts, the text column with the most different values for the payee.
ColumnDetection detectColumns(const std::vector<std::string>& titles, const TableRows& rows, DecimalMark mark);

// Whether a title is one of the role's words ("Posted Date" for the date).
bool titleNames(ColumnRole role, std::string_view title);

// A debit or credit column's way of saying "nothing here": empty, or a dash.
bool isBlankAmount(std::string_view text);

// Whether an indicator says money out (true) or in (false): "debit", "DR",
// "Soll", "cargo", ... or "credit", "CR", "Haben", "abono", ...
std::optional<bool> indicatorSaysDebit(std::string_view text);

} // namespace scrivane
