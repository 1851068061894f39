#pragma once

#include "text.h"

#include <array>
#include <cstddef>
#include <string_view>

// The few elements whose place or value the check reads, told apart by name
// for every tag of a statement; the scanner's own, not for other callers.
namespace scrivane::check {

// The bytes that end a tag's name (a "<" ends an unfinished tag), looked up for
// every byte of every name.
constexpr auto nameEnds = [] {
    std::array<bool, 256> ends {};
    for (unsigned char c : {'>', '<', ' ', '/', '\t', '\r', '\n'})
        ends[c] = true;
    return ends;
}();

inline bool endsName(char c)
{
    return nameEnds[static_cast<unsigned char>(c)];
}

enum class Tag {
    Other,
    Sonrs,
    BankId,
    TransactionResponse,
    Statement,
    Curdef,
    Transaction,
    InvestmentTransaction,
    Fitid,
    DtPosted,
    TrnAmt,
    Name,
    Payee,
    TransactionList,
};

inline Tag tagOf(std::string_view name)
{
    // Called for every tag: the length and first letter leave one or two names
    // to compare, ignoring case as OFX readers do.
    // Compared by an inline loop, exact bytes first since statements write their
    // tags in upper case nearly always; a library call per tag costs more.
    auto is = [name](std::string_view upperName) {
        for (std::size_t i = 0; i < upperName.size(); ++i) {
            if (name[i] != upperName[i] && asciiUpper(name[i]) != upperName[i])
                return false;
        }
        return true;
    };
    const char first = name.empty() ? '\0' : asciiUpper(name.front());
    switch (name.size()) {
    case 4:
        return first == 'N' && is("NAME") ? Tag::Name : Tag::Other;
    case 5:
        if (first == 'F')
            return is("FITID") ? Tag::Fitid : Tag::Other;
        if (first == 'S')
            return is("SONRS") ? Tag::Sonrs : Tag::Other;
        return first == 'P' && is("PAYEE") ? Tag::Payee : Tag::Other;
    case 6:
        if (first == 'T')
            return is("TRNAMT") ? Tag::TrnAmt : Tag::Other;
        if (first == 'S')
            return is("STMTRS") ? Tag::Statement : Tag::Other;
        return first == 'C' && is("CURDEF") ? Tag::Curdef : Tag::Other;
    case 7:
        if (first == 'S')
            return is("STMTTRN") ? Tag::Transaction : Tag::Other;
        return first == 'I' && is("INVTRAN") ? Tag::InvestmentTransaction : Tag::Other;
    case 8:
        if (first == 'D')
            return is("DTPOSTED") ? Tag::DtPosted : Tag::Other;
        if (first == 'I')
            return is("INTU.BID") ? Tag::BankId : Tag::Other;
        return first == 'C' && is("CCSTMTRS") ? Tag::Statement : Tag::Other;
    case 9:
        if (first == 'I')
            return is("INVSTMTRS") ? Tag::Statement : Tag::Other;
        return first == 'S' && is("STMTTRNRS") ? Tag::TransactionResponse : Tag::Other;
    case 11:
        if (first == 'C')
            return is("CCSTMTTRNRS") ? Tag::TransactionResponse : Tag::Other;
        return first == 'I' && is("INVTRANLIST") ? Tag::TransactionList : Tag::Other;
    case 12:
        if (first == 'I')
            return is("INVSTMTTRNRS") ? Tag::TransactionResponse : Tag::Other;
        return first == 'B' && is("BANKTRANLIST") ? Tag::TransactionList : Tag::Other;
    default:
        return Tag::Other;
    }
}

} // namespace scrivane::check
