#include "rule_set.h"

#include "rule_text.h"
#include "statement/text.h"

#include <re2/re2.h>
#include <re2/set.h>

#include <algorithm>
#include <array>
#include <limits>

namespace scrivane {

namespace {

constexpr std::uint32_t noRule = std::numeric_limits<std::uint32_t>::max();

// Patterns compile on their own with RE2's default budget; the set that runs
// them all at once gets room for a few thousand of them. RE2 takes the memory
// only as it needs it.
constexpr std::int64_t patternSetMemory = std::int64_t(256) << 20;

RE2::Options patternOptions()
{
    RE2::Options options;
    options.set_log_errors(false);
    return options;
}

// Folded texts to numbers, for the few lookups each name makes: open addressing
// over a power-of-two table, with a hash that costs a few instructions a byte.
// The texts must outlive the table.
class TextTable
{
public:
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    // The value of text, or noRule.
    std::uint32_t find(std::string_view text) const
    {
        if (slots_.empty())
            return noRule;
        const std::uint64_t h = hash(text);
        if (!filter_.empty() && !mayHold(h))
            return noRule;
        for (std::size_t i = h & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot slot = slots_[i];
            if (slot.entry == 0)
                return noRule;
            const Entry& entry = entries_[slot.entry - 1];
            if (slot.check == static_cast<std::uint32_t>(h >> 32) && entry.text() == text)
                return entry.value;
        }
    }

    // Room for n texts without growing.
    void reserve(std::size_t n)
    {
        entries_.reserve(n);
        std::size_t slots = 16;
        while (slots < n * 2)
            slots *= 2;
        if (slots > slots_.size()) {
            slots_.assign(slots, Slot {});
            for (std::size_t e = 1; e <= entries_.size(); ++e)
                place(e);
        }
    }

    // Made once every text is in: a filter small enough to stay in the cache
    // turns away nearly every text that is not in the table (a name's words
    // mostly are not) without a look into the table itself.
    void finish()
    {
        std::size_t bits = 1024;
        while (bits < entries_.size() * 16)
            bits *= 2;
        filter_.assign(bits / 64, 0);
        for (const Entry& entry : entries_) {
            for (const std::size_t bit : filterBits(hash(entry.text())))
                filter_[bit / 64] |= std::uint64_t(1) << (bit % 64);
        }
    }

    // The value text already has, or value after giving it that.
    std::uint32_t insert(std::string_view text, std::uint32_t value)
    {
        if (const std::uint32_t found = find(text); found != noRule)
            return found;
        if ((entries_.size() + 1) * 2 > slots_.size())
            grow();
        entries_.push_back({text.data(), static_cast<std::uint32_t>(text.size()), value});
        place(entries_.size());
        return value;
    }

private:
    struct Slot
    {
        std::uint32_t check = 0; // the hash's high half
        std::uint32_t entry = 0; // counting from 1; 0 for an empty slot
    };
    // Sixteen bytes: a hundred thousand rules' words stay small in memory, and
    // the hash is made again where it is needed.
    struct Entry
    {
        const char* data;
        std::uint32_t size;
        std::uint32_t value;
        std::string_view text() const { return {data, size}; }
    };

    // FNV-1a, its high bits folded into the low ones that pick the slot.
    std::array<std::size_t, 2> filterBits(std::uint64_t h) const
    {
        const std::size_t mask = filter_.size() * 64 - 1;
        return {(h >> 7) & mask, ((h >> 32) ^ (h >> 45)) & mask};
    }

    // FNV-1a, its high bits folded into the low ones that pick the slot.
    static std::uint64_t hash(std::string_view text)
    {
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (const char c : text)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
        return h ^ (h >> 29);
    }

    bool mayHold(std::uint64_t h) const
    {
        for (const std::size_t bit : filterBits(h)) {
            if (!(filter_[bit / 64] & (std::uint64_t(1) << (bit % 64))))
                return false;
        }
        return true;
    }

    void place(std::size_t entry)
    {
        const std::uint64_t h = hash(entries_[entry - 1].text());
        std::size_t i = h & (slots_.size() - 1);
        while (slots_[i].entry != 0)
            i = (i + 1) & (slots_.size() - 1);
        slots_[i] = {static_cast<std::uint32_t>(h >> 32), static_cast<std::uint32_t>(entry)};
    }

    void grow()
    {
        slots_.assign(std::max<std::size_t>(16, slots_.size() * 2), Slot {});
        for (std::size_t e = 1; e <= entries_.size(); ++e)
            place(e);
    }

    std::vector<Slot> slots_;
    std::vector<Entry> entries_;
    std::vector<std::uint64_t> filter_;
};

// A tree of the begins texts' bytes, each node's children in one run of the
// child arrays, sorted by byte.
struct PrefixTree
{
    struct Node
    {
        std::uint32_t rule = noRule; // the first rule whose text ends here
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };
    std::vector<Node> nodes;
    std::vector<unsigned char> childByte;
    std::vector<std::uint32_t> childNode;

    std::uint32_t child(std::uint32_t node, unsigned char byte) const
    {
        const Node& n = nodes[node];
        const auto begin = childByte.begin() + n.first;
        const auto end = begin + n.count;
        const auto it = std::lower_bound(begin, end, byte);
        return it != end && *it == byte ? childNode[n.first + (it - begin)] : noRule;
    }

    // Built from the texts sorted, so that each node's children come in order.
    void build(std::vector<std::pair<std::string_view, std::uint32_t>> texts)
    {
        std::sort(texts.begin(), texts.end());
        nodes.assign(1, Node {});
        std::vector<std::vector<std::pair<unsigned char, std::uint32_t>>> children(1);
        for (const auto& [text, rule] : texts) {
            std::uint32_t node = 0;
            for (const char c : text) {
                const auto byte = static_cast<unsigned char>(c);
                auto& list = children[node];
                if (list.empty() || list.back().first != byte) {
                    list.emplace_back(byte, static_cast<std::uint32_t>(nodes.size()));
                    nodes.emplace_back();
                    children.emplace_back();
                }
                node = children[node].back().second;
            }
            nodes[node].rule = std::min(nodes[node].rule, rule);
        }
        for (std::size_t n = 0; n < nodes.size(); ++n) {
            nodes[n].first = static_cast<std::uint32_t>(childByte.size());
            nodes[n].count = static_cast<std::uint32_t>(children[n].size());
            for (const auto& [byte, node] : children[n]) {
                childByte.push_back(byte);
                childNode.push_back(node);
            }
        }
    }
};

} // namespace

struct RuleSet::Index
{
    std::vector<PayeeRule> rules;
    // The folded texts one after another; the maps below view into it.
    std::string folded;
    // The first rule of each kind: a name whose best match so far comes earlier
    // need not look at that kind at all.
    std::uint32_t firstOf[4] = {noRule, noRule, noRule, noRule};

    // Contains: each rule is listed under one of its words only, the one fewest
    // rules share, and checked for the others when a name holds that word.
    // Both lists are flat: a rule's words (or a word's rules) are the run from
    // its start to the next one's.
    TextTable wordIds;
    std::vector<std::uint32_t> wordsStart; // by rule
    std::vector<std::uint32_t> words; // word ids, sorted within each rule
    std::vector<std::uint32_t> keyedStart; // by word id
    std::vector<std::uint32_t> keyed; // rules, in order within each word

    // Exact: the folded text, first rule only.
    TextTable exact;

    PrefixTree begins;

    std::unique_ptr<RE2::Set> patterns;
    std::vector<std::uint32_t> patternRules; // by position in the set: the rule

    bool has(MatchKind kind) const { return firstOf[static_cast<int>(kind)] != noRule; }
    std::uint32_t first(MatchKind kind) const { return firstOf[static_cast<int>(kind)]; }
};

RuleSet::RuleSet()
    : index_(std::make_unique<Index>())
{
}

RuleSet::~RuleSet() = default;
RuleSet::RuleSet(RuleSet&&) noexcept = default;
RuleSet& RuleSet::operator=(RuleSet&&) noexcept = default;

bool RuleSet::empty() const
{
    return index_->rules.empty();
}

std::size_t RuleSet::size() const
{
    return index_->rules.size();
}

const PayeeRule& RuleSet::rule(std::size_t index) const
{
    return index_->rules[index];
}

std::variant<RuleSet, RuleError> RuleSet::compile(std::vector<PayeeRule> rules, Checked checked)
{
    for (std::size_t i = 0; i < rules.size() && checked == Checked::No; ++i) {
        if (std::optional<RuleProblem> problem = ruleProblem(rules[i]))
            return RuleError {i + 1, describeRule(i + 1, rules[i]) + " " + problem->reason + "."};
    }
    RuleSet set;
    Index& x = *set.index_;
    x.rules = std::move(rules);
    const auto count = static_cast<std::uint32_t>(x.rules.size());

    // Every text folded first, so that views into the whole stay valid; rule i's
    // runs from foldedStart[i] to foldedStart[i + 1].
    std::vector<std::size_t> foldedStart(count + 1);
    std::size_t textBytes = 0;
    for (const PayeeRule& rule : x.rules)
        textBytes += rule.text.size() + 1;
    x.folded.reserve(textBytes);
    for (std::uint32_t i = 0; i < count; ++i) {
        const PayeeRule& rule = x.rules[i];
        auto& firstOfKind = x.firstOf[static_cast<int>(rule.match)];
        firstOfKind = std::min(firstOfKind, i);
        foldedStart[i] = x.folded.size();
        if (rule.match != MatchKind::Pattern)
            foldText(rule.text, rule.match != MatchKind::Begins, x.folded);
    }
    foldedStart[count] = x.folded.size();
    auto foldedText = [&](std::uint32_t i) {
        return std::string_view(x.folded).substr(foldedStart[i], foldedStart[i + 1] - foldedStart[i]);
    };

    std::vector<std::string_view> found;
    std::vector<std::pair<std::string_view, std::uint32_t>> prefixes;
    // About two words to a rule.
    x.wordIds.reserve(2 * count);
    x.words.reserve(2 * count);
    x.wordsStart.reserve(count + 1);
    for (std::uint32_t i = 0; i < count; ++i) {
        const PayeeRule& rule = x.rules[i];
        x.wordsStart.push_back(static_cast<std::uint32_t>(x.words.size()));
        switch (rule.match) {
        case MatchKind::Contains: {
            splitFoldedWords(foldedText(i), found);
            for (std::string_view word : found)
                x.words.push_back(x.wordIds.insert(word, static_cast<std::uint32_t>(x.wordIds.size())));
            // A word said twice counts once.
            const auto begin = x.words.begin() + x.wordsStart.back();
            std::sort(begin, x.words.end());
            x.words.erase(std::unique(begin, x.words.end()), x.words.end());
            break;
        }
        case MatchKind::Exact:
            x.exact.insert(foldedText(i), i);
            break;
        case MatchKind::Begins:
            prefixes.emplace_back(foldedText(i), i);
            break;
        case MatchKind::Pattern:
            if (!x.patterns) {
                RE2::Options options = patternOptions();
                options.set_max_mem(patternSetMemory);
                x.patterns = std::make_unique<RE2::Set>(options, RE2::UNANCHORED);
            }
            if (x.patterns->Add(rule.text, nullptr) < 0)
                return RuleError {i + 1, describeRule(i + 1, rule) + " has a pattern that does not compile."};
            x.patternRules.push_back(i);
            break;
        }
    }
    x.wordsStart.push_back(static_cast<std::uint32_t>(x.words.size()));
    x.wordIds.finish();
    x.exact.finish();
    x.begins.build(std::move(prefixes));

    // Each contains rule goes under its rarest word, so that a common word such
    // as "the" or "payment" brings up few rules to check.
    const std::size_t wordCount = x.wordIds.size();
    std::vector<std::uint32_t> share(wordCount, 0);
    for (std::uint32_t id : x.words)
        ++share[id];
    std::vector<std::uint32_t> key(count, noRule);
    x.keyedStart.assign(wordCount + 1, 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto begin = x.words.begin() + x.wordsStart[i];
        const auto end = x.words.begin() + x.wordsStart[i + 1];
        if (begin == end)
            continue;
        key[i] = *std::min_element(begin, end, [&](auto a, auto b) { return share[a] < share[b]; });
        ++x.keyedStart[key[i] + 1];
    }
    for (std::size_t w = 0; w < wordCount; ++w)
        x.keyedStart[w + 1] += x.keyedStart[w];
    x.keyed.resize(x.keyedStart.back());
    // The shares are spent: the same room now holds where each word's next rule goes.
    std::copy(x.keyedStart.begin(), x.keyedStart.end() - 1, share.begin());
    for (std::uint32_t i = 0; i < count; ++i) {
        if (key[i] != noRule)
            x.keyed[share[key[i]]++] = i;
    }

    if (x.patterns && !x.patterns->Compile())
        return RuleError {x.patternRules.back() + 1,
                          "The patterns of the rules are too many or too large to search for together."};
    return set;
}

RuleMatcher::RuleMatcher(const RuleSet& rules)
    : index_(rules.index_.get())
{
}

RuleMatcher::~RuleMatcher() = default;

std::optional<std::size_t> RuleMatcher::firstMatch(std::string_view name)
{
    const RuleSet::Index& x = *index_;
    if (x.rules.empty())
        return std::nullopt;
    std::uint32_t best = noRule;
    if (x.has(MatchKind::Contains) || x.has(MatchKind::Exact) || x.has(MatchKind::Begins)) {
        folded_.clear();
        foldText(name, true, folded_);
    }
    if (x.has(MatchKind::Exact)) {
        best = x.exact.find(folded_);
    }
    if (x.first(MatchKind::Begins) < best) {
        std::uint32_t node = 0;
        for (const char c : folded_) {
            best = std::min(best, x.begins.nodes[node].rule);
            node = x.begins.child(node, static_cast<unsigned char>(c));
            if (node == noRule)
                break;
        }
        if (node != noRule)
            best = std::min(best, x.begins.nodes[node].rule);
    }
    if (x.first(MatchKind::Contains) < best) {
        splitFoldedWords(folded_, words_);
        present_.clear();
        for (std::string_view word : words_) {
            if (const std::uint32_t id = x.wordIds.find(word); id != noRule)
                present_.push_back(id);
        }
        std::sort(present_.begin(), present_.end());
        present_.erase(std::unique(present_.begin(), present_.end()), present_.end());
        for (std::uint32_t id : present_) {
            for (std::uint32_t k = x.keyedStart[id]; k < x.keyedStart[id + 1]; ++k) {
                const std::uint32_t rule = x.keyed[k];
                if (rule >= best)
                    break;
                const auto needed = x.words.begin() + x.wordsStart[rule];
                const auto neededEnd = x.words.begin() + x.wordsStart[rule + 1];
                if (std::includes(present_.begin(), present_.end(), needed, neededEnd)) {
                    best = rule;
                    break;
                }
            }
        }
    }
    if (x.first(MatchKind::Pattern) < best) {
        const std::string_view text = trimBlanks(name);
        RE2::Set::ErrorInfo error {RE2::Set::kNoError};
        // Asking only whether some pattern matches lets RE2 stop at the first
        // one and keeps it from making a list, which most names never need.
        if (x.patterns->Match(text, nullptr, &error)) {
            patternHits_.clear();
            x.patterns->Match(text, &patternHits_, &error);
            for (int hit : patternHits_)
                best = std::min(best, x.patternRules[static_cast<std::size_t>(hit)]);
        }
        if (error.kind != RE2::Set::kNoError) {
            // The set's automaton ran out of room on this name: the patterns that
            // could still win are tried one by one, which RE2 always completes.
            for (std::uint32_t rule : x.patternRules) {
                if (rule >= best)
                    break;
                const RE2 pattern(x.rules[rule].text, patternOptions());
                if (RE2::PartialMatch(text, pattern)) {
                    best = rule;
                    break;
                }
            }
        }
    }
    if (best == noRule)
        return std::nullopt;
    return best;
}

} // namespace scrivane
