#include "statement_form.h"

#include "text.h"
#include "utf8.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace scrivane {

namespace {

// The segments that make up the prolog: the header before any tag, and any
// processing instructions or declarations ("<?...", "<!...").
template <class Visit>
void forEachPrologSegment(const SegmentList& segments, Visit&& visit)
{
    for (std::size_t i = 1; i < segments.size(); ++i) {
        std::string_view seg = segments[i];
        if (seg.empty())
            continue;
        if (seg.front() == '<' && seg.size() > 1 && seg[1] != '?' && seg[1] != '!')
            return;
        visit(seg);
    }
}

// Value of an OFX 1 header line "KEY:VALUE" inside the header text.
std::string headerValue(const std::string& header, std::string_view key)
{
    std::size_t pos = 0;
    while ((pos = header.find(key, pos)) != std::string::npos) {
        bool lineStart = pos == 0 || header[pos - 1] == '\n' || header[pos - 1] == '\r';
        std::size_t colon = pos + key.size();
        if (lineStart && colon < header.size() && header[colon] == ':') {
            std::size_t end = header.find_first_of("\r\n", colon);
            return std::string(trimBlanks(std::string_view(header).substr(colon + 1, end - colon - 1)));
        }
        pos = colon;
    }
    return {};
}

// The encoding="..." pseudo-attribute of an XML declaration, or empty.
std::string xmlEncoding(const std::string& decl)
{
    std::size_t pos = decl.find("ENCODING");
    if (pos == std::string::npos)
        return {};
    std::size_t quote = decl.find_first_of("\"'", pos);
    if (quote == std::string::npos)
        return {};
    std::size_t close = decl.find(decl[quote], quote + 1);
    if (close == std::string::npos)
        return {};
    return decl.substr(quote + 1, close - quote - 1);
}

bool isLatin1Name(std::string_view name)
{
    return name == "1252" || name == "WINDOWS-1252" || name == "CP1252" || name == "ISO-8859-1" || name == "8859-1"
        || name == "ISO8859-1" || name == "LATIN1" || name == "LATIN-1";
}

// The bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// past U+10FFFF) and hold at least one character outside ASCII.
bool holdsUtf8Letters(const SegmentList& segments)
{
    bool beyondAscii = false;
    bool valid = true;
    // A "<" never stands inside a multi-byte sequence, so the pieces of the joined
    // text (whole segments each) can be checked one by one: for a list as split,
    // that is the whole text in one piece.
    segments.forEachPiece([&](std::string_view piece) {
        for (std::size_t i = 0; valid && i < piece.size();) {
            // Statements are nearly all ASCII: skip it 32 bytes at a time.
            std::uint64_t words[4];
            if (i + sizeof words <= piece.size()) {
                std::memcpy(words, piece.data() + i, sizeof words);
                if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ull) == 0) {
                    i += sizeof words;
                    continue;
                }
            }
            if (static_cast<unsigned char>(piece[i]) < 0x80) {
                ++i;
                continue;
            }
            const std::size_t length = decodeUtf8(piece.substr(i)).length;
            valid = length != 0;
            beyondAscii = true;
            i += length;
        }
    });
    return valid && beyondAscii;
}

} // namespace

Charset detectCharset(const SegmentList& segments)
{
    Charset found = Charset::Ascii;
    bool decided = false;
    forEachPrologSegment(segments, [&](std::string_view seg) {
        if (decided)
            return;
        std::string upper = upperAscii(seg);
        if (upper.starts_with("<?XML")) {
            std::string enc = xmlEncoding(upper);
            // UTF-16 could not have spelt "<?xml" in single bytes: a statement that
            // declares it is 8-bit text, 1252 unless its bytes are UTF-8 (below).
            if (enc.empty() || enc == "UTF-8" || enc == "UTF8")
                found = Charset::Utf8;
            else if (isLatin1Name(enc) || enc == "UTF-16" || enc == "UTF16")
                found = Charset::Windows1252;
            decided = true;
            return;
        }
        if (upper.starts_with("<"))
            return;
        std::string encoding = headerValue(upper, "ENCODING");
        std::string charset = headerValue(upper, "CHARSET");
        if (encoding == "UTF-8" || encoding == "UNICODE" || encoding == "UTF8")
            found = Charset::Utf8;
        else if (isLatin1Name(charset))
            found = Charset::Windows1252;
        if (!encoding.empty() || !charset.empty())
            decided = true;
    });
    // Many banks declare 1252 and send UTF-8. Text in 1252 that is also valid
    // UTF-8 beyond ASCII practically does not occur, while mapping UTF-8 by the
    // 1252 table would break its letters.
    if (found == Charset::Windows1252 && holdsUtf8Letters(segments))
        found = Charset::Utf8;
    return found;
}

bool isXmlForm(const SegmentList& segments)
{
    bool xml = false;
    bool sawContent = false;
    forEachPrologSegment(segments, [&](std::string_view seg) {
        if (xml)
            return;
        if (!sawContent) {
            std::string_view rest = seg;
            if (rest.starts_with("\xEF\xBB\xBF"))
                rest.remove_prefix(3);
            rest = trimBlanks(rest);
            if (rest.empty())
                return;
            sawContent = true;
            if (rest.starts_with("<?xml")) {
                xml = true;
                return;
            }
        }
        if (seg.starts_with("<?OFX"))
            xml = true;
    });
    return xml;
}

} // namespace scrivane
