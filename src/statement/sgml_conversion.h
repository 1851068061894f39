#pragma once

#include <string>
#include <string_view>

namespace scrivane {

// An XML-form statement written in the SGML form of OFX 1.0.2, the only form that
// every QuickBooks imports, or why it cannot be.
struct SgmlConversion
{
    bool converted = false;
    std::string text; // the statement in its new form, when converted
    std::string reason; // otherwise why not, in words for the user (UTF-8)
};

// The header block of OFX 1 replaces the XML declaration and the "<?OFX"
// instruction, with SECURITY, OLDFILEUID and NEWFILEUID taken from the
// instruction. The text is written in Windows-1252, declared as ENCODING:USASCII
// with CHARSET:1252; a character that the set lacks stops the conversion, named
// in the reason, rather than being lost. Elements that hold elements keep their
// end tags, elements that hold text lose theirs, one element to a line with CR LF.
// The entities &amp; &lt; &gt; stay as they are, other references become their
// characters (or one of those three entities), and CDATA sections become text.
// A document that is not well-formed XML is not converted.
SgmlConversion convertToSgml(std::string_view xml);

} // namespace scrivane
