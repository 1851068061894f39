#pragma once

#include "rng.h"

#include <string>

namespace scrivane::gen {

// A payee as a bank writes it, before any escaping: the name, the transaction
// type that goes with it and, for a cheque, its number.
struct Payee
{
    std::string name;
    std::string transactionType;
    std::string checkNumber; // empty unless a cheque
    int amountSign = -1; // -1 money out, +1 money in
};

// Draws a payee name in one of the messy shapes of real statements: card and
// ACH prefixes, "#" codes, dates, trailing store numbers, repeated words,
// cheques, surname beginnings, LLC/INC, ampersands and names longer than the
// 32 characters the format allows. Names are UTF-8; with accents on, a few carry
// letters outside ASCII.
Payee drawPayee(Rng& rng, int month, int day, int year, bool accents);

// A memo to go with a payee, or empty for none.
std::string drawMemo(Rng& rng);

} // namespace scrivane::gen
