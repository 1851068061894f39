#pragma once

#include <string_view>

namespace scrivane {

// What a file's bytes show it to be. Only a statement is cleaned: anything else
// would be written back under a statement's name and fail at the import.
enum class FileKind {
    Ofx, // an <OFX> start tag in any letter case, in either form
    Ofc, // Microsoft's older Open Financial Connectivity, <OFC> at the top
    Empty,
    Pdf,
    Image,
    Zip,
    WordProcessor, // Word, OpenDocument or RTF
    Spreadsheet, // Excel or OpenDocument
    Office, // Word's or Excel's older format, which only the program can tell apart
    WebPage,
    Text, // text, with no <OFX> in it
    Other, // bytes no text is made of
};

FileKind fileKindOf(std::string_view bytes);

// What a file of that kind is, as in "it is a PDF document": "empty", "a PDF
// document", "a text without an <OFX> tag"; empty for Ofx.
std::string_view fileKindName(FileKind kind);

} // namespace scrivane
