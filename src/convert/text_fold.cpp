#include "text_fold.h"

#include "statement/utf8.h"

namespace scrivane {

namespace {

// Latin-1 Supplement letters U+00C0 to U+00FF without their marks ('\0': none).
constexpr char latin1Base[64 + 1] = "aaaaaaaceeeeiiiidnooooo\0ouuuuyts"
                                    "aaaaaaaceeeeiiiidnooooo\0ouuuuyty";

void appendFolded(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
        return;
    }
    if (c == 0xDF) {
        out.append("ss");
        return;
    }
    if (c >= 0xC0 && c <= 0xFF && latin1Base[c - 0xC0] != '\0') {
        out.push_back(latin1Base[c - 0xC0]);
        return;
    }
    // Latin Extended-A, U+0100 to U+017F: each letter's base letter.
    if (c >= 0x100 && c <= 0x17F) {
        static constexpr char extendedA[]
            = "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnnnnn"
              "oooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
        const std::size_t index = c - 0x100;
        if (index < sizeof extendedA - 1) {
            out.push_back(extendedA[index]);
            return;
        }
    }
    appendUtf8(out, c);
}

} // namespace

std::string foldLatin(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const Utf8Char c = decodeUtf8(utf8.substr(at));
        if (c.length == 0) {
            out.push_back(utf8[at++]);
            continue;
        }
        appendFolded(out, c.code);
        at += c.length;
    }
    return out;
}

std::string titleKey(std::string_view utf8)
{
    std::string key;
    int depth = 0;
    for (char c : foldLatin(utf8)) {
        if (c == '(')
            ++depth;
        else if (c == ')' && depth > 0)
            --depth;
        else if (depth == 0 && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            key.push_back(c);
    }
    return key;
}

std::string_view trimWhite(std::string_view utf8)
{
    while (true) {
        if (!utf8.empty()
            && (utf8.front() == ' ' || utf8.front() == '\t' || utf8.front() == '\r' || utf8.front() == '\n'))
            utf8.remove_prefix(1);
        else if (utf8.starts_with("\xC2\xA0"))
            utf8.remove_prefix(2);
        else if (utf8.starts_with("\xE2\x80\xAF"))
            utf8.remove_prefix(3);
        else
            break;
    }
    while (true) {
        if (!utf8.empty() && (utf8.back() == ' ' || utf8.back() == '\t' || utf8.back() == '\r' || utf8.back() == '\n'))
            utf8.remove_suffix(1);
        else if (utf8.ends_with("\xC2\xA0"))
            utf8.remove_suffix(2);
        else if (utf8.ends_with("\xE2\x80\xAF"))
            utf8.remove_suffix(3);
        else
            break;
    }
    return utf8;
}

} // namespace scrivane
