#pragma once

#include "ofx_writer.h"

#include <cstdint>
#include <cstdio>

namespace scrivane::gen {

enum class Kind { Bank, CreditCard, Investment };

// How the SGML form lays its elements out: one to a line, several to a line
// (each transaction on one line), or a mix decided transaction by transaction.
enum class Layout { Lines, Packed, Mixed };

struct StatementOptions
{
    Kind kind = Kind::Bank;
    Form form = Form::Sgml;
    Layout layout = Layout::Lines;
    long long count = 100;
    std::uint64_t seed = 1;
    bool cdataNames = false; // XML form: some names as CDATA sections
    bool bankId = false; // the sign-on response already carries <INTU.BID>
    // Some names with letters outside ASCII. libofx reads them right but reports
    // its own recoding of Windows-1252 text as character errors, so they are off
    // unless asked for.
    bool accents = false;
};

// Writes one whole statement. The same options give the same bytes.
void writeStatement(const StatementOptions& options, std::FILE* out);

} // namespace scrivane::gen
