#include "csv_writer.h"

namespace scrivane {

std::string csvField(std::string_view value, char delimiter)
{
    const bool quoted = value.find_first_of(std::string {delimiter, '"', '\r', '\n'}) != std::string_view::npos
        || value.starts_with(' ') || value.ends_with(' ');
    if (!quoted)
        return std::string(value);
    std::string out;
    out.reserve(value.size() + 2);
    out.push_back('"');
    for (char c : value) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string csvRecord(const std::vector<std::string>& fields, char delimiter)
{
    // A lone empty field written bare would be an empty line, which is no record.
    if (fields.size() == 1 && fields[0].empty())
        return "\"\"\r\n";
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.push_back(delimiter);
        out.append(csvField(fields[i], delimiter));
    }
    out.append("\r\n");
    return out;
}

std::string writeCsv(const std::vector<std::vector<std::string>>& records, char delimiter)
{
    std::string out;
    for (const auto& fields : records)
        out.append(csvRecord(fields, delimiter));
    return out;
}

} // namespace scrivane
