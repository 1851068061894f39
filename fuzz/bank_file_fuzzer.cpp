// A bank's CSV or QIF file, read and converted as the program does: never a
// crash or a hang, and every statement written reads back, line by line, with
// one transaction per row accepted, each with the row's date and amount and a
// FITID of its own; cleaned for QuickBooks, it keeps them all.
//
// Input: byte 0 chooses the form and the answers (bit 0 QIF, bits 1-2 the date
// order, 3 = none given; bit 3 an account id given; bit 4 the sign reversed),
// the rest is the file.

#include "fuzz_input.h"
#include "invariants.h"

#include "convert/bank_file.h"
#include "names/statement_cleaner.h"

#include <cstdint>
#include <set>

using namespace scrivane;
using namespace scrivane::fuzz;

namespace {

struct WrittenRow
{
    std::string posted;
    std::string amount;
    std::string fitid;
};

// The statement read back as the lines the writer makes: "<TAG>" or
// "<TAG>value", CR LF after each, no "<" in a value.
std::vector<std::vector<WrittenRow>> readBack(const std::string& ofx)
{
    std::vector<std::vector<WrittenRow>> statements;
    const std::size_t body = ofx.find("\r\n\r\n<OFX>\r\n");
    FUZZ_CHECK(body != std::string::npos, "the header ends in an empty line before <OFX>");
    std::size_t at = body + 4;
    while (at < ofx.size()) {
        const std::size_t end = ofx.find("\r\n", at);
        FUZZ_CHECK(end != std::string::npos, "every line ends in CR LF");
        const std::string_view line(ofx.data() + at, end - at);
        at = end + 2;
        FUZZ_CHECK(line.size() > 2 && line[0] == '<', "every line opens with a tag");
        const std::size_t close = line.find('>');
        FUZZ_CHECK(close != std::string_view::npos, "every tag closes");
        const std::string_view tag = line.substr(1, close - 1);
        const std::string_view value = line.substr(close + 1);
        FUZZ_CHECK(value.find_first_of("<\r\n") == std::string_view::npos, "a value is one line without markup");
        if (tag == "BANKTRANLIST")
            statements.emplace_back();
        else if (tag == "STMTTRN")
            statements.back().emplace_back();
        else if (tag == "DTPOSTED")
            statements.back().back().posted = value;
        else if (tag == "TRNAMT")
            statements.back().back().amount = value;
        else if (tag == "FITID")
            statements.back().back().fitid = value;
    }
    return statements;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::uint8_t config = in.byte();
    const BankFileFormat format = (config & 1) ? BankFileFormat::Qif : BankFileFormat::Csv;
    Mapping given;
    const unsigned order = (config >> 1) & 3;
    if (order < 3)
        given.dateOrder = static_cast<NumericDateOrder>(order);
    if (config & 8)
        given.accountId = "1234";
    if (config & 16)
        given.reversed = true;

    const BankFile file = readBankFile(in.rest(), format);
    const BankFileConversion conversion = convertBankFile(file, given);
    const StatementReading& reading = conversion.reading;
    FUZZ_CHECK(reading.error.empty() || reading.statements.empty(), "a row that cannot be read stops it all");
    FUZZ_CHECK(reading.complete() == !conversion.ofx.empty(), "a statement is written exactly when all is settled");
    if (!reading.complete())
        return 0;

    const auto written = readBack(conversion.ofx);
    FUZZ_CHECK(written.size() == reading.statements.size(), "one statement written per account read");
    std::size_t rows = 0;
    for (std::size_t s = 0; s < written.size(); ++s) {
        // Bank statements come before card ones; within each, in the order read.
        std::size_t match = 0;
        std::size_t seen = 0;
        for (const bool card : {false, true}) {
            for (std::size_t r = 0; r < reading.statements.size(); ++r) {
                if ((reading.statements[r].accountType == AccountType::CreditCard) == card && seen++ == s)
                    match = r;
            }
        }
        const auto& read = reading.statements[match].transactions;
        FUZZ_CHECK(written[s].size() == read.size(), "one transaction written per row read");
        std::set<std::string> fitids;
        for (std::size_t t = 0; t < read.size(); ++t) {
            FUZZ_CHECK(written[s][t].posted == ofxDate(read[t].date), "the row's date is written");
            FUZZ_CHECK(written[s][t].amount == ofxAmount(read[t].amount), "the row's amount is written");
            FUZZ_CHECK(!written[s][t].fitid.empty() && fitids.insert(written[s][t].fitid).second,
                       "every row of a statement has a FITID of its own");
        }
        rows += read.size();
    }

    // The clean that follows keeps every transaction.
    SegmentList segments;
    std::string converted;
    cleanStatement(conversion.ofx, converted, segments, Target::QuickBooks, NameOptions {}, LocaleRules::enUS());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < segments.size(); ++i)
        kept += segments[i].starts_with("<STMTTRN>") ? 1 : 0;
    FUZZ_CHECK(kept == rows, "the clean keeps every transaction");
    return 0;
}
