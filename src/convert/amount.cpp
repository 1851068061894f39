#include "amount.h"

#include "text_fold.h"

#include <limits>

namespace scrivane {

namespace {

constexpr int maxDigits = 18; // what an int64 holds whatever the digits

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Currency signs that stand before or after the digits.
constexpr std::string_view currencySigns[] = {
    "$",
    "\xE2\x82\xAC",
    "\xC2\xA3",
    "\xC2\xA5",
    "\xE2\x82\xB9",
    "\xE2\x82\xBD",
    "\xE2\x82\xA9",
    "\xE2\x82\xAA",
    "\xE2\x82\xBA",
    "\xE2\x82\xAB",
    "\xE2\x82\xB1",
    "\xC2\xA2",
    "\xE2\x82\xB4",
    "\xE2\x82\xA6",
    "\xE2\x82\xB2",
};
// Minus signs: the hyphen and the typographic minus.
constexpr std::string_view minusSigns[] = {"-", "\xE2\x88\x92"};
// Characters that separate groups of three digits besides the other mark.
constexpr std::string_view groupSeparators[] = {
    "'",
    "\xE2\x80\x99",
    " ",
    "\xC2\xA0",
    "\xE2\x80\xAF",
    "\xE2\x80\x89",
};

bool takeFront(std::string_view& s, std::string_view token)
{
    if (!s.starts_with(token))
        return false;
    s.remove_prefix(token.size());
    return true;
}

bool takeBack(std::string_view& s, std::string_view token)
{
    if (!s.ends_with(token))
        return false;
    s.remove_suffix(token.size());
    return true;
}

// Currency codes and abbreviations that banks write beside amounts; a closed
// list, so that "INV-1" or "ATM 5" never read as money.
constexpr std::string_view currencyCodes[] = {
    "usd", "eur", "gbp", "chf", "cad", "aud", "nzd", "jpy", "cny", "hkd", "sgd", "inr", "sek", "nok", "dkk",
    "isk", "pln", "czk", "huf", "ron", "bgn", "try", "mxn", "brl", "ars", "clp", "cop", "pen", "zar", "ils",
    "krw", "twd", "thb", "php", "idr", "myr", "aed", "sar", "kr",  "fr",  "zl",  "us",  "r",
};

bool isCurrencyCode(std::string_view letters)
{
    if (letters.size() > 3)
        return false;
    char folded[3];
    for (std::size_t i = 0; i < letters.size(); ++i)
        folded[i] = static_cast<char>(letters[i] | 0x20);
    for (std::string_view code : currencyCodes) {
        if (std::string_view(folded, letters.size()) == code)
            return true;
    }
    return false;
}

// A currency code before the digits, followed by a dot or not ("Fr.").
bool takeCodeFront(std::string_view& s)
{
    std::size_t n = 0;
    while (n < s.size() && isAsciiLetter(s[n]))
        ++n;
    if (n == 0 || !isCurrencyCode(s.substr(0, n)))
        return false;
    if (n < s.size() && s[n] == '.')
        ++n;
    s.remove_prefix(n);
    return true;
}

bool takeCodeBack(std::string_view& s)
{
    std::size_t end = s.size();
    if (end > 0 && s[end - 1] == '.')
        --end;
    std::size_t n = 0;
    while (n < end && isAsciiLetter(s[end - 1 - n]))
        ++n;
    if (n == 0 || !isCurrencyCode(s.substr(end - n, n)))
        return false;
    s.remove_suffix(s.size() - (end - n));
    return true;
}

bool fail(std::string* problem, std::string why)
{
    if (problem)
        *problem = std::move(why);
    return false;
}

// The digits between the signs: groups and at most one decimal mark.
bool readDigits(std::string_view core, char decimal, Amount& out, std::string* problem)
{
    const char other = decimal == '.' ? ',' : '.';
    std::string digits;
    int scale = -1;
    std::size_t groupLength = 0; // digits since the last group separator
    bool grouped = false;
    std::size_t at = 0;
    while (at < core.size()) {
        const char c = core[at];
        if (isDigit(c)) {
            digits.push_back(c);
            ++groupLength;
            if (scale >= 0)
                ++scale;
            ++at;
            continue;
        }
        if (c == decimal) {
            if (scale >= 0)
                return fail(problem, "it has two decimal marks");
            if (grouped && groupLength != 3)
                return fail(problem, "its digits are grouped unevenly");
            scale = 0;
            ++at;
            continue;
        }
        std::size_t separatorLength = c == other ? 1 : 0;
        for (std::string_view sep : groupSeparators) {
            if (separatorLength == 0 && core.substr(at).starts_with(sep))
                separatorLength = sep.size();
        }
        if (separatorLength == 0)
            return fail(problem, "it holds characters that are not part of an amount");
        // A separator stands between digits, after a first group of one to three
        // (two or three for the lakh grouping) and before the decimal mark.
        if (scale >= 0 || digits.empty() || (grouped ? groupLength < 2 || groupLength > 3 : groupLength > 3))
            return fail(problem, "its digits are grouped unevenly");
        grouped = true;
        groupLength = 0;
        at += separatorLength;
    }
    if (digits.empty())
        return fail(problem, "it holds no digits");
    if (grouped && scale < 0 && groupLength != 3)
        return fail(problem, "its digits are grouped unevenly");
    if (scale < 0)
        scale = 0;
    std::size_t first = 0;
    while (first + 1 < digits.size() - static_cast<std::size_t>(scale) && digits[first] == '0')
        ++first;
    if (digits.size() - first > maxDigits)
        return fail(problem, "it has more digits than any statement holds");
    std::int64_t units = 0;
    for (std::size_t i = first; i < digits.size(); ++i)
        units = units * 10 + (digits[i] - '0');
    out = {units, scale};
    return true;
}

} // namespace

bool Amount::operator==(const Amount& other) const
{
    // Scales up to 18 digits: compare at the larger scale in 128 bits.
    const int common = scale > other.scale ? scale : other.scale;
    const __int128 a = static_cast<__int128>(units) * pow10(common - scale);
    const __int128 b = static_cast<__int128>(other.units) * pow10(common - other.scale);
    return a == b;
}

std::string ofxAmount(Amount amount)
{
    int scale = amount.scale;
    std::int64_t units = amount.units;
    while (scale > 2 && units % 10 == 0) {
        units /= 10;
        --scale;
    }
    const std::uint64_t size = units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    std::string digits = std::to_string(size);
    if (scale < 2) {
        digits.append(static_cast<std::size_t>(2 - scale), '0');
        scale = 2;
    }
    if (digits.size() <= static_cast<std::size_t>(scale))
        digits.insert(0, static_cast<std::size_t>(scale) - digits.size() + 1, '0');
    digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, '.');
    return units < 0 ? "-" + digits : digits;
}

std::optional<Amount> parseAmount(std::string_view text, DecimalMark mark, std::string* problem)
{
    std::string_view s = trimWhite(text);
    if (s.empty()) {
        fail(problem, "it is empty");
        return std::nullopt;
    }
    bool minus = false;
    bool plus = false;
    bool parentheses = false;
    // Peel signs, currency and parentheses off both ends until only digits and
    // separators are left; each may come once.
    bool peeled = true;
    bool symbol = false;
    bool code = false;
    while (peeled && !s.empty()) {
        peeled = false;
        for (std::string_view sign : minusSigns) {
            if (!minus && !plus && (takeFront(s, sign) || takeBack(s, sign)))
                minus = peeled = true;
        }
        if (!minus && !plus && (takeFront(s, "+") || takeBack(s, "+")))
            plus = peeled = true;
        if (!parentheses && s.starts_with('(') && s.ends_with(')') && s.size() >= 2) {
            s = s.substr(1, s.size() - 2);
            parentheses = peeled = true;
        }
        if (!minus && !plus && s.size() > 2) {
            const std::string tail {static_cast<char>(s[s.size() - 2] | 0x20),
                                    static_cast<char>(s[s.size() - 1] | 0x20)};
            const bool afterDigitsOrSpace = s[s.size() - 3] == ' ' || isDigit(s[s.size() - 3]);
            if (afterDigitsOrSpace && (tail == "cr" || tail == "dr")) {
                s.remove_suffix(2);
                minus = tail == "dr";
                plus = !minus;
                peeled = true;
            }
        }
        // "R$" and "US$" are a code and a sign; anything else has one of them.
        for (std::string_view sign : currencySigns) {
            if (!symbol && (takeFront(s, sign) || takeBack(s, sign)))
                symbol = peeled = true;
        }
        if (!code && (takeCodeFront(s) || takeCodeBack(s)))
            code = peeled = true;
        s = trimWhite(s);
    }
    if (minus && parentheses) {
        fail(problem, "it is negative twice over");
        return std::nullopt;
    }
    Amount amount;
    if (!readDigits(s, mark == DecimalMark::Point ? '.' : ',', amount, problem))
        return std::nullopt;
    return minus || parentheses ? amount.negated() : amount;
}

std::optional<DecimalMark> decimalMarkOf(std::string_view text)
{
    const std::size_t point = text.rfind('.');
    const std::size_t comma = text.rfind(',');
    if (point != std::string_view::npos && comma != std::string_view::npos)
        return point > comma ? DecimalMark::Point : DecimalMark::Comma;
    const std::size_t last = point != std::string_view::npos ? point : comma;
    if (last == std::string_view::npos)
        return std::nullopt;
    const char mark = text[last];
    const DecimalMark as = mark == '.' ? DecimalMark::Point : DecimalMark::Comma;
    const DecimalMark otherwise = mark == '.' ? DecimalMark::Comma : DecimalMark::Point;
    if (text.find(mark) != last)
        return otherwise;
    std::size_t digitsAfter = 0;
    while (last + 1 + digitsAfter < text.size() && isDigit(text[last + 1 + digitsAfter]))
        ++digitsAfter;
    if (digitsAfter == 3)
        return std::nullopt;
    return digitsAfter > 0 ? std::optional(as) : std::nullopt;
}

void DecimalMarkVotes::add(std::string_view text)
{
    if (const auto mark = decimalMarkOf(text))
        ++(*mark == DecimalMark::Point ? point : comma);
}

} // namespace scrivane
