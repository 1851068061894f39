#include "bank_file.h"

#include "ofx_writer.h"
#include "text_fold.h"

#include <algorithm>

namespace scrivane {

std::optional<BankFileFormat> bankFileFormatOf(std::string_view path)
{
    if (path.size() < 4)
        return std::nullopt;
    const std::string extension = foldLatin(path.substr(path.size() - 4));
    if (extension == ".csv")
        return BankFileFormat::Csv;
    if (extension == ".qif")
        return BankFileFormat::Qif;
    return std::nullopt;
}

std::string convertedOutputPath(std::string_view path, Target target)
{
    const std::string_view extension = target == Target::QuickBooks ? ".QBO"
        : target == Target::Quicken                                 ? ".QFX"
                                                                    : ".ofx";
    return std::string(path.substr(0, path.size() - std::min<std::size_t>(4, path.size()))) + std::string(extension);
}

BankFile readBankFile(std::string_view bytes, BankFileFormat format)
{
    BankFile file;
    file.format = format;
    if (format == BankFileFormat::Csv)
        file.csv = readCsvLayout(bytes);
    else
        file.qif = readQifLayout(bytes);
    return file;
}

std::string layoutKey(const BankFile& file)
{
    return file.format == BankFileFormat::Csv ? csvLayoutKey(file.csv) : qifLayoutKey(file.qif);
}

StatementReading readStatements(const BankFile& file, const Mapping& given)
{
    return file.format == BankFileFormat::Csv ? readCsvStatement(file.csv, given) : readQifStatement(file.qif, given);
}

BankFileConversion convertBankFile(const BankFile& file, const Mapping& given)
{
    BankFileConversion conversion;
    conversion.reading = readStatements(file, given);
    if (!conversion.reading.complete())
        return conversion;
    conversion.ofx = writeOfx(conversion.reading.statements);
    for (const std::size_t s : writtenOrder(conversion.reading.statements)) {
        std::vector<std::size_t>& lines = conversion.rowLines.emplace_back();
        for (const Transaction& t : conversion.reading.statements[s].transactions)
            lines.push_back(t.line);
    }
    return conversion;
}

} // namespace scrivane
