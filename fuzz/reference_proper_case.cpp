#include "reference_proper_case.h"

#include "names/case_map.h"

namespace scrivane::fuzz {

namespace {

class Literal
{
public:
    explicit Literal(const CaseMap& map)
        : map_(map)
    {
    }

    std::u32string run(std::u32string text) const
    {
        // 1. A space in front of the text in lower case.
        std::u32string s = U" " + lower(text);
        // 2. Capitals after a space or a hyphen.
        for (std::size_t p = 2; p <= s.size(); ++p) {
            const char32_t before = at(s, p - 1);
            if (before == U' ' || before == U'-')
                upperAt(s, p);
        }
        // 3. One space on either side of the trimmed text.
        s = U" " + trim(s) + U" ";
        const std::size_t last = s.size() - 1;
        // 4. D', O' and Mc.
        for (std::size_t p = 1; p <= last; ++p) {
            const std::u32string_view t = mid(s, p, 3);
            if (t == U" D'" || t == U" O'" || t == U" Mc")
                upperAt(s, p + 3);
        }
        // 5. Von and Mac; von itself in lower case.
        for (std::size_t p = 1; p <= last; ++p) {
            const std::u32string_view t = mid(s, p, 4);
            if (t == U" Von" || t == U" Mac")
                upperAt(s, p + 4);
            if (t == U" Von")
                replace(s, p, U" von");
        }
        // 6. Fitz; LLC and INC as whole words in capitals.
        for (std::size_t p = 1; p <= last; ++p) {
            const std::u32string_view t = mid(s, p, 5);
            if (t == U" Fitz")
                upperAt(s, p + 5);
            if (lowerEquals(t, U" llc ") || lowerEquals(t, U" inc "))
                replace(s, p, upper(std::u32string(t)));
        }
        // 7.
        return trim(s);
    }

private:
    static char32_t at(const std::u32string& s, std::size_t p) { return s[p - 1]; }

    // A window of the working copy; it sees later changes, so it is read just before use.
    static std::u32string_view mid(const std::u32string& s, std::size_t p, std::size_t n)
    {
        return p - 1 < s.size() ? std::u32string_view(s).substr(p - 1, n) : std::u32string_view();
    }

    bool lowerEquals(std::u32string_view t, std::u32string_view word) const
    {
        if (t.size() != word.size())
            return false;
        for (std::size_t k = 0; k < t.size(); ++k) {
            if (map_.lower(t[k]) != word[k])
                return false;
        }
        return true;
    }

    static void replace(std::u32string& s, std::size_t p, std::u32string_view with)
    {
        for (std::size_t k = 0; k < with.size(); ++k)
            s[p - 1 + k] = with[k];
    }

    static std::u32string trim(const std::u32string& s)
    {
        const std::size_t first = s.find_first_not_of(U' ');
        if (first == std::u32string::npos)
            return {};
        return s.substr(first, s.find_last_not_of(U' ') - first + 1);
    }

    void upperAt(std::u32string& s, std::size_t p) const
    {
        if (p <= s.size())
            s[p - 1] = map_.upper(s[p - 1]);
    }

    std::u32string lower(std::u32string s) const
    {
        for (char32_t& c : s)
            c = map_.lower(c);
        return s;
    }

    std::u32string upper(std::u32string s) const
    {
        for (char32_t& c : s)
            c = map_.upper(c);
        return s;
    }

    const CaseMap& map_;
};

} // namespace

std::string referenceProperCase(std::string_view text, Charset charset)
{
    const CaseMap map(charset);
    return map.encode(Literal(map).run(map.decode(text)));
}

} // namespace scrivane::fuzz
