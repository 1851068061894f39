#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// One field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds
// the delimiter, a quote or a line break, or begins or ends with a space (which
// spreadsheets would otherwise trim); as it stands otherwise.
std::string csvField(std::string_view value, char delimiter = ',');

// One record: its fields joined by the delimiter, ended by CR LF.
std::string csvRecord(const std::vector<std::string>& fields, char delimiter = ',');

// Records one after another, in the order given. The text is the fields' own
// bytes: UTF-8 values give a UTF-8 file, without a byte-order mark.
std::string writeCsv(const std::vector<std::vector<std::string>>& records, char delimiter = ',');

} // namespace scrivane
