// Payee rules against names: the indexed first match must be the one that
// trying every rule in the user's order finds, and every name a rule writes must
// read back, in each character set and form, as the name the user typed.
//
// Input: byte 0 the number of rules (low four bits), bits 4-5 the character
// set (0 ASCII, 1 Windows-1252, else UTF-8), bit 6 the XML form; then each rule
// as a kind byte (low two bits), a length byte and the text, a length byte and
// the name; the rest is names, one to a line.

#include "fuzz_input.h"
#include "invariants.h"

#include "rules/payee_renamer.h"
#include "rules/rule_set.h"
#include "rules/rule_text.h"
#include "statement/text.h"

#include <re2/re2.h>

#include <algorithm>
#include <cstdint>

using namespace scrivane;
using namespace scrivane::fuzz;

namespace {

std::string folded(std::string_view text, bool trimEnd)
{
    std::string out;
    foldText(text, trimEnd, out);
    return out;
}

bool matches(const PayeeRule& rule, std::string_view name)
{
    switch (rule.match) {
    case MatchKind::Contains: {
        const std::string foldedName = folded(name, true);
        const std::string foldedText = folded(rule.text, true);
        std::vector<std::string_view> nameWords, textWords;
        splitFoldedWords(foldedName, nameWords);
        splitFoldedWords(foldedText, textWords);
        return std::all_of(textWords.begin(), textWords.end(), [&](std::string_view word) {
            return std::find(nameWords.begin(), nameWords.end(), word) != nameWords.end();
        });
    }
    case MatchKind::Begins:
        return folded(name, true).starts_with(folded(rule.text, false));
    case MatchKind::Exact:
        return folded(name, true) == folded(rule.text, true);
    case MatchKind::Pattern: {
        RE2::Options options;
        options.set_log_errors(false);
        return RE2::PartialMatch(trimBlanks(name), RE2(rule.text, options));
    }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::uint8_t head = in.byte();
    const Charset charset = (head >> 4 & 3) == 0 ? Charset::Ascii
        : (head >> 4 & 3) == 1                   ? Charset::Windows1252
                                                 : Charset::Utf8;
    const bool xml = head & 0x40;
    std::vector<PayeeRule> rules(head & 0x0F);
    for (PayeeRule& rule : rules) {
        rule.match = static_cast<MatchKind>(in.byte() & 3);
        rule.text = in.take(in.byte());
        rule.name = in.take(in.byte());
    }
    auto compiled = RuleSet::compile(rules);
    if (auto* error = std::get_if<RuleError>(&compiled)) {
        FUZZ_CHECK(error->number >= 1 && error->number <= rules.size(), "an error names a rule of the list");
        FUZZ_CHECK(ruleProblem(rules[error->number - 1]), "the rule named is one that cannot be used");
        return 0;
    }
    const RuleSet& set = std::get<RuleSet>(compiled);

    PayeeRenamer renamer(set, charset, xml);
    std::string decoded;
    for (std::string_view rest = in.rest(); !rest.empty();) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view value = trimSpaces(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));

        decoded.clear();
        decodePayeeValue(value, false, charset, decoded);
        FUZZ_CHECK(isValidUtf8(decoded), "a value reads as UTF-8 whatever its bytes");
        std::optional<std::size_t> expected;
        for (std::size_t i = 0; i < rules.size() && !expected; ++i) {
            if (matches(rules[i], decoded))
                expected = i;
        }
        FUZZ_CHECK(renamer.match(value, false) == expected, "the first rule in order that matches wins");
    }

    for (const PayeeRule& rule : rules) {
        std::string written;
        if (encodePayeeValue(rule.name, charset, xml, false, written))
            continue;
        FUZZ_CHECK(written.find('<') == std::string::npos, "a written name opens no tag");
        decoded.clear();
        decodePayeeValue(written, false, charset, decoded);
        FUZZ_CHECK(decoded == trimSpaces(rule.name), "a written name reads back as typed");
    }
    return 0;
}
