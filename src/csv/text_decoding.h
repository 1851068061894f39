#pragma once

#include <string>
#include <string_view>

namespace scrivane {

// The character set a text file was read in.
enum class TextEncoding {
    Utf8, // with or without a byte-order mark
    Windows1252, // bytes that are not UTF-8; Latin-1 files read the same for letters
};

struct DecodedText
{
    std::string utf8; // the text in UTF-8, without a byte-order mark
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
};

// Spreadsheets and banks write either UTF-8 (often behind a byte-order mark) or
// the Windows code page of the machine, which for the languages read here is
// 1252. A text that is valid UTF-8 throughout is UTF-8: a Windows-1252 text with
// letters beyond ASCII almost never happens to be valid UTF-8.
DecodedText decodeText(std::string_view bytes);

} // namespace scrivane
