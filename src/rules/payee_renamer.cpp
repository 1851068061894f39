#include "payee_renamer.h"

#include "statement/text.h"
#include "statement/utf8.h"
#include "statement/windows1252.h"

#include <algorithm>
#include <cstdio>

namespace scrivane {

namespace {

// The character an entity or numeric character reference at the start of text
// stands for, and its length; length 0 when text starts with none.
Utf8Char readReference(std::string_view text)
{
    const std::size_t semicolon = text.find(';', 1);
    if (semicolon == std::string_view::npos || semicolon > 10)
        return {};
    const std::string_view name = text.substr(1, semicolon - 1);
    const std::size_t length = semicolon + 1;
    constexpr std::pair<std::string_view, char32_t> entities[]
        = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : entities) {
        if (equalsNoCase(name, entity))
            return {c, length};
    }
    if (name.size() < 2 || name[0] != '#')
        return {};
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return {};
    char32_t code = 0;
    for (const char d : digits) {
        unsigned value;
        if (d >= '0' && d <= '9')
            value = d - '0';
        else if (hex && asciiLower(d) >= 'a' && asciiLower(d) <= 'f')
            value = asciiLower(d) - 'a' + 10;
        else
            return {};
        code = code * (hex ? 16 : 10) + value;
        if (code > 0x10FFFF)
            return {};
    }
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
        return {};
    return {code, length};
}

std::string_view charsetName(Charset charset)
{
    switch (charset) {
    case Charset::Windows1252:
        return "Windows-1252";
    case Charset::Utf8:
        return "UTF-8";
    case Charset::Ascii:
        break;
    }
    return "ASCII";
}

// The blanks that end an SGML value: its line end and any indentation of the
// next line.
std::string_view lineEndOf(std::string_view value)
{
    std::size_t keep = value.size();
    while (keep > 0 && (value[keep - 1] == '\r' || value[keep - 1] == '\n' || value[keep - 1] == '\t'))
        --keep;
    return value.substr(keep);
}

} // namespace

void decodePayeeValue(std::string_view value, bool cdata, Charset charset, std::string& out)
{
    // Most values are plain ASCII, which reads as it stands.
    if (std::all_of(
            value.begin(), value.end(), [](char c) { return c != '&' && static_cast<unsigned char>(c) < 0x80; })) {
        out.append(value);
        return;
    }
    for (std::size_t i = 0; i < value.size();) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte == '&' && !cdata) {
            if (const Utf8Char ref = readReference(value.substr(i)); ref.length > 0) {
                appendUtf8(out, ref.code);
                i += ref.length;
                continue;
            }
        }
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            ++i;
            continue;
        }
        if (charset != Charset::Windows1252) {
            if (const std::size_t length = decodeUtf8(value.substr(i)).length; length > 0) {
                out.append(value.substr(i, length));
                i += length;
                continue;
            }
        }
        appendUtf8(out, fromWindows1252(byte));
        ++i;
    }
}

std::optional<char32_t> encodePayeeValue(std::string_view name, Charset charset, bool xml, bool cdata, std::string& out)
{
    name = trimSpaces(name);
    for (std::size_t i = 0; i < name.size();) {
        const Utf8Char next = decodeUtf8(name.substr(i));
        if (next.length == 0)
            return U'\uFFFD'; // rules are checked to be UTF-8 before they get here
        const char32_t c = next.code;
        const bool afterBrackets = i >= 2 && name[i - 1] == ']' && name[i - 2] == ']';
        i += next.length;
        if (cdata) {
            if (c == '>' && afterBrackets) {
                out.append("]]><![CDATA[>");
                continue;
            }
        } else if (c == '&' || c == '<' || (c == '>' && xml)) {
            out.append(c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;");
            continue;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (charset == Charset::Utf8) {
            appendUtf8(out, c);
        } else if (const std::optional<char> byte = charset == Charset::Windows1252 ? toWindows1252(c) : std::nullopt) {
            out.push_back(*byte);
        } else {
            return c;
        }
    }
    return std::nullopt;
}

PayeeRenamer::PayeeRenamer(const RuleSet& rules, Charset charset, bool xml)
    : rules_(rules)
    , matcher_(rules)
    , charset_(charset)
    , xml_(xml)
{
}

std::optional<std::size_t> PayeeRenamer::match(std::string_view value, bool cdata)
{
    if (rules_.empty())
        return std::nullopt;
    decoded_.clear();
    decodePayeeValue(value, cdata, charset_, decoded_);
    return matcher_.firstMatch(decoded_);
}

std::optional<std::string_view> PayeeRenamer::rename(std::string_view value, bool cdata)
{
    if (trimBlanks(value).empty())
        return std::nullopt;
    const std::optional<std::size_t> rule = match(value, cdata);
    return rule ? write(*rule, value, cdata) : std::nullopt;
}

std::optional<std::string_view> PayeeRenamer::write(std::size_t rule, std::string_view value, bool cdata)
{
    const PayeeRule& chosen = rules_.rule(rule);
    written_.clear();
    if (const std::optional<char32_t> unfit = encodePayeeValue(chosen.name, charset_, xml_, cdata, written_)) {
        std::string character;
        appendUtf8(character, *unfit);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*unfit));
        failure_ = describeRule(rule + 1, chosen) + " cannot write its name \"" + chosen.name
            + "\" in this statement: the character \"" + character + "\" (" + code + ") has no place in "
            + std::string(charsetName(charset_)) + ", the statement's character set.";
        return std::nullopt;
    }
    if (!xml_ && !cdata)
        written_.append(lineEndOf(value));
    return std::string_view(written_);
}

RuleRenaming::RuleRenaming(RuleSet rules)
    : rules_(std::move(rules))
{
}

std::unique_ptr<PayeeRenaming::Statement> RuleRenaming::forStatement(Charset charset, bool xml) const
{
    return std::make_unique<PayeeRenamer>(rules_, charset, xml);
}

} // namespace scrivane
