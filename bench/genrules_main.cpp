// scrivane-genrules: writes a made-up set of payee rules as a rules file (CSV) to
// standard output, the same bytes for the same arguments, for the benchmarks.
//
//   scrivane-genrules --mix N [--seed S]       N rules, the four kinds in turn
//   scrivane-genrules --contains N [--seed S]  N contains rules
//
// Most rules name payees that no generated statement holds; four in a hundred
// name one that scrivane-genstatement writes, so that names are matched all
// through the list and not only by its first rules.

#include "generator/rng.h"
#include "rules/rules_csv.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace scrivane;

int usage()
{
    std::fputs("usage: scrivane-genrules --mix N | --contains N [--seed S]\n", stderr);
    return 2;
}

// Payees of generated statements, as each kind of rule would find them.
struct KnownPayee
{
    const char* contains;
    const char* begins;
    const char* exact;
    const char* pattern;
    const char* name;
};

const KnownPayee known[] = {
    {"bigmart", "pos purchase", "safeway", "SHELL\\s+OIL", "Bigmart"},
    {"whole foods", "ach debit", "target", "STARBUCKS|COSTCO", "Groceries"},
    {"verizon wireless", "check card", "home depot", "(?i)walgreens", "Verizon"},
    {"acme corp", "debit card", "kroger", "^AT&T", "Acme Corporation"},
    {"state farm", "ach credit", "best buy", "O'REILLY", "State Farm Insurance"},
};

// A word that no generated statement holds: "ZQ" and letters drawn from the seed.
std::string madeUpWord(gen::Rng& rng)
{
    std::string word = "ZQ";
    for (int k = 0; k < 5; ++k)
        word.push_back(static_cast<char>('A' + rng.below(26)));
    return word;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t count = 0;
    bool mix = false;
    std::uint64_t seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view arg = argv[i];
        const std::string_view value = argv[i + 1];
        std::uint64_t number = 0;
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size())
            return usage();
        if (arg == "--mix" || arg == "--contains") {
            mix = arg == "--mix";
            count = number;
        } else if (arg == "--seed") {
            seed = number;
        } else {
            return usage();
        }
    }
    if (count == 0 || argc % 2 == 0)
        return usage();

    gen::Rng rng(seed);
    std::vector<PayeeRule> rules;
    rules.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto kind = mix ? static_cast<MatchKind>(i % 4) : MatchKind::Contains;
        PayeeRule rule {kind, {}, {}};
        if (i % 100 >= 96) {
            const KnownPayee& payee = known[rng.below(std::size(known))];
            rule.text = kind == MatchKind::Contains ? payee.contains
                : kind == MatchKind::Begins         ? payee.begins
                : kind == MatchKind::Exact          ? payee.exact
                                                    : payee.pattern;
            rule.name = payee.name;
        } else {
            const std::string word = madeUpWord(rng);
            rule.text = kind == MatchKind::Pattern ? "^POS " + word + "\\b \\d+" : word + " " + madeUpWord(rng);
            rule.name = word + " Supplies";
        }
        rules.push_back(std::move(rule));
    }
    const std::string file = writeRulesCsv(rules);
    std::fwrite(file.data(), 1, file.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
