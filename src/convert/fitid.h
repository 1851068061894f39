#pragma once

#include "bank_statement.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivane {

// The FITID of a row for which the bank gives no id of its own. QuickBooks and
// Quicken skip a row whose FITID they already have, so the same row exported
// again next month must get the same id, from this and every later version:
// this function must never change.
//
// It is FNV-1a, 64 bits (offset basis 0xcbf29ce484222325, prime 0x100000001b3),
// over the UTF-8 bytes of
//     account id, 0x1F, date as YYYYMMDD, 0x1F, amount as OFX writes it
//     ("-1234.50"), 0x1F, payee as the bank wrote it (spaces trimmed), 0x1F,
//     occurrence in decimal
// where occurrence counts from 1 the rows of the file with the same date, amount
// and payee, in file order, so that two identical rows of one day differ. The
// id is the hash as 16 hexadecimal digits in capitals.
std::string
hashedFitid(std::string_view accountId, Date date, Amount amount, std::string_view payee, std::size_t occurrence);

// Gives every row its FITID: the bank's id where it gives one (a repeated id
// gets "-2", "-3", ... behind it on its later rows, since FITIDs must differ
// within a statement), else the hashed one.
void assignFitids(BankStatement& statement);

} // namespace scrivane
