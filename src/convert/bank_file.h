#pragma once

#include "bank_statement.h"
#include "csv_statement.h"
#include "qif_statement.h"
#include "statement/compat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// The two forms of statement that banks give where they give no OFX.
enum class BankFileFormat { Csv, Qif };

// A CSV or QIF file by its extension (".csv", ".qif" in any letter case), or
// nothing: every other file is taken for an OFX statement, as it always was.
std::optional<BankFileFormat> bankFileFormatOf(std::string_view path);

// Where the statement made from a bank's file goes: beside it, its ".csv" or
// ".qif" giving way to ".QBO", ".QFX" or, for Other, ".ofx", so that the bank's
// file, the user's own source, is never written over.
std::string convertedOutputPath(std::string_view path, Target target);

// A bank's CSV or QIF file, read and laid out, ready to be read as statements
// with whatever mapping the user, a profile or the command line gives.
struct BankFile
{
    BankFileFormat format = BankFileFormat::Csv;
    CsvLayout csv; // for a CSV file
    QifLayout qif; // for a QIF file
};

BankFile readBankFile(std::string_view bytes, BankFileFormat format);

// What the profile of this file's layout is stored under.
std::string layoutKey(const BankFile& file);

// The file's rows as statements, or what must be asked first, or the line that
// cannot be read.
StatementReading readStatements(const BankFile& file, const Mapping& given);

// The whole conversion: the OFX statement (see writeOfx) when the reading is
// complete, empty otherwise, with the reading that tells why.
struct BankFileConversion
{
    StatementReading reading;
    std::string ofx;
    // Where each transaction of each statement in the OFX stands in the bank's
    // file (its line, from 1), so that what is found in the OFX can be shown
    // at the rows the user has.
    std::vector<std::vector<std::size_t>> rowLines;
};
BankFileConversion convertBankFile(const BankFile& file, const Mapping& given);

} // namespace scrivane
