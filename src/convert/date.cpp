#include "date.h"

#include "text_fold.h"

#include <array>
#include <cstdio>

namespace scrivane {

namespace {

struct Token
{
    int value = 0;
    int digits = 0; // 0 for a month name
    bool apostrophe = false; // written behind "'": a year of this century
};

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Month names as banks abbreviate them, in the four languages read here,
// without accents. A word names a month when it is at least three letters of
// one of these and no other month's names begin so.
constexpr std::array<std::array<std::string_view, 5>, 12> monthNames = {{
    {"january", "janvier", "januar", "enero", "jaenner"},
    {"february", "fevrier", "februar", "febrero", "feber"},
    {"march", "mars", "maerz", "marzo", "marz"},
    {"april", "avril", "abril", "", ""},
    {"may", "mai", "mayo", "", ""},
    {"june", "juin", "juni", "junio", ""},
    {"july", "juillet", "juli", "julio", ""},
    {"august", "aout", "agosto", "", ""},
    {"september", "septembre", "septiembre", "setiembre", ""},
    {"october", "octobre", "oktober", "octubre", ""},
    {"november", "novembre", "noviembre", "", ""},
    {"december", "decembre", "dezember", "diciembre", ""},
}};

int monthOfName(std::string_view word)
{
    std::string folded = foldLatin(word);
    if (!folded.empty() && folded.back() == '.')
        folded.pop_back();
    if (folded == "mrz")
        return 3;
    if (folded.size() < 3)
        return 0;
    int found = 0;
    for (int m = 0; m < 12; ++m) {
        for (std::string_view name : monthNames[static_cast<std::size_t>(m)]) {
            if (!name.empty() && name.starts_with(folded)) {
                if (found != 0 && found != m + 1)
                    return 0;
                found = m + 1;
            }
        }
    }
    return found;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The date's part of the text: what stands before a time ("13:12", "T10:00").
std::string_view withoutTime(std::string_view s)
{
    const std::size_t colon = s.find(':');
    if (colon == std::string_view::npos)
        return s;
    std::size_t cut = s.find_last_of(" T", colon);
    return cut == std::string_view::npos ? std::string_view() : s.substr(0, cut);
}

// At most three numbers or month names.
struct Tokens
{
    std::array<Token, 3> at;
    std::size_t size = 0;

    const Token& operator[](std::size_t i) const { return at[i]; }
    bool push(Token t)
    {
        if (size == at.size())
            return false;
        at[size++] = t;
        return true;
    }
};

// Numbers and month names, or nothing when the text holds anything else.
bool tokenize(std::string_view s, Tokens& tokens)
{
    std::size_t at = 0;
    bool apostrophe = false;
    while (at < s.size()) {
        const char c = s[at];
        if (isDigit(c)) {
            Token t;
            while (at < s.size() && isDigit(s[at]) && t.digits < 9) {
                t.value = t.value * 10 + (s[at++] - '0');
                ++t.digits;
            }
            if (at < s.size() && isDigit(s[at]))
                return false;
            t.apostrophe = apostrophe;
            apostrophe = false;
            if (!tokens.push(t))
                return false;
        } else if (c == '/' || c == '-' || c == '.' || c == ' ' || c == ',') {
            ++at;
        } else if (c == '\'') {
            apostrophe = true;
            ++at;
        } else {
            std::size_t end = at;
            while (end < s.size() && !isDigit(s[end]) && s[end] != '/' && s[end] != '-' && s[end] != ' '
                   && s[end] != ',' && s[end] != '\'')
                ++end;
            const int month = monthOfName(s.substr(at, end - at));
            if (month == 0)
                return false;
            if (!tokens.push({month, 0, false}))
                return false;
            at = end;
        }
    }
    return !apostrophe;
}

std::optional<int> fullYear(const Token& t)
{
    if (t.digits == 4 && !t.apostrophe)
        return t.value;
    if (t.apostrophe && t.digits >= 1 && t.digits <= 2)
        return 2000 + t.value;
    if (t.digits == 2)
        return t.value < 70 ? 2000 + t.value : 1900 + t.value;
    return std::nullopt;
}

std::optional<Date> makeDate(std::optional<int> year, const Token& month, const Token& day)
{
    if (!year || *year < 1 || month.value < 1 || month.value > 12 || day.digits == 0 || day.digits > 2)
        return std::nullopt;
    if (month.digits > 2 || day.value < 1 || day.value > daysIn(*year, month.value))
        return std::nullopt;
    return Date {*year, month.value, day.value};
}

std::optional<Tokens> tokensOf(std::string_view text)
{
    const std::string_view s = withoutTime(trimWhite(text));
    Tokens tokens;
    if (s.empty() || !tokenize(s, tokens))
        return std::nullopt;
    return tokens;
}

std::optional<Date> dateIn(const Tokens& tokens, NumericDateOrder order)
{
    if (tokens.size == 1) {
        // YYYYMMDD
        const Token& t = tokens[0];
        if (t.digits != 8 || order != NumericDateOrder::YearMonthDay)
            return std::nullopt;
        return makeDate(t.value / 10000, {t.value / 100 % 100, 2}, {t.value % 100, 2});
    }
    if (tokens.size != 3)
        return std::nullopt;
    const Token& a = tokens[0];
    const Token& b = tokens[1];
    const Token& c = tokens[2];
    const bool named = a.digits == 0 || b.digits == 0 || c.digits == 0;
    if (named) {
        // A month name settles the order: it stands where it stands, and a year of
        // four digits first means year, month, day.
        if (a.digits == 0 && order == NumericDateOrder::MonthDayYear)
            return makeDate(fullYear(c), a, b);
        if (b.digits == 0 && a.digits == 4 && order == NumericDateOrder::YearMonthDay)
            return makeDate(fullYear(a), b, c);
        if (b.digits == 0 && a.digits != 4 && order == NumericDateOrder::DayMonthYear)
            return makeDate(fullYear(c), b, a);
        return std::nullopt;
    }
    switch (order) {
    case NumericDateOrder::YearMonthDay:
        return a.digits == 4 ? makeDate(fullYear(a), b, c) : std::nullopt;
    case NumericDateOrder::MonthDayYear:
        return a.digits <= 2 ? makeDate(fullYear(c), a, b) : std::nullopt;
    case NumericDateOrder::DayMonthYear:
        return a.digits <= 2 ? makeDate(fullYear(c), b, a) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

DateOrders possibleDateOrders(std::string_view text)
{
    const auto tokens = tokensOf(text);
    DateOrders orders = 0;
    for (NumericDateOrder order :
         {NumericDateOrder::YearMonthDay, NumericDateOrder::MonthDayYear, NumericDateOrder::DayMonthYear}) {
        if (tokens && dateIn(*tokens, order))
            orders |= orderBit(order);
    }
    return orders;
}

std::optional<Date> parseDate(std::string_view text, NumericDateOrder order)
{
    const auto tokens = tokensOf(text);
    return tokens ? dateIn(*tokens, order) : std::nullopt;
}

std::string ofxDate(Date date)
{
    char out[16];
    std::snprintf(out, sizeof out, "%04d%02d%02d", date.year, date.month, date.day);
    return out;
}

std::string_view dateOrderWord(NumericDateOrder order)
{
    switch (order) {
    case NumericDateOrder::YearMonthDay:
        return "ymd";
    case NumericDateOrder::MonthDayYear:
        return "mdy";
    case NumericDateOrder::DayMonthYear:
        return "dmy";
    }
    return "ymd";
}

std::optional<NumericDateOrder> dateOrderFromWord(std::string_view word)
{
    for (NumericDateOrder order :
         {NumericDateOrder::YearMonthDay, NumericDateOrder::MonthDayYear, NumericDateOrder::DayMonthYear}) {
        if (word == dateOrderWord(order))
            return order;
    }
    return std::nullopt;
}

} // namespace scrivane
