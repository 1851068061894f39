#pragma once

#include <string_view>

namespace scrivane::fuzz {

// The SGML form that an XML statement was converted to, read back on its own
// terms (the OFX 1.0.2 header, end tags only where an element holds elements,
// Windows-1252 text with &amp; &lt; &gt;), holds the same element tree and the
// same text as the XML.
void checkConversion(std::string_view xml, std::string_view sgml);

} // namespace scrivane::fuzz
