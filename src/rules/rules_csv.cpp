#include "rules_csv.h"

#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "statement/text.h"

#include <algorithm>
#include <array>

namespace scrivane {

namespace {

enum Column { MatchColumn, TextColumn, NameColumn, columnCount };
constexpr std::array<std::string_view, columnCount> columnNames = {"match", "text", "name"};

// A place in the file in words, as in: Line 4, column 2 (text): what.
std::string at(std::size_t line, std::size_t column, std::string_view name, const std::string& what)
{
    std::string place = "Line " + std::to_string(line) + ", column " + std::to_string(column);
    if (!name.empty())
        place += " (" + std::string(name) + ")";
    return place + ": " + what + ".";
}

RulesFile failed(std::string error)
{
    return RulesFile {{}, std::move(error)};
}

// Takes a rules file record by record: the header, then one rule a record. The
// first thing wrong is kept and the records after it are passed over.
class RulesReader
{
public:
    explicit RulesReader(std::size_t expected) { rules_.reserve(expected); }

    void take(CsvRecord& record)
    {
        if (!error_.empty())
            return;
        if (!headerSeen_) {
            headerSeen_ = true;
            readHeader(record);
        } else {
            readRule(record);
        }
    }

    // What the records gave, after the reading that ended as table says.
    RulesFile finish(const CsvTable& table)
    {
        if (error_.empty() && !table.error.empty())
            error_ = "Line " + std::to_string(table.errorLine) + ": " + table.error + ".";
        if (error_.empty() && !headerSeen_)
            error_ = "Line 1: the file has no header; its first line must be \"match,text,name\".";
        if (!error_.empty())
            return failed(std::move(error_));
        return RulesFile {std::move(rules_), {}};
    }

private:
    void readHeader(const CsvRecord& header)
    {
        std::array<bool, columnCount> seen {};
        for (std::size_t c = 0; c < header.fields.size(); ++c) {
            const std::string_view field = trimBlanks(header.fields[c]);
            std::size_t k = 0;
            while (k < columnCount && !equalsNoCase(field, columnNames[k]))
                ++k;
            if (k == columnCount) {
                error_ = at(header.line, c + 1, {}, "\"" + header.fields[c] + "\" is not a column of rules");
                return;
            }
            if (seen[k]) {
                error_ = at(header.line, c + 1, {}, "the column \"" + header.fields[c] + "\" stands twice");
                return;
            }
            seen[k] = true;
            position_[k] = c;
        }
        for (std::size_t k = 0; k < columnCount && error_.empty(); ++k) {
            if (!seen[k])
                error_ = "Line " + std::to_string(header.line) + ": the header has no column \""
                    + std::string(columnNames[k]) + "\"; it must be \"match,text,name\".";
        }
    }

    void readRule(CsvRecord& record)
    {
        const std::size_t count = record.fields.size();
        if (count > columnCount) {
            error_ = place(record, columnCount + 1, "the record has " + std::to_string(count) + " fields, not 3");
            return;
        }
        if (count < columnCount) {
            error_ = place(record,
                           count + 1,
                           "the record ends after " + std::to_string(count) + (count == 1 ? " field" : " fields")
                               + " of 3");
            return;
        }
        const std::string& match = record.fields[position_[MatchColumn]];
        const std::optional<MatchKind> kind = matchKindFromName(match);
        if (!kind) {
            error_ = place(record,
                           position_[MatchColumn] + 1,
                           "\"" + match + "\" is not a way to match; use contains, begins, exact or pattern");
            return;
        }
        PayeeRule rule {
            *kind, std::move(record.fields[position_[TextColumn]]), std::move(record.fields[position_[NameColumn]])};
        if (const std::optional<RuleProblem> problem = ruleProblem(rule)) {
            const Column column = problem->field == RuleField::Name ? NameColumn : TextColumn;
            error_ = place(record, position_[column] + 1, "the rule " + problem->reason);
            return;
        }
        rules_.push_back(std::move(rule));
    }

    // A column of the file, counting from 1, in words.
    std::string place(const CsvRecord& record, std::size_t column, const std::string& what) const
    {
        std::string_view name;
        for (std::size_t k = 0; k < columnCount; ++k) {
            if (position_[k] + 1 == column)
                name = columnNames[k];
        }
        return at(record.line, column, name, what);
    }

    bool headerSeen_ = false;
    std::array<std::size_t, columnCount> position_ {}; // where each column stands, counting from 0
    std::vector<PayeeRule> rules_;
    std::string error_;
};

} // namespace

RulesFile readRulesCsv(std::string_view bytes)
{
    // Record by record, so that a long list costs no table of its records; about
    // one rule to a line.
    RulesReader reader(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
    const CsvTable table = forEachCsvRecord(bytes, ',', [&reader](CsvRecord& record) { reader.take(record); });
    return reader.finish(table);
}

std::string writeRulesCsv(const std::vector<PayeeRule>& rules)
{
    std::vector<std::vector<std::string>> records;
    records.reserve(rules.size() + 1);
    records.push_back({columnNames.begin(), columnNames.end()});
    for (const PayeeRule& rule : rules)
        records.push_back({std::string(matchKindName(rule.match)), rule.text, rule.name});
    return "\xEF\xBB\xBF" + writeCsv(records);
}

} // namespace scrivane
