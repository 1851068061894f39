#include "fitid.h"

#include "statement/text.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace scrivane {

namespace {

// What OFX allows a FITID to hold.
constexpr std::size_t fitidLength = 255;

struct Fnv1a
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;

    void add(std::string_view bytes)
    {
        for (char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
    }
};

} // namespace

std::string
hashedFitid(std::string_view accountId, Date date, Amount amount, std::string_view payee, std::size_t occurrence)
{
    constexpr std::string_view unitSeparator = "\x1F";
    Fnv1a fnv;
    fnv.add(accountId);
    fnv.add(unitSeparator);
    fnv.add(ofxDate(date));
    fnv.add(unitSeparator);
    fnv.add(ofxAmount(amount));
    fnv.add(unitSeparator);
    fnv.add(trimSpaces(payee));
    fnv.add(unitSeparator);
    fnv.add(std::to_string(occurrence));
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(fnv.hash));
    return hex;
}

void assignFitids(BankStatement& statement)
{
    std::unordered_map<std::string, std::size_t> occurrences;
    std::unordered_map<std::string, std::size_t> bankIds;
    std::unordered_set<std::string> given;
    for (const Transaction& t : statement.transactions) {
        if (!t.bankId.empty())
            given.insert(t.bankId);
    }
    for (Transaction& t : statement.transactions) {
        if (!t.bankId.empty() && t.bankId.size() <= fitidLength - 8) {
            const std::size_t seen = ++bankIds[t.bankId];
            t.fitid = t.bankId;
            // A repeated id takes the next suffix that no row already has.
            for (std::size_t n = seen; n > 1 && given.count(t.fitid); ++n)
                t.fitid = t.bankId + "-" + std::to_string(n);
            given.insert(t.fitid);
            continue;
        }
        const std::string same
            = ofxDate(t.date) + "\x1F" + ofxAmount(t.amount) + "\x1F" + std::string(trimSpaces(t.payee));
        const std::size_t occurrence = ++occurrences[same];
        t.fitid = hashedFitid(statement.accountId, t.date, t.amount, t.payee, occurrence);
    }
}

} // namespace scrivane
