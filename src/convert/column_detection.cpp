#include "column_detection.h"

#include "date.h"
#include "text_fold.h"

#include <algorithm>
#include <set>

namespace scrivane {

namespace {

using Keys = std::vector<std::string_view>;

// Column titles as titleKey reduces them, in the order of preference when a
// table has several: a posting date before a transaction date, a payee before
// a description.
const Keys dateKeys = {
    "posteddate",     "postingdate",   "postdate",     "bookingdate",    "date",          "transactiondate",
    "transdate",      "created",       "datum",        "buchungstag",    "buchungsdatum", "valutadatum",
    "valuta",         "wertstellung",  "fecha",        "fechaoperacion", "fechavalor",    "dateoperation",
    "datedoperation", "datecomptable", "datedevaleur", "valuedate",
};
const Keys payeeKeys = {
    "payee",
    "name",
    "merchant",
    "merchantname",
    "partnername",
    "beneficiary",
    "counterparty",
    "description",
    "transactiondescription",
    "details",
    "narrative",
    "libelle",
    "libelledeloperation",
    "beneficiaire",
    "tiers",
    "empfanger",
    "auftraggeberempfanger",
    "begunstigterzahlungspflichtiger",
    "namezahlungsbeteiligter",
    "buchungstext",
    "beschreibung",
    "concepto",
    "descripcion",
    "beneficiario",
    "desc",
};
const Keys amountKeys = {
    "amount",
    "transactionamount",
    "amt",
    "value",
    "sum",
    "montant",
    "betrag",
    "umsatz",
    "importe",
    "cantidad",
    "monto",
};
const Keys debitKeys = {
    "debit",
    "debits",
    "debitamount",
    "amountdebit",
    "withdrawal",
    "withdrawals",
    "withdrawalamount",
    "moneyout",
    "paidout",
    "outflow",
    "retrait",
    "soll",
    "ausgang",
    "belastung",
    "cargo",
    "cargos",
    "debe",
    "retiro",
};
const Keys creditKeys = {
    "credit",
    "credits",
    "creditamount",
    "amountcredit",
    "deposit",
    "deposits",
    "depositamount",
    "moneyin",
    "paidin",
    "inflow",
    "depot",
    "haben",
    "eingang",
    "gutschrift",
    "abono",
    "abonos",
    "haber",
    "ingreso",
};
const Keys indicatorKeys = {
    "debitcredit",
    "creditdebit",
    "drcr",
    "crdr",
    "dc",
    "cd",
    "transactiontype",
    "type",
    "sollhaben",
    "sh",
    "sens",
    "typedoperation",
    "tipo",
};
const Keys memoKeys = {
    "memo",
    "notes",
    "note",
    "comments",
    "comment",
    "remarks",
    "remark",
    "additionaldescription",
    "paymentreference",
    "reference",
    "verwendungszweck",
    "mitteilung",
    "referenz",
    "communication",
    "commentaire",
    "commentaires",
    "remarque",
    "informations",
    "observaciones",
    "referencia",
    "description",
    "details",
};
const Keys checkKeys = {
    "checknumber",
    "checkno",
    "check",
    "checknum",
    "chknum",
    "chequenumber",
    "chequeno",
    "cheque",
    "num",
    "numerodecheque",
    "numerocheque",
    "schecknummer",
    "numerodecheque",
};
const Keys idKeys = {
    "transactionid",
    "id",
    "fitid",
    "transactionnumber",
    "referenceid",
    "ndetransaction",
    "numerodetransaction",
    "transaktionsid",
    "idtransaccion",
};
const Keys balanceKeys = {
    "balance",
    "runningbalance",
    "balanceafter",
    "availablebalance",
    "solde",
    "saldo",
    "kontostand",
};
const Keys currencyKeys = {
    "currency",
    "curr",
    "ccy",
    "monn",
    "monnaie",
    "devise",
    "wahrung",
    "moneda",
    "divisa",
};
const Keys accountKeys = {
    "accountnumber",
    "accountno",
    "acctno",
    "account",
    "kontonummer",
    "konto",
    "iban",
    "numerodecompte",
    "compte",
    "cuenta",
    "produit",
    "cardno",
    "cardnumber",
    "numerodecarte",
    "kartennummer",
};
const Keys cardKeys = {
    "cardno",
    "cardnumber",
    "card",
    "cardmember",
    "carte",
    "numerodecarte",
    "kartennummer",
    "karte",
    "tarjeta",
};

const Keys& keysOf(ColumnRole role)
{
    switch (role) {
    case ColumnRole::Date:
        return dateKeys;
    case ColumnRole::Payee:
        return payeeKeys;
    case ColumnRole::Amount:
        return amountKeys;
    case ColumnRole::Debit:
        return debitKeys;
    case ColumnRole::Credit:
        return creditKeys;
    case ColumnRole::Indicator:
        return indicatorKeys;
    case ColumnRole::Memo:
        return memoKeys;
    case ColumnRole::Check:
        return checkKeys;
    case ColumnRole::Id:
        return idKeys;
    case ColumnRole::Balance:
        return balanceKeys;
    }
    return memoKeys;
}

bool hasKey(const Keys& keys, std::string_view key)
{
    for (std::string_view k : keys) {
        if (k == key)
            return true;
    }
    return false;
}

// What the values of one column are like.
struct ColumnFacts
{
    std::size_t filled = 0; // values that are not empty
    std::size_t dates = 0;
    std::size_t amounts = 0;
    std::size_t blanksOrAmounts = 0;
    std::size_t indicators = 0;
    std::size_t distinct = 0;
    bool negative = false; // some amount is below zero
    bool constant = true; // every filled value the same
    std::string first; // the first filled value
};

std::vector<ColumnFacts> factsOf(const TableRows& rows, std::size_t width, DecimalMark mark)
{
    std::vector<ColumnFacts> facts(width);
    std::vector<std::set<std::string_view>> seen(width);
    for (const auto* fields : rows) {
        for (std::size_t c = 0; c < width && c < fields->size(); ++c) {
            ColumnFacts& f = facts[c];
            const std::string_view value = trimWhite((*fields)[c]);
            const auto amount = parseAmount(value, mark);
            if (isBlankAmount(value) || amount)
                ++f.blanksOrAmounts;
            if (value.empty())
                continue;
            if (f.filled++ == 0)
                f.first = value;
            else if (value != f.first)
                f.constant = false;
            if (possibleDateOrders(value) != 0)
                ++f.dates;
            if (amount) {
                ++f.amounts;
                f.negative = f.negative || amount->negative();
            }
            if (indicatorSaysDebit(value))
                ++f.indicators;
            seen[c].insert(value);
        }
    }
    for (std::size_t c = 0; c < width; ++c)
        facts[c].distinct = seen[c].size();
    return facts;
}

// Whether the values of a column fit a role. A column found by its title needs
// only half of its values to fit, so that one bad value is told as the error of
// its row rather than hiding the column; one found by its values alone needs
// them all.
bool fits(ColumnRole role, const ColumnFacts& f, std::size_t rows, bool titled)
{
    const auto enough
        = [&](std::size_t count, std::size_t of) { return of > 0 && (titled ? count * 2 >= of : count == of); };
    switch (role) {
    case ColumnRole::Date:
        return enough(f.dates, rows) && (titled || f.filled == rows);
    case ColumnRole::Amount:
        return enough(f.amounts, f.filled) && f.dates < f.filled;
    case ColumnRole::Debit:
    case ColumnRole::Credit:
    case ColumnRole::Balance:
        return enough(f.blanksOrAmounts, rows) && (f.filled == 0 || f.dates < f.filled);
    case ColumnRole::Indicator:
        return enough(f.indicators, rows);
    case ColumnRole::Id:
        return f.filled > 0 && (titled || f.distinct == f.filled);
    case ColumnRole::Payee:
    case ColumnRole::Memo:
    case ColumnRole::Check:
        return true;
    }
    return false;
}

class Detector
{
public:
    Detector(const std::vector<std::string>& titles, const TableRows& rows, std::size_t width, DecimalMark mark)
        : rows_(rows.size())
        , facts_(factsOf(rows, width, mark))
    {
        for (std::size_t c = 0; c < width; ++c)
            keys_.push_back(c < titles.size() ? titleKey(titles[c]) : std::string());
    }

    bool taken(std::size_t c) const { return found_.roleOf(static_cast<int>(c)).has_value(); }

    // The untaken columns whose titles name the role and whose values fit it:
    // exact titles first, in the order of preference, then titles that begin
    // with one of the role's words ("Description 1").
    std::vector<std::size_t> byTitle(ColumnRole role) const
    {
        std::vector<std::size_t> out;
        for (std::string_view key : keysOf(role)) {
            for (std::size_t c = 0; c < keys_.size(); ++c) {
                if (keys_[c] == key && !taken(c) && fits(role, facts_[c], rows_, true))
                    out.push_back(c);
            }
        }
        for (std::string_view key : keysOf(role)) {
            for (std::size_t c = 0; c < keys_.size(); ++c) {
                const bool prefixed = key.size() >= 4 && keys_[c].size() > key.size() && keys_[c].starts_with(key);
                if (prefixed && !taken(c) && fits(role, facts_[c], rows_, true) && !listed(out, c))
                    out.push_back(c);
            }
        }
        return out;
    }

    bool takeByTitle(ColumnRole role)
    {
        const std::vector<std::size_t> candidates = byTitle(role);
        if (candidates.empty())
            return false;
        std::size_t pick = candidates.front();
        // A text column that says the same on every row describes the account,
        // not the row, when another column could serve.
        if ((role == ColumnRole::Payee || role == ColumnRole::Memo) && rows_ > 1) {
            for (std::size_t c : candidates) {
                if (!facts_[c].constant) {
                    pick = c;
                    break;
                }
            }
        }
        found_[role] = static_cast<int>(pick);
        return true;
    }

    // Untaken columns whose values alone fit the role.
    std::vector<std::size_t> byValues(ColumnRole role) const
    {
        std::vector<std::size_t> out;
        for (std::size_t c = 0; c < facts_.size(); ++c) {
            if (!taken(c) && facts_[c].filled > 0 && fits(role, facts_[c], rows_, false))
                out.push_back(c);
        }
        return out;
    }

    ColumnDetection run()
    {
        ColumnDetection result;
        bool guessed = false;
        // Dates first: a column of dates is never an amount or a payee.
        if (!takeByTitle(ColumnRole::Date)) {
            const auto dates = byValues(ColumnRole::Date);
            if (!dates.empty())
                found_.date = static_cast<int>(dates.front());
            guessed = dates.size() > 1;
        }
        const bool debitTitled = takeByTitle(ColumnRole::Debit);
        const bool creditTitled = takeByTitle(ColumnRole::Credit);
        if (debitTitled != creditTitled) {
            // Half a pair is no way of writing amounts.
            found_.debit = found_.credit = -1;
        }
        const bool pair = debitTitled && creditTitled;
        if (takeByTitle(ColumnRole::Amount)) {
            // A signed amount column says everything; debit and credit columns
            // beside it repeat it, except when it holds magnitudes only.
            if (pair && !facts_[static_cast<std::size_t>(found_.amount)].negative)
                found_.amount = -1;
            else
                found_.debit = found_.credit = -1;
        } else if (!pair) {
            const auto amounts = byValues(ColumnRole::Amount);
            std::vector<std::size_t> plain;
            for (std::size_t c : amounts) {
                if (!hasKey(balanceKeys, keys_[c]) && !hasKey(idKeys, keys_[c]) && !hasKey(checkKeys, keys_[c]))
                    plain.push_back(c);
            }
            if (!plain.empty())
                found_.amount = static_cast<int>(plain.front());
            guessed = guessed || plain.size() > 1;
        }
        if (found_.amount >= 0 && !facts_[static_cast<std::size_t>(found_.amount)].negative)
            takeByTitle(ColumnRole::Indicator);
        takeByTitle(ColumnRole::Balance);
        takeByTitle(ColumnRole::Id);
        takeByTitle(ColumnRole::Check);
        if (!takeByTitle(ColumnRole::Payee)) {
            // The text column with the most different values.
            std::size_t best = facts_.size();
            for (std::size_t c = 0; c < facts_.size(); ++c) {
                const ColumnFacts& f = facts_[c];
                const bool text = f.filled > 0 && f.dates < f.filled && f.amounts < f.filled;
                if (!taken(c) && text && (best == facts_.size() || f.distinct > facts_[best].distinct))
                    best = c;
            }
            if (best < facts_.size())
                found_.payee = static_cast<int>(best);
        }
        takeByTitle(ColumnRole::Memo);

        result.columns = found_;
        result.certain = found_.complete() && !guessed;
        for (std::size_t c = 0; c < keys_.size(); ++c) {
            const ColumnFacts& f = facts_[c];
            const bool code = f.first.size() == 3 && std::all_of(f.first.begin(), f.first.end(), [](char ch) {
                                  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
                              });
            if (!result.currency && hasKey(currencyKeys, keys_[c]) && f.constant && f.filled == rows_ && code)
                result.currency = f.first;
            const bool digit = f.first.find_first_of("0123456789") != std::string::npos;
            if (!result.accountId && hasKey(accountKeys, keys_[c]) && f.constant && f.filled == rows_ && digit)
                result.accountId = f.first;
            result.cardAccount = result.cardAccount || hasKey(cardKeys, keys_[c]);
        }
        if (result.currency) {
            for (char& ch : *result.currency)
                ch = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
        }
        return result;
    }

private:
    static bool listed(const std::vector<std::size_t>& list, std::size_t c)
    {
        return std::find(list.begin(), list.end(), c) != list.end();
    }

    std::size_t rows_;
    std::vector<ColumnFacts> facts_;
    std::vector<std::string> keys_;
    ColumnMap found_;
};

// "Amount (EUR)": a currency code in parentheses in a title.
std::optional<std::string> currencyInTitle(std::string_view title)
{
    const std::size_t open = title.find('(');
    if (open == std::string_view::npos || open + 4 >= title.size() || title[open + 4] != ')')
        return std::nullopt;
    std::string code(title.substr(open + 1, 3));
    for (char& ch : code) {
        if (ch < 'A' || ch > 'Z')
            return std::nullopt;
    }
    return code;
}

} // namespace

ColumnDetection detectColumns(const std::vector<std::string>& titles, const TableRows& rows, DecimalMark mark)
{
    std::size_t width = titles.size();
    for (const auto* fields : rows)
        width = std::max(width, fields->size());
    ColumnDetection result = Detector(titles, rows, width, mark).run();
    if (!result.currency && result.columns.amount >= 0
        && static_cast<std::size_t>(result.columns.amount) < titles.size())
        result.currency = currencyInTitle(titles[static_cast<std::size_t>(result.columns.amount)]);
    return result;
}

bool titleNames(ColumnRole role, std::string_view title)
{
    return hasKey(keysOf(role), titleKey(title));
}

bool isBlankAmount(std::string_view text)
{
    const std::string_view s = trimWhite(text);
    return s.empty() || s == "-" || s == "--" || s == "\xE2\x80\x94" || s == "\xE2\x80\x93";
}

std::optional<bool> indicatorSaysDebit(std::string_view text)
{
    static const Keys debits = {"debit", "dr", "d", "db", "withdrawal", "soll", "s", "cargo", "out", "-"};
    static const Keys credits = {"credit", "cr", "c", "deposit", "haben", "h", "abono", "in", "+"};
    const std::string word = foldLatin(trimWhite(text));
    if (hasKey(debits, word))
        return true;
    if (hasKey(credits, word))
        return false;
    return std::nullopt;
}

} // namespace scrivane
