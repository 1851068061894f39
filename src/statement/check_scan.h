#pragma once

#include "segment_list.h"
#include "statement_check.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// Where each statement and each of its transactions starts in a text, so that a
// finding of one text can be placed in another that holds the same statements.
struct ScannedAccount
{
    std::size_t line = 1;
    std::vector<std::size_t> transactionLines;
};

struct StatementScan
{
    std::vector<Finding> findings; // in the order found
    std::vector<ScannedAccount> accounts;
    bool hasBankId = false; // an <INTU.BID> in the sign-on response
    std::string bankId;
    std::size_t signOnLine = 1; // where <SONRS> stands
};

// One pass over the text, SGML or XML alike: the structure that the target needs
// and the values that it reads.
StatementScan scanStatement(std::string_view text, Target target, std::string_view notConverted);
// The same over the joined text of a segment list, without joining it.
StatementScan scanStatement(const SegmentList& segments, Target target, std::string_view notConverted);
StatementScan scanStatement(const std::vector<std::string_view>& pieces, Target target, std::string_view notConverted);

} // namespace scrivane
