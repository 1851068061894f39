#include "finding_format.h"

#include "guidance.h"
#include "utf8.h"

#include <algorithm>
#include <cstdio>

namespace scrivane {

namespace {

void appendJsonString(std::string& out, std::string_view s)
{
    out.push_back('"');
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            // Valid UTF-8 goes through; a lone byte of another set becomes the
            // Latin-1 character of the same number, so the output stays valid.
            const std::size_t length = decodeUtf8(s.substr(i)).length;
            if (length > 0) {
                out.append(s.substr(i, length));
                i += length;
            } else {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", c);
                out.append(code);
                ++i;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            out.append(code);
        } else {
            out.push_back(static_cast<char>(c));
        }
        ++i;
    }
    out.push_back('"');
}

} // namespace

std::string findingPlace(const Finding& f)
{
    std::string place;
    if (f.transaction > 0) {
        place = "transaction " + std::to_string(f.transaction);
        if (!f.fitid.empty())
            place += " (FITID " + f.fitid + ")";
        place += " of statement " + std::to_string(f.account);
    } else if (f.account > 0) {
        place = "statement " + std::to_string(f.account);
    }
    return place;
}

std::string findingSentence(const Finding& f)
{
    const std::string place = findingPlace(f);
    const std::string text = findingText(f);
    std::string sentence = place.empty() ? text : place + ": " + text;
    if (f.fixedByClean)
        sentence += " (the clean fixes this)";
    sentence += ". ";
    sentence += findingAdvice(f);
    return sentence;
}

std::string compilerLine(std::string_view file, const Finding& f)
{
    std::string line(file);
    line += ':' + std::to_string(f.line) + ": ";
    line += levelWord(f.level);
    line += ": ";
    line += findingSentence(f);
    return line;
}

std::string jsonLine(std::string_view file, const Finding& f)
{
    std::string out = "{\"file\":";
    appendJsonString(out, file);
    out += ",\"line\":" + std::to_string(f.line) + ",\"level\":";
    appendJsonString(out, levelWord(f.level));
    out += ",\"kind\":";
    appendJsonString(out, kindWord(f.kind));
    if (f.account > 0)
        out += ",\"statement\":" + std::to_string(f.account);
    if (f.transaction > 0)
        out += ",\"transaction\":" + std::to_string(f.transaction);
    if (!f.fitid.empty()) {
        out += ",\"fitid\":";
        appendJsonString(out, f.fitid);
    }
    out += ",\"text\":";
    appendJsonString(out, findingText(f));
    out += ",\"advice\":";
    appendJsonString(out, findingAdvice(f));
    out += ",\"fixedByClean\":";
    out += f.fixedByClean ? "true" : "false";
    out += '}';
    return out;
}

std::string findingsSentence(const std::vector<Finding>& told, Target target)
{
    if (told.empty())
        return {};
    const Finding& first = told.front();
    const std::string app = target == Target::Other ? "your financial application" : std::string(targetWord(target));
    std::string sentence = "Before you import: the cleaned file has ";
    if (told.size() == 1) {
        sentence += "one problem for " + app + ", on line ";
    } else {
        sentence += std::to_string(told.size()) + " problems for " + app
            + " (listed under Show Details), the first on line ";
    }
    sentence += std::to_string(first.line);
    const std::string place = findingPlace(first);
    if (!place.empty())
        sentence += ", " + place;
    sentence += ": " + findingText(first) + ".";
    return sentence;
}

std::string findingsList(const std::vector<Finding>& told, std::size_t most)
{
    std::string list;
    const std::size_t shown = std::min(told.size(), most);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0)
            list += "\r\n";
        list += "line " + std::to_string(told[i].line) + ": ";
        list += levelWord(told[i].level);
        list += ": " + findingSentence(told[i]);
    }
    if (told.size() > shown)
        list += "\r\n... and " + std::to_string(told.size() - shown) + " more.";
    return list;
}

} // namespace scrivane
