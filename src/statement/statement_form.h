#pragma once

#include "segment_list.h"

namespace scrivane {

// How letters outside ASCII are to be read, as the statement's own header says.
enum class Charset {
    Ascii, // unknown or plain ASCII: bytes of 0x80 and above are left alone
    Windows1252, // CHARSET:1252 or ISO-8859-1 (Latin-1 is a subset for letters)
    Utf8, // ENCODING:UTF-8 or UNICODE, or an XML declaration without another encoding
};

// Looks at what stands before the first element: the OFX 1 header lines, or the
// XML declaration and processing instructions of the XML form. A statement that
// declares 1252 but whose bytes are valid UTF-8 beyond ASCII is read as UTF-8; so
// is one that declares UTF-16 over 8-bit bytes, else as 1252.
Charset detectCharset(const SegmentList& segments);

// The XML form begins, after an optional byte-order mark and white space, with
// "<?xml", or carries an "<?OFX" header before its first element. Its elements
// need end tags, so anything inserted into it must carry one.
bool isXmlForm(const SegmentList& segments);

} // namespace scrivane
