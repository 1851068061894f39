#pragma once

#include "result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivane {

// Where a piece of element text came from. A writer that changes the form of a
// statement needs to know: a character written as a reference or inside a CDATA
// section may be one that the markup would take for its own ("&", "<", ">").
enum class TextOrigin {
    Literal, // characters as they stand in the document
    Reference, // one character written as an entity or a numeric character reference
    Cdata, // the content of a CDATA section
};

// What the reader finds, in document order. A handler that returns false stops
// the reading; its reason is then the reader's.
class XmlHandler
{
public:
    virtual ~XmlHandler() = default;
    // A processing instruction anywhere in the document (never the XML declaration).
    virtual void processingInstruction(std::string_view target, std::string_view content) = 0;
    virtual bool startElement(std::string_view name, bool hasAttributes) = 0;
    virtual bool endElement(std::string_view name) = 0;
    // Characters of element content, line ends already read as "\n".
    virtual bool text(std::u32string_view chars, TextOrigin origin) = 0;
    // Why the handler stopped the reading.
    virtual std::string stopReason() const = 0;
};

// How the elements of a body end. XML closes every element. OFX 1 closes only
// its aggregates; a data element ends at the next tag, its end tag optional, and
// white space before that tag is layout. Some banks write such a body under the
// header of OFX 2.
enum class BodyRules { Xml, Ofx1 };

// Why a document was not read to its end.
struct XmlProblem
{
    enum class Kind {
        // Not well-formed XML (what a validating reader such as xmllint rejects),
        // or against the OFX 1 rules when read by them: at line, what says how.
        Malformed,
        // Well-formed as far as it goes, but in a way this reader does not read:
        // a document type declaration, or an encoding it does not know.
        Unread,
        // The handler stopped the reading; what is its reason.
        Refused,
    };
    Kind kind;
    std::size_t line = 0; // counted from 1, for Malformed
    std::string what; // in words (UTF-8)
};

using XmlResult = Result<XmlProblem>;

// Reads a statement in the XML form and tells the handler what it holds: ok when
// the document was read to its end, otherwise why not. Where the document is
// malformed, that is the problem told, even when the handler stopped before.
// Comments and white space outside elements are passed over. Encodings read:
// UTF-8 (the default), US-ASCII, ISO-8859-1 and Windows-1252; "UTF-16" declared
// over 8-bit bytes, as some banks do, is taken for what the bytes are, UTF-8 or
// else Windows-1252.
XmlResult readXml(std::string_view document, XmlHandler& handler, BodyRules rules = BodyRules::Xml);

} // namespace scrivane
