#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace scrivane::gen {

enum class Form { Sgml, Xml };

// Writes OFX elements in either form. The SGML form is OFX 1.02: header lines,
// CR LF line ends, leaf elements without end tags, Windows-1252 text. The XML form
// is OFX 2.1.1: declarations, end tags everywhere, LF line ends, indentation, UTF-8.
// Output is buffered and handed to the file in large pieces.
class OfxWriter
{
public:
    OfxWriter(std::FILE* out, Form form);
    ~OfxWriter();
    OfxWriter(const OfxWriter&) = delete;
    OfxWriter& operator=(const OfxWriter&) = delete;

    Form form() const { return form_; }

    void header();
    void open(std::string_view tag);
    void close(std::string_view tag);
    // A leaf element; the value is escaped and converted to the form's charset.
    void leaf(std::string_view tag, std::string_view value);
    // A leaf whose value is a CDATA section (XML form only; SGML gets a plain leaf).
    void cdataLeaf(std::string_view tag, std::string_view value);

    // In the SGML form elements may run on along one line, as many banks write
    // them; lineBreak() then ends the line. Has no effect on the XML form.
    void setPacked(bool packed);
    void lineBreak();

    void flush();

private:
    void startElement();
    void endElement();
    void text(std::string_view value, bool escape);

    std::FILE* out_;
    Form form_;
    std::string buffer_;
    int depth_ = 0;
    bool packed_ = false;
    bool lineOpen_ = false;
};

} // namespace scrivane::gen
