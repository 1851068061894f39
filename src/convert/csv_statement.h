#pragma once

#include "amount.h"
#include "bank_statement.h"
#include "column_detection.h"
#include "csv/csv_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// How a bank's CSV export is laid out: lines before the titles, the titles,
// the rows, and a totals line or two after them.
struct CsvLayout
{
    CsvTable table;
    std::optional<std::size_t> header; // the record of the titles, when there is one
    std::size_t firstRow = 0; // the record of the first row
    std::size_t width = 0; // the fields a row has
    std::vector<std::string> titles; // the header's fields, or "Column 1", "Column 2", ...
    DecimalMark mark = DecimalMark::Point;
    ColumnDetection detected;
    // Why no rows were found, when none were; the table's own error comes first.
    std::string error;
    std::size_t errorLine = 0;
};

// Reads the table and finds its parts: the titles are the line where a date
// title and an amount title stand (in any of the languages read), or else the
// line above the first row; the first row is the first line with a date and an
// amount.
CsvLayout readCsvLayout(std::string_view bytes);

// What a profile of this layout is stored under: the titles as the bank wrote
// them, or the number of columns of a table without titles.
std::string csvLayoutKey(const CsvLayout& layout);

// The rows of the table as one statement, read with what was given and, for the
// rest, what the layout showed. A line after the rows that holds no date and
// looks like a total (a word such as "Total", fewer fields, or no amount) ends
// them; any other line that cannot be read stops the reading with its line and
// field named.
StatementReading readCsvStatement(const CsvLayout& layout, const Mapping& given);

} // namespace scrivane
