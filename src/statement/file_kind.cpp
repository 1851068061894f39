#include "file_kind.h"

#include "text.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace scrivane {

namespace {

bool startsWith(std::string_view bytes, std::string_view magic)
{
    return bytes.substr(0, magic.size()) == magic;
}

bool contains(std::string_view bytes, std::string_view part)
{
    return bytes.find(part) != std::string_view::npos;
}

// Where a start tag of the upper-cased tag stands in bytes, in any letter case
// and with or without white space or attributes before its ">"; npos where none does.
std::size_t findStartTag(std::string_view bytes, std::string_view tag)
{
    for (std::size_t at = bytes.find('<'); at != std::string_view::npos; at = bytes.find('<', at + 1)) {
        const std::string_view name = bytes.substr(at + 1, tag.size());
        const bool same = name.size() == tag.size()
            && std::equal(name.begin(), name.end(), tag.begin(), [](char a, char b) { return asciiUpper(a) == b; });
        if (!same || at + 1 + tag.size() >= bytes.size())
            continue;
        const std::size_t rest = at + 1 + tag.size();
        const char after = bytes[rest];
        if (after != '>' && after != ' ' && after != '\t' && after != '\r' && after != '\n')
            continue;
        const std::size_t close = bytes.find('>', rest);
        if (close != std::string_view::npos && close < bytes.find('<', rest))
            return at;
    }
    return std::string_view::npos;
}

// The first bytes of a zip say nothing of what it holds; the names of its first
// entries, stored as they are, do.
FileKind zipKind(std::string_view bytes)
{
    const std::string_view head = bytes.substr(0, 64 * 1024);
    if (contains(head, "word/") || contains(head, "application/vnd.oasis.opendocument.text"))
        return FileKind::WordProcessor;
    if (contains(head, "xl/") || contains(head, "application/vnd.oasis.opendocument.spreadsheet"))
        return FileKind::Spreadsheet;
    return FileKind::Zip;
}

bool looksLikeText(std::string_view bytes)
{
    // A NUL never stands in a text of one byte per letter; UTF-16 has them everywhere.
    return bytes.substr(0, 64 * 1024).find('\0') == std::string_view::npos;
}

} // namespace

FileKind fileKindOf(std::string_view bytes)
{
    using namespace std::string_view_literals;
    if (bytes.empty())
        return FileKind::Empty;
    // Formats that announce themselves in their first bytes, where no statement
    // could begin so.
    static constexpr std::array<std::pair<std::string_view, FileKind>, 9> magics {{
        {"%PDF-"sv, FileKind::Pdf},
        {"\x89PNG\r\n\x1a\n"sv, FileKind::Image},
        {"\xff\xd8\xff"sv, FileKind::Image},
        {"GIF87a"sv, FileKind::Image},
        {"GIF89a"sv, FileKind::Image},
        {"II*\0"sv, FileKind::Image},
        {"MM\0*"sv, FileKind::Image},
        {"{\\rtf"sv, FileKind::WordProcessor},
        // The compound file of Word's and Excel's older formats.
        {"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv, FileKind::Office},
    }};
    for (const auto& [magic, kind] : magics) {
        if (startsWith(bytes, magic))
            return kind;
    }
    if (startsWith(bytes, "RIFF") && bytes.size() >= 12 && bytes.substr(8, 4) == "WEBP")
        return FileKind::Image;
    if (startsWith(bytes, "PK\x03\x04") || startsWith(bytes, "PK\x05\x06"))
        return zipKind(bytes);

    if (findStartTag(bytes, "OFX") != std::string_view::npos)
        return FileKind::Ofx;
    if (!looksLikeText(bytes))
        return FileKind::Other;
    const std::string_view head = bytes.substr(0, 4096);
    if (findStartTag(head, "OFC") != std::string_view::npos)
        return FileKind::Ofc;
    if (findStartTag(head, "HTML") != std::string_view::npos
        || findStartTag(head, "!DOCTYPE") != std::string_view::npos)
        return FileKind::WebPage;
    return FileKind::Text;
}

std::string_view fileKindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Ofx:
        return {};
    case FileKind::Ofc:
        return "an OFC file, the format that came before OFX";
    case FileKind::Empty:
        return "empty";
    case FileKind::Pdf:
        return "a PDF document";
    case FileKind::Image:
        return "an image";
    case FileKind::Zip:
        return "a zip archive";
    case FileKind::WordProcessor:
        return "a word-processor document";
    case FileKind::Spreadsheet:
        return "a spreadsheet";
    case FileKind::Office:
        return "a Word or Excel document";
    case FileKind::WebPage:
        return "a web page";
    case FileKind::Text:
        return "a text without an <OFX> tag";
    case FileKind::Other:
        return "neither an OFX statement nor a text";
    }
    return {};
}

} // namespace scrivane
