#pragma once

#include "text_decoding.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

struct CsvRecord
{
    std::vector<std::string> fields; // UTF-8, quotes removed
    std::size_t line = 0; // the line the record begins on, counted from 1
};

struct CsvTable
{
    std::vector<CsvRecord> records;
    char delimiter = ',';
    TextEncoding encoding = TextEncoding::Utf8;
    // Empty when the whole text was read; otherwise what stopped the reading, in
    // words for the user, and the line it concerns. No records are given then.
    std::string error;
    std::size_t errorLine = 0;
};

// The delimiters a table may use; a table that uses none of them has one column.
inline constexpr char csvDelimiters[] = {',', ';', '\t'};

// Reads comma-separated values as RFC 4180 has them and as spreadsheets and banks
// really write them: a delimiter of ",", ";" or tab (delimiter 0: the one that
// cuts the first records into the most lines of equal width), fields quoted with
// '"' holding delimiters, doubled quotes and line breaks, CR LF, LF or CR line
// ends, UTF-8 with or without a byte-order mark, or Windows-1252. Empty lines are
// no records. Lenient where a reader can be without losing anything: a quote
// inside an unquoted field is a character, text after a closing quote belongs to
// the field, and spaces before an opening quote are dropped. A quoted field that
// is never closed is an error, since everything after it would be one field.
CsvTable readCsv(std::string_view bytes, char delimiter = 0);

// The records as readCsv reads them, handed to visit one by one and not kept, so
// that a table of a hundred thousand records costs no more memory than one. The
// record is the reader's own and is used again for the next: visit may move its
// fields away. Gives what readCsv gives but the records; after an error, the
// records before it have been handed over.
CsvTable forEachCsvRecord(std::string_view bytes, char delimiter, const std::function<void(CsvRecord&)>& visit);

// The delimiter readCsv would pick for this text (UTF-8).
char detectCsvDelimiter(std::string_view text);

} // namespace scrivane
