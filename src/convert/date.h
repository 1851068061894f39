#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

struct Date
{
    int year = 0;
    int month = 0;
    int day = 0;

    bool operator==(const Date&) const = default;
    bool operator<(const Date& other) const
    {
        if (year != other.year)
            return year < other.year;
        return month != other.month ? month < other.month : day < other.day;
    }
    bool operator>(const Date& other) const { return other < *this; }
};

// The order of day, month and year in dates written with numbers only.
enum class NumericDateOrder { YearMonthDay, MonthDayYear, DayMonthYear };

// A set of orders, one bit each (1 << int(order)).
using DateOrders = unsigned;
inline constexpr DateOrders allDateOrders = 0b111;
constexpr DateOrders orderBit(NumericDateOrder order)
{
    return 1u << static_cast<unsigned>(order);
}

// The orders in which text reads as a real date. Years of four digits, two
// digits (00-69 are 2000-2069, the rest 1900s), or two digits behind "'" as
// Quicken writes them (6/12'15 is in 2015); separators "/", "-", ".", space;
// ISO dates and YYYYMMDD; month names in English, French, German and Spanish,
// which fix the order; a time after the date is passed over. 0: not a date.
// "31.03.2019" reads only day first; "05/03/2021" both ways; "2019-03-31" only
// year first.
DateOrders possibleDateOrders(std::string_view text);

// The date that text is in the given order, if it is one.
std::optional<Date> parseDate(std::string_view text, NumericDateOrder order);

// "YYYYMMDD", as OFX writes a date.
std::string ofxDate(Date date);

// "mdy", "dmy", "ymd": the words for the orders in settings and on the command line.
std::string_view dateOrderWord(NumericDateOrder order);
std::optional<NumericDateOrder> dateOrderFromWord(std::string_view word);

} // namespace scrivane
