#include "rules_csv.h"

#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "statement/text.h"

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

} // namespace

RulesFile readRulesCsv(std::string_view bytes)
{
    CsvTable table = readCsv(bytes, ',');
    if (!table.error.empty())
        return failed("Line " + std::to_string(table.errorLine) + ": " + table.error + ".");
    if (table.records.empty())
        return failed("Line 1: the file has no header; its first line must be \"match,text,name\".");

    // Where each of the three columns stands in the records, counting from 0.
    const CsvRecord& header = table.records.front();
    std::array<std::size_t, columnCount> position {};
    std::array<bool, columnCount> seen {};
    for (std::size_t c = 0; c < header.fields.size(); ++c) {
        const std::string_view field = trimBlanks(header.fields[c]);
        std::size_t k = 0;
        while (k < columnCount && !equalsNoCase(field, columnNames[k]))
            ++k;
        if (k == columnCount)
            return failed(at(header.line, c + 1, {}, "\"" + header.fields[c] + "\" is not a column of rules"));
        if (seen[k])
            return failed(at(header.line, c + 1, {}, "the column \"" + header.fields[c] + "\" stands twice"));
        seen[k] = true;
        position[k] = c;
    }
    for (std::size_t k = 0; k < columnCount; ++k) {
        if (!seen[k])
            return failed("Line " + std::to_string(header.line) + ": the header has no column \""
                          + std::string(columnNames[k]) + "\"; it must be \"match,text,name\".");
    }
    // A column of the file, counting from 1, in words.
    auto place = [&](const CsvRecord& record, std::size_t column, const std::string& what) {
        std::string_view name;
        for (std::size_t k = 0; k < columnCount; ++k) {
            if (position[k] + 1 == column)
                name = columnNames[k];
        }
        return at(record.line, column, name, what);
    };

    RulesFile file;
    for (std::size_t r = 1; r < table.records.size(); ++r) {
        CsvRecord& record = table.records[r];
        const std::size_t count = record.fields.size();
        if (count > columnCount)
            return failed(place(record, columnCount + 1, "the record has " + std::to_string(count) + " fields, not 3"));
        if (count < columnCount)
            return failed(place(record,
                                count + 1,
                                "the record ends after " + std::to_string(count) + (count == 1 ? " field" : " fields")
                                    + " of 3"));
        const std::string& match = record.fields[position[MatchColumn]];
        const std::optional<MatchKind> kind = matchKindFromName(match);
        if (!kind)
            return failed(place(record,
                                position[MatchColumn] + 1,
                                "\"" + match + "\" is not a way to match; use contains, begins, exact or pattern"));
        PayeeRule rule {
            *kind, std::move(record.fields[position[TextColumn]]), std::move(record.fields[position[NameColumn]])};
        if (const std::optional<RuleProblem> problem = ruleProblem(rule)) {
            const Column column = problem->field == RuleField::Name ? NameColumn : TextColumn;
            return failed(place(record, position[column] + 1, "the rule " + problem->reason));
        }
        file.rules.push_back(std::move(rule));
    }
    return file;
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
