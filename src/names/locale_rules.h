#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// What the numeric and date tests need to know of the user's locale. The desktop
// program fills it from the system locale; tests pin it to en_US.
struct LocaleRules
{
    std::string decimalPoint = ".";
    std::string groupSeparator = ",";
    std::string currencySymbol = "$";
    DateOrder dateOrder = DateOrder::MonthDayYear;
    std::array<std::string, 12> monthNames {"January",
                                            "February",
                                            "March",
                                            "April",
                                            "May",
                                            "June",
                                            "July",
                                            "August",
                                            "September",
                                            "October",
                                            "November",
                                            "December"};
    std::array<std::string, 12> monthAbbreviations {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";

    static const LocaleRules& enUS();
    // Plain digits with "." as decimal point and no currency: the form the
    // program itself writes numbers in.
    static const LocaleRules& invariant();
};

// The value of word under the numeric grammar (see locale_rules.cpp), if it has one.
std::optional<double> parseNumber(std::string_view word, const LocaleRules& locale);

bool isNumericWord(std::string_view word, const LocaleRules& locale);
bool isDateWord(std::string_view word, const LocaleRules& locale);

} // namespace scrivane
