#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// A sum of money as its digits: units / 10^scale, exact, as the bank wrote it.
struct Amount
{
    std::int64_t units = 0;
    int scale = 0; // digits after the decimal mark

    bool negative() const { return units < 0; }
    Amount negated() const { return {-units, scale}; }
    Amount magnitude() const { return units < 0 ? negated() : *this; }
    // Equal values compare equal whatever their scale ("5.0" and "5.00").
    bool operator==(const Amount& other) const;
};

// The way a statement writes its amounts: "1,234.56" (point) or "1.234,56" (comma).
enum class DecimalMark { Point, Comma };

// The amount as OFX writes it: a "-" for less than zero, at least two decimals,
// none past the last significant one ("-1234.5" is "-1234.50", "0.125" stays).
std::string ofxAmount(Amount amount);

// Reads an amount as banks write them: currency symbols or codes before or after
// ("$20.00", "CHF 10", "10,00 €"), a sign before or after, a minus in
// parentheses ("(20.00)"), "CR" and "DR" after, and groups of digits separated by
// the other mark, an apostrophe or a space ("1,000.00", "1.000,00", "11'373.94",
// "1 000,00"). What is not an amount gives nothing, and problem says why.
std::optional<Amount> parseAmount(std::string_view text, DecimalMark mark, std::string* problem = nullptr);

// What one value says of the decimal mark: a mark followed by other than three
// digits at the end, or the later of two different marks, is the decimal one; a
// mark that stands twice separates groups. "1,000" and "12" say nothing.
std::optional<DecimalMark> decimalMarkOf(std::string_view text);

// Counts what values say, for choosing one mark for a whole statement.
struct DecimalMarkVotes
{
    std::size_t point = 0;
    std::size_t comma = 0;

    void add(std::string_view text);
    // The mark most values show; the point when none shows one.
    DecimalMark mark() const { return comma > point ? DecimalMark::Comma : DecimalMark::Point; }
};

} // namespace scrivane
