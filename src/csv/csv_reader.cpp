#include "csv_reader.h"

#include <map>

namespace scrivane {

namespace {

// Cuts UTF-8 text into records; the parser works on bytes, since every byte it
// looks for is ASCII and never part of a longer UTF-8 character.
class CsvParser
{
public:
    CsvParser(std::string_view text, char delimiter)
        : text_(text)
        , delimiter_(delimiter)
    {
    }

    enum class Step { Record, End, Error };

    // The next record after any empty lines, the end of the text, or an error.
    Step next(CsvRecord& record)
    {
        skipEmptyLines();
        if (at_ >= text_.size())
            return Step::End;
        record.fields.clear();
        // A table's records are mostly as wide as the one before.
        record.fields.reserve(width_);
        record.line = line_;
        std::string field;
        while (true) {
            if (!readField(field))
                return Step::Error;
            record.fields.push_back(std::move(field));
            field.clear();
            if (at_ < text_.size() && text_[at_] == delimiter_) {
                ++at_;
                continue;
            }
            skipLineEnd();
            width_ = record.fields.size();
            return Step::Record;
        }
    }

    const std::string& error() const { return error_; }
    std::size_t errorLine() const { return errorLine_; }

private:
    bool isLineEnd(std::size_t at) const { return text_[at] == '\r' || text_[at] == '\n'; }

    void skipLineEnd()
    {
        if (at_ >= text_.size())
            return;
        if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n')
            ++at_;
        ++at_;
        ++line_;
    }

    void skipEmptyLines()
    {
        while (at_ < text_.size() && isLineEnd(at_))
            skipLineEnd();
    }

    bool readField(std::string& field)
    {
        std::size_t start = at_;
        while (start < text_.size() && text_[start] == ' ')
            ++start;
        if (start < text_.size() && text_[start] == '"') {
            at_ = start;
            if (!readQuoted(field))
                return false;
        }
        // Unquoted text, or what follows a closing quote, up to the delimiter:
        // copied as one run.
        const std::size_t from = at_;
        while (at_ < text_.size() && text_[at_] != delimiter_ && !isLineEnd(at_))
            ++at_;
        field.append(text_.substr(from, at_ - from));
        return true;
    }

    bool readQuoted(std::string& field)
    {
        const std::size_t openedOn = line_;
        ++at_;
        while (at_ < text_.size()) {
            // The text up to the next quote or line break, copied as one run.
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] != '"' && !isLineEnd(at_))
                ++at_;
            field.append(text_.substr(from, at_ - from));
            if (at_ >= text_.size())
                break;
            const char c = text_[at_];
            if (c == '"') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                    field.push_back('"');
                    at_ += 2;
                    continue;
                }
                ++at_;
                return true;
            }
            // A line break inside quotes is part of the value, and still a line
            // of the file for the numbering of the records after it.
            if (c == '\n' || (c == '\r' && (at_ + 1 >= text_.size() || text_[at_ + 1] != '\n')))
                ++line_;
            field.push_back(c);
            ++at_;
        }
        error_ = "a quoted field opens here and is never closed";
        errorLine_ = openedOn;
        return false;
    }

    std::string_view text_;
    char delimiter_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
    std::size_t width_ = 0; // fields of the record before
    std::string error_;
    std::size_t errorLine_ = 0;
};

} // namespace

char detectCsvDelimiter(std::string_view text)
{
    // Enough records to see past a preamble of a few lines and into the rows.
    constexpr std::size_t sample = 64;
    char best = csvDelimiters[0];
    std::size_t bestAgreeing = 0;
    std::size_t bestWidth = 1;
    for (char delimiter : csvDelimiters) {
        CsvParser parser(text, delimiter);
        std::map<std::size_t, std::size_t> widths;
        CsvRecord record;
        for (std::size_t n = 0; n < sample && parser.next(record) == CsvParser::Step::Record; ++n)
            ++widths[record.fields.size()];
        // The most common width above one, and how many records have it; on a tie
        // the wider one, since a delimiter found inside values cuts fewer fields.
        std::size_t agreeing = 0;
        std::size_t width = 1;
        for (const auto& [w, count] : widths) {
            if (w > 1 && count >= agreeing) {
                agreeing = count;
                width = w;
            }
        }
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && agreeing > 0 && width > bestWidth)) {
            best = delimiter;
            bestAgreeing = agreeing;
            bestWidth = width;
        }
    }
    return best;
}

CsvTable forEachCsvRecord(std::string_view bytes, char delimiter, const std::function<void(CsvRecord&)>& visit)
{
    CsvTable table;
    DecodedText decoded = decodeText(bytes);
    table.encoding = decoded.encoding;
    table.delimiter = delimiter != 0 ? delimiter : detectCsvDelimiter(decoded.utf8);
    CsvParser parser(decoded.utf8, table.delimiter);
    CsvRecord record;
    CsvParser::Step step;
    while ((step = parser.next(record)) == CsvParser::Step::Record)
        visit(record);
    if (step == CsvParser::Step::Error) {
        table.error = parser.error();
        table.errorLine = parser.errorLine();
    }
    return table;
}

CsvTable readCsv(std::string_view bytes, char delimiter)
{
    std::vector<CsvRecord> records;
    CsvTable table
        = forEachCsvRecord(bytes, delimiter, [&records](CsvRecord& record) { records.push_back(std::move(record)); });
    if (table.error.empty())
        table.records = std::move(records);
    return table;
}

} // namespace scrivane
