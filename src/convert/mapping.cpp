#include "mapping.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace scrivane {

namespace {

constexpr std::string_view roleWords[] = {
    "date",
    "payee",
    "amount",
    "debit",
    "credit",
    "indicator",
    "memo",
    "check",
    "id",
    "balance",
};

constexpr std::string_view typeWords[] = {"checking", "savings", "moneymrkt", "creditcard"};

// Columns beyond this are surely a mistake; no bank writes so many.
constexpr int maxColumn = 1000;

bool fail(std::string* problem, std::string why)
{
    if (problem)
        *problem = std::move(why);
    return false;
}

std::string escaped(std::string_view value)
{
    std::string out;
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ',' || c == '=' || c == '%' || byte < 0x20 || byte == 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out.append(hex);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescaped(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out.push_back(value[i]);
            continue;
        }
        if (i + 2 >= value.size())
            return std::nullopt;
        const int high = hexValue(value[i + 1]);
        const int low = hexValue(value[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

std::vector<std::string_view> splitOn(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<ColumnRole> roleFromWord(std::string_view word)
{
    for (ColumnRole role : allColumnRoles) {
        if (columnRoleWord(role) == word)
            return role;
    }
    return std::nullopt;
}

// One "key=value" of the column part into columns.
bool readColumn(ColumnRole role, std::string_view value, ColumnMap& columns, std::string* problem)
{
    int column = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), column);
    if (error != std::errc() || end != value.data() + value.size() || column < 1 || column > maxColumn)
        return fail(problem,
                    std::string(columnRoleWord(role)) + "=" + std::string(value)
                        + ": a column is a number from 1, counted from the left");
    if (columns[role] >= 0)
        return fail(problem, std::string(columnRoleWord(role)) + " is given twice");
    for (ColumnRole other : allColumnRoles) {
        if (columns[other] == column - 1)
            return fail(problem,
                        "column " + std::to_string(column) + " is given as both " + std::string(columnRoleWord(other))
                            + " and " + std::string(columnRoleWord(role)));
    }
    columns[role] = column - 1;
    return true;
}

} // namespace

std::string_view columnRoleWord(ColumnRole role)
{
    return roleWords[static_cast<std::size_t>(role)];
}

int& ColumnMap::operator[](ColumnRole role)
{
    int* slots[] = {&date, &payee, &amount, &debit, &credit, &indicator, &memo, &check, &id, &balance};
    return *slots[static_cast<std::size_t>(role)];
}

int ColumnMap::operator[](ColumnRole role) const
{
    return const_cast<ColumnMap&>(*this)[role];
}

bool ColumnMap::complete() const
{
    return date >= 0 && payee >= 0 && (amount >= 0 || (debit >= 0 && credit >= 0));
}

std::optional<ColumnRole> ColumnMap::roleOf(int column) const
{
    for (ColumnRole role : allColumnRoles) {
        if ((*this)[role] == column && column >= 0)
            return role;
    }
    return std::nullopt;
}

std::string_view accountTypeWord(AccountType type)
{
    return typeWords[static_cast<std::size_t>(type)];
}

std::optional<AccountType> accountTypeFromWord(std::string_view word)
{
    for (std::size_t i = 0; i < std::size(typeWords); ++i) {
        if (typeWords[i] == word)
            return static_cast<AccountType>(i);
    }
    return std::nullopt;
}

Mapping overlaid(const Mapping& base, const Mapping& over)
{
    Mapping out = base;
    if (over.columns)
        out.columns = over.columns;
    if (over.dateOrder)
        out.dateOrder = over.dateOrder;
    if (over.reversed)
        out.reversed = over.reversed;
    if (over.accountId)
        out.accountId = over.accountId;
    if (over.accountType)
        out.accountType = over.accountType;
    if (over.currency)
        out.currency = over.currency;
    return out;
}

std::string mappingText(const Mapping& mapping)
{
    std::vector<std::string> parts;
    if (mapping.columns) {
        for (ColumnRole role : allColumnRoles) {
            if ((*mapping.columns)[role] >= 0)
                parts.push_back(std::string(columnRoleWord(role)) + "=" + std::to_string((*mapping.columns)[role] + 1));
        }
    }
    if (mapping.dateOrder)
        parts.push_back("order=" + std::string(dateOrderWord(*mapping.dateOrder)));
    if (mapping.reversed)
        parts.push_back(*mapping.reversed ? "sign=reversed" : "sign=normal");
    if (mapping.accountId)
        parts.push_back("account=" + escaped(*mapping.accountId));
    if (mapping.accountType)
        parts.push_back("type=" + std::string(accountTypeWord(*mapping.accountType)));
    if (mapping.currency)
        parts.push_back("currency=" + escaped(*mapping.currency));
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty())
            text.push_back(',');
        text.append(part);
    }
    return text;
}

std::optional<Mapping> mappingFromText(std::string_view text, std::string* problem)
{
    Mapping mapping;
    if (text.empty())
        return mapping;
    ColumnMap columns;
    bool anyColumn = false;
    for (std::string_view part : splitOn(text, ',')) {
        const std::size_t equals = part.find('=');
        if (equals == std::string_view::npos) {
            fail(problem, "\"" + std::string(part) + "\" is not key=value");
            return std::nullopt;
        }
        const std::string_view key = part.substr(0, equals);
        const std::string_view value = part.substr(equals + 1);
        bool known = true;
        if (const auto role = roleFromWord(key)) {
            if (!readColumn(*role, value, columns, problem))
                return std::nullopt;
            anyColumn = true;
        } else if (key == "order" && !mapping.dateOrder) {
            mapping.dateOrder = dateOrderFromWord(value);
            known = mapping.dateOrder.has_value();
        } else if (key == "sign" && !mapping.reversed && (value == "normal" || value == "reversed")) {
            mapping.reversed = value == "reversed";
        } else if (key == "account" && !mapping.accountId) {
            mapping.accountId = unescaped(value);
            known = mapping.accountId.has_value();
        } else if (key == "type" && !mapping.accountType) {
            mapping.accountType = accountTypeFromWord(value);
            known = mapping.accountType.has_value();
        } else if (key == "currency" && !mapping.currency) {
            mapping.currency = unescaped(value);
            known = mapping.currency.has_value();
        } else {
            known = false;
        }
        if (!known) {
            fail(problem, "\"" + std::string(part) + "\" is not understood");
            return std::nullopt;
        }
    }
    if (anyColumn)
        mapping.columns = columns;
    return mapping;
}

std::optional<ColumnMap> columnsFromText(std::string_view text, std::string* problem)
{
    ColumnMap columns;
    for (std::string_view part : splitOn(text, ',')) {
        const std::size_t equals = part.find('=');
        const auto role = equals == std::string_view::npos ? std::nullopt : roleFromWord(part.substr(0, equals));
        if (!role) {
            fail(problem,
                 "\"" + std::string(part)
                     + "\" is not a column: give date=N, payee=N, amount=N or debit=N and credit=N, and "
                       "optionally memo=N, check=N, id=N, indicator=N, balance=N");
            return std::nullopt;
        }
        if (!readColumn(*role, part.substr(equals + 1), columns, problem))
            return std::nullopt;
    }
    return columns;
}

} // namespace scrivane
