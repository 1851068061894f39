#include "proper_case.h"

#include <string_view>
#include <utility>

namespace scrivane {

namespace {

// The steps work on characters by position, so the same code serves bytes
// (ASCII and Windows-1252) and code points (UTF-8).
template <class Str>
class ProperCaser
{
public:
    using Char = typename Str::value_type;

    explicit ProperCaser(const CaseMap& map)
        : map_(map)
    {
    }

    // s has room for three more characters, so that no step copies it: a name
    // may be as long as the statement.
    Str run(Str s) const
    {
        for (Char& c : s)
            c = lower(c);
        s.insert(s.begin(), Char(' '));

        // Word starts: after a space or a hyphen.
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (s[i - 1] == Char(' ') || s[i - 1] == Char('-'))
                s[i] = upper(s[i]);
        }

        trim(s);
        s.insert(s.begin(), Char(' '));
        s.push_back(Char(' '));

        const std::size_t n = s.size();
        // Every pattern below starts with a space, so only spaces are tried.
        for (std::size_t i = 0; i + 1 < n; ++i) {
            if (s[i] != Char(' '))
                continue;
            if (matches(s, i, " D'") || matches(s, i, " O'") || matches(s, i, " Mc"))
                upperAt(s, i + 3);
        }
        for (std::size_t i = 0; i + 1 < n; ++i) {
            if (s[i] != Char(' '))
                continue;
            bool von = matches(s, i, " Von");
            if (von || matches(s, i, " Mac"))
                upperAt(s, i + 4);
            if (von)
                s[i + 1] = Char('v');
        }
        for (std::size_t i = 0; i + 1 < n; ++i) {
            if (s[i] != Char(' '))
                continue;
            if (matches(s, i, " Fitz"))
                upperAt(s, i + 5);
            if (matchesLowered(s, i, " llc ") || matchesLowered(s, i, " inc ")) {
                for (std::size_t k = i; k < i + 5; ++k)
                    s[k] = upper(s[k]);
            }
        }
        trim(s);
        return s;
    }

private:
    Char upper(Char c) const { return static_cast<Char>(map_.upper(static_cast<NameChar>(toUnit(c)))); }
    Char lower(Char c) const { return static_cast<Char>(map_.lower(static_cast<NameChar>(toUnit(c)))); }

    static NameChar toUnit(Char c)
    {
        if constexpr (sizeof(Char) == 1)
            return static_cast<unsigned char>(c);
        else
            return static_cast<NameChar>(c);
    }

    void upperAt(Str& s, std::size_t i) const
    {
        if (i < s.size())
            s[i] = upper(s[i]);
    }

    static bool matches(const Str& s, std::size_t at, std::string_view ascii)
    {
        if (at + ascii.size() > s.size())
            return false;
        for (std::size_t k = 0; k < ascii.size(); ++k) {
            if (s[at + k] != Char(ascii[k]))
                return false;
        }
        return true;
    }

    bool matchesLowered(const Str& s, std::size_t at, std::string_view ascii) const
    {
        if (at + ascii.size() > s.size())
            return false;
        for (std::size_t k = 0; k < ascii.size(); ++k) {
            if (lower(s[at + k]) != Char(ascii[k]))
                return false;
        }
        return true;
    }

    static void trim(Str& s)
    {
        std::size_t e = s.size();
        while (e > 0 && s[e - 1] == Char(' '))
            --e;
        s.resize(e);
        std::size_t b = 0;
        while (b < e && s[b] == Char(' '))
            ++b;
        s.erase(0, b);
    }

    const CaseMap& map_;
};

} // namespace

std::string properCase(std::string_view text, Charset charset)
{
    CaseMap map(charset);
    if (charset != Charset::Utf8 || isAscii(text)) {
        std::string s;
        s.reserve(text.size() + 3);
        s.assign(text);
        return ProperCaser<std::string>(map).run(std::move(s));
    }
    std::u32string chars = map.decode(text);
    chars.reserve(chars.size() + 3);
    return map.encode(ProperCaser<std::u32string>(map).run(std::move(chars)));
}

} // namespace scrivane
