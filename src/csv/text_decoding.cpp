#include "text_decoding.h"

#include "statement/utf8.h"
#include "statement/windows1252.h"

namespace scrivane {

namespace {

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

bool isValidUtf8(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const Utf8Char c = decodeUtf8(bytes.substr(at));
        if (c.length == 0)
            return false;
        at += c.length;
    }
    return true;
}

} // namespace

DecodedText decodeText(std::string_view bytes)
{
    DecodedText result;
    if (bytes.starts_with(utf8Mark)) {
        bytes.remove_prefix(utf8Mark.size());
        result.byteOrderMark = true;
    }
    if (isValidUtf8(bytes)) {
        result.utf8.assign(bytes);
        return result;
    }
    // A byte-order mark in front of bytes that are not UTF-8 says less than the
    // bytes themselves do.
    result.encoding = TextEncoding::Windows1252;
    result.utf8.reserve(bytes.size() + bytes.size() / 8);
    for (char byte : bytes)
        appendUtf8(result.utf8, fromWindows1252(static_cast<unsigned char>(byte)));
    return result;
}

} // namespace scrivane
