#include "locale_rules.h"

#include "statement/text.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>

// The numeric test. A word is a number when, after dropping spaces, tabs, CR and
// LF around it, it matches
//
//     number   := "(" inner ")" | inner              parentheses mean negative
//     inner    := affix* mantissa exponent? affix*   at most one sign, at most one
//                                                    currency symbol in all
//     affix    := "+" | "-" | currency
//     mantissa := digits ( group digits )* ( decimal digit* )?
//               | decimal digit+
//     exponent := ( "e" | "E" ) ( "+" | "-" )? digit+
//
// where decimal, group and currency are the locale's decimal point, thousands
// separator and currency symbol, and a group separator stands only between two
// digits. So "1234", "57442", "-12.50", "$1,234.00", "12.50-" and "(7)" are
// numbers; "12A", "#", "-", "1,,2" and "" are not.
//
// The date test. A word is a date or a time when, trimmed the same way, it matches
// one of
//
//     a b          month and day, in either order
//     a b c        month, day and year, month and day in either order; or year,
//                  month and day when the first number has four digits, or in a
//                  locale that writes the year first
//     D Mon [Y]    day, month name and year in any of the orders D-Mon-Y,
//     Mon D [Y]    Mon-D-Y; or month name and a four-digit year (Mon-Y, Y-Mon)
//     time         h:mm, h:mm:ss, either with an AM/PM designator, or h AM/PM
//
// where the parts are separated by one kind of separator, "/", "-" or ".", used
// throughout (a date with a month name may use "," instead, an abbreviated month
// name may carry its own "." or leave it out, and month names may stand directly
// against their numbers, as in "25DEC2012"); numbers are digits only; month names
// are the locale's or the English full or abbreviated names, their ASCII letters in
// any letter case (a letter outside ASCII must match exactly); a year has one, two
// or four digits; and the day must exist in that month (29 February always passes).
// So "03/15", "15/03", "12/25/2012", "25.12.2012", "2012-12-25", "25-Dec-2012",
// "DEC25" and "10:30PM" are dates in every locale; "ACME", "13/45" and "1/2/3/4"
// are not.

namespace scrivane {

const LocaleRules& LocaleRules::enUS()
{
    static const LocaleRules rules;
    return rules;
}

const LocaleRules& LocaleRules::invariant()
{
    static const LocaleRules rules = [] {
        LocaleRules r;
        r.groupSeparator.clear();
        r.currencySymbol.clear();
        return r;
    }();
    return rules;
}

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool hasDigit(std::string_view s)
{
    for (char c : s) {
        if (isDigit(c))
            return true;
    }
    return false;
}

bool consume(std::string_view& s, std::string_view token)
{
    if (token.empty() || !s.starts_with(token))
        return false;
    s.remove_prefix(token.size());
    return true;
}

bool consumeNoCase(std::string_view& s, std::string_view token)
{
    if (token.empty() || !startsWithNoCase(s, token))
        return false;
    s.remove_prefix(token.size());
    return true;
}

struct Affixes
{
    bool sign = false;
    bool negative = false;
    bool currency = false;
};

// Reads signs and the currency symbol standing before or after the mantissa.
bool readAffixes(std::string_view& s, Affixes& seen, const LocaleRules& locale)
{
    for (;;) {
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
            if (seen.sign)
                return false;
            seen.sign = true;
            seen.negative = s.front() == '-';
            s.remove_prefix(1);
            continue;
        }
        if (!seen.currency && consume(s, locale.currencySymbol)) {
            seen.currency = true;
            continue;
        }
        return true;
    }
}

} // namespace

namespace {

// Reads word by the numeric grammar. With Collect, the digits, the decimal point
// and the exponent go into plain in the form std::from_chars reads; the test
// alone needs no copy and no conversion, since std::from_chars takes every form
// the grammar lets through (one that overflows still counts as a number).
template <bool Collect>
bool readNumber(std::string_view word, const LocaleRules& locale, std::string& plain, bool& negative)
{
    std::string_view s = trimBlanks(word);
    if (!hasDigit(s))
        return false;
    bool parenthesised = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        parenthesised = true;
        s = s.substr(1, s.size() - 2);
    }
    Affixes affixes;
    if (!readAffixes(s, affixes, locale))
        return false;

    const auto keep = [&plain](std::string_view part) {
        if constexpr (Collect)
            plain.append(part);
    };
    const auto digitRun = [&s] {
        std::size_t n = 0;
        while (n < s.size() && isDigit(s[n]))
            ++n;
        return n;
    };
    const std::string_view group = locale.groupSeparator;
    std::size_t digits = 0;
    for (;;) {
        const std::size_t run = digitRun();
        keep(s.substr(0, run));
        digits += run;
        s.remove_prefix(run);
        // A group separator stands between two digits.
        if (digits == 0 || group.empty() || !s.starts_with(group) || s.size() <= group.size()
            || !isDigit(s[group.size()]))
            break;
        s.remove_prefix(group.size());
    }
    if (consume(s, locale.decimalPoint)) {
        keep(".");
        const std::size_t run = digitRun();
        keep(s.substr(0, run));
        digits += run;
        s.remove_prefix(run);
    }
    if (digits == 0)
        return false;
    if (!s.empty() && (s.front() == 'e' || s.front() == 'E')) {
        std::string_view rest = s.substr(1);
        std::size_t sign = !rest.empty() && (rest.front() == '+' || rest.front() == '-') ? 1 : 0;
        std::size_t expDigits = 0;
        while (sign + expDigits < rest.size() && isDigit(rest[sign + expDigits]))
            ++expDigits;
        if (expDigits == 0)
            return false;
        keep("e");
        keep(rest.substr(0, sign + expDigits));
        s = rest.substr(sign + expDigits);
    }
    if (!readAffixes(s, affixes, locale) || !s.empty())
        return false;
    if (parenthesised && affixes.sign)
        return false;
    negative = affixes.negative || parenthesised;
    return true;
}

} // namespace

std::optional<double> parseNumber(std::string_view word, const LocaleRules& locale)
{
    std::string plain;
    bool negative = false;
    if (!readNumber<true>(word, locale, plain, negative))
        return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range)
        value = 1e308; // huge, but a number all the same
    else if (error != std::errc() || end != plain.data() + plain.size())
        return std::nullopt;
    return negative ? -value : value;
}

bool isNumericWord(std::string_view word, const LocaleRules& locale)
{
    std::string unused;
    bool negative = false;
    return readNumber<false>(word, locale, unused, negative);
}

namespace {

// One part of a date word: a run of digits or a month name.
struct DatePart
{
    int number = -1; // digits, or -1 for a month name
    int digits = 0;
    int month = 0; // 1..12 for a month name
};

// Tries the locale's month names and the English ones (a bank writes in its own
// language, not the user's), full and abbreviated, and takes the longest that
// matches, so that "March" is not read as "Mar" followed by "ch".
int monthByName(std::string_view& s, const LocaleRules& locale)
{
    std::size_t bestLength = 0;
    int best = 0;
    bool abbreviated = false;
    for (const LocaleRules* rules : {&locale, &LocaleRules::enUS()}) {
        for (int m = 0; m < 12; ++m) {
            const auto index = static_cast<std::size_t>(m);
            for (const std::string* name : {&rules->monthNames[index], &rules->monthAbbreviations[index]}) {
                // "Dez." and "déc." are also written without their full stop.
                std::string_view text = *name;
                if (text.size() > 1 && text.back() == '.')
                    text.remove_suffix(1);
                if (text.size() > bestLength && startsWithNoCase(s, text)) {
                    bestLength = text.size();
                    best = m + 1;
                    abbreviated = name == &rules->monthAbbreviations[index];
                }
            }
        }
    }
    s.remove_prefix(bestLength);
    if (abbreviated && !s.empty() && s.front() == '.')
        s.remove_prefix(1);
    return best;
}

bool dayExists(int month, int day)
{
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 && day >= 1 && day <= days[month - 1];
}

bool validYear(const DatePart& p)
{
    return p.number >= 0 && (p.digits == 1 || p.digits == 2 || p.digits == 4);
}

bool isTime(std::string_view s, const LocaleRules& locale)
{
    auto readNumber = [&s](int maxDigits, int& value) {
        int n = 0;
        value = 0;
        while (!s.empty() && isDigit(s.front()) && n < maxDigits) {
            value = value * 10 + (s.front() - '0');
            s.remove_prefix(1);
            ++n;
        }
        return n;
    };
    int hour = 0;
    if (readNumber(2, hour) == 0)
        return false;
    bool hasMinutes = false;
    int value = 0;
    for (int field = 0; field < 2 && !s.empty() && s.front() == ':'; ++field) {
        s.remove_prefix(1);
        if (readNumber(2, value) != 2 || value > 59)
            return false;
        hasMinutes = true;
    }
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    bool designator = consumeNoCase(s, locale.amDesignator) || consumeNoCase(s, locale.pmDesignator);
    if (!s.empty())
        return false;
    if (designator)
        return hour >= 1 && hour <= 12;
    return hasMinutes && hour <= 23;
}

} // namespace

bool isDateWord(std::string_view word, const LocaleRules& locale)
{
    std::string_view s = trimBlanks(word);
    // Every date and time form holds a number; most words of a name hold none, and
    // this spares them the search through the month names.
    if (!hasDigit(s))
        return false;
    if (isTime(s, locale))
        return true;

    // At most three parts, so they live on the stack.
    std::array<DatePart, 3> parts;
    std::size_t count = 0;
    char separator = 0;
    while (!s.empty()) {
        if (count == 3)
            return false;
        DatePart part;
        if (isDigit(s.front())) {
            part.number = 0;
            while (!s.empty() && isDigit(s.front())) {
                if (part.digits == 4)
                    return false;
                part.number = part.number * 10 + (s.front() - '0');
                ++part.digits;
                s.remove_prefix(1);
            }
        } else {
            part.month = monthByName(s, locale);
            if (part.month == 0)
                return false;
        }
        parts[count++] = part;
        if (s.empty())
            break;
        char c = s.front();
        if (c == '/' || c == '-' || c == '.' || c == ',') {
            if (separator != 0 && c != separator)
                return false;
            separator = c;
            s.remove_prefix(1);
            if (s.empty())
                return false;
        } else {
            // Without a separator only a month name may touch a number.
            bool touching = part.month > 0 ? isDigit(c) : !isDigit(c);
            if (!touching)
                return false;
        }
    }

    std::size_t named = 0;
    std::size_t namedAt = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (parts[i].month > 0) {
            ++named;
            namedAt = i;
        }
    }
    if (named > 1 || count < 2)
        return false;

    if (named == 1) {
        // A month name with a day, a day and a year, or a four-digit year alone.
        std::array<DatePart, 2> numbers;
        std::size_t numberCount = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (i != namedAt)
                numbers[numberCount++] = parts[i];
        }
        int month = parts[namedAt].month;
        if (numberCount == 1) {
            if (numbers[0].digits == 4)
                return true;
            return numbers[0].digits <= 2 && dayExists(month, numbers[0].number);
        }
        if (namedAt == 2)
            return false;
        return numbers[0].digits <= 2 && dayExists(month, numbers[0].number) && validYear(numbers[1]);
    }

    if (separator == 0 || separator == ',')
        return false;
    const DatePart& a = parts[0];
    const DatePart& b = parts[1];
    // Month and day may stand in either order: the statement follows its bank's
    // convention, which need not be the user's.
    auto dayAndMonth = [](const DatePart& x, const DatePart& y) {
        return x.digits <= 2 && y.digits <= 2 && (dayExists(x.number, y.number) || dayExists(y.number, x.number));
    };
    if (count == 2)
        return dayAndMonth(a, b);
    const DatePart& c = parts[2];
    bool yearFirst = a.digits >= 3 || locale.dateOrder == DateOrder::YearMonthDay;
    if (yearFirst && a.digits != 3 && b.digits <= 2 && c.digits <= 2 && dayExists(b.number, c.number))
        return true;
    return dayAndMonth(a, b) && validYear(c);
}

} // namespace scrivane
