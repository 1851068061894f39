#include "sgml_conversion.h"

#include "ofx_aggregates.h"
#include "text.h"
#include "utf8.h"
#include "windows1252.h"
#include "xml_reader.h"

#include <cstdio>
#include <vector>

namespace scrivane {

namespace {

constexpr std::string_view lineEnd = "\r\n";

bool isBlank(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string utf8Of(char32_t c)
{
    std::string out;
    appendUtf8(out, c);
    return out;
}

// The value of KEY="VALUE" (or 'VALUE') among the pseudo-attributes of an
// instruction, or empty.
std::string_view pseudoAttribute(std::string_view content, std::string_view key)
{
    std::size_t pos = 0;
    while ((pos = content.find(key, pos)) != std::string_view::npos) {
        const bool wordStart = pos == 0 || isBlank(static_cast<unsigned char>(content[pos - 1]));
        std::size_t at = pos + key.size();
        pos = at;
        while (at < content.size() && content[at] == ' ')
            ++at;
        if (!wordStart || at >= content.size() || content[at] != '=')
            continue;
        ++at;
        while (at < content.size() && content[at] == ' ')
            ++at;
        if (at >= content.size() || (content[at] != '"' && content[at] != '\''))
            continue;
        const std::size_t close = content.find(content[at], at + 1);
        if (close == std::string_view::npos)
            return {};
        return content.substr(at + 1, close - at - 1);
    }
    return {};
}

// Writes the body while the reader goes through the document. An element's start
// tag waits until its first child or its end tag shows whether it holds elements
// or text.
class SgmlWriter : public XmlHandler
{
public:
    explicit SgmlWriter(std::string& out)
        : out_(out)
    {
    }

    void processingInstruction(std::string_view target, std::string_view content) override
    {
        if (target == "OFX" && !sawOfx_) {
            sawOfx_ = true;
            ofxInstruction_ = content;
        }
    }

    bool startElement(std::string_view name, bool hasAttributes) override
    {
        if (!isAscii(name))
            return refuse("the element name <" + std::string(name) + "> is not plain ASCII");
        if (hasAttributes)
            return refuse("the element <" + std::string(name) + "> has attributes, which OFX 1.0.2 cannot carry");
        if (textHasContent_)
            return refuse("text stands beside the elements inside <" + open_.back() + ">");
        if (pending_)
            writeLine("<" + open_.back() + ">");
        pending_ = true;
        open_.emplace_back(name);
        clearText();
        return true;
    }

    bool endElement(std::string_view name) override
    {
        if (pending_) {
            // OFX 1.0.2 gives an aggregate's body to elements alone: readers that
            // close data elements by the names they know take text there for a
            // value and close the aggregate twice.
            if (textHasContent_ && isOfxAggregate(name))
                return refuse("text stands inside <" + std::string(name) + ">, which holds only elements in OFX 1.0.2");
            // Nothing but white space inside: an empty element, written with both
            // tags so that it reads the same whether it holds text or elements.
            if (textHasContent_)
                writeLine("<" + std::string(name) + ">" + text_);
            else
                writeLine("<" + std::string(name) + "></" + std::string(name) + ">");
        } else {
            if (textHasContent_)
                return refuse("text stands beside the elements inside <" + std::string(name) + ">");
            writeLine("</" + std::string(name) + ">");
        }
        pending_ = false;
        open_.pop_back();
        clearText();
        return true;
    }

    bool text(std::u32string_view chars, TextOrigin origin) override
    {
        for (char32_t c : chars) {
            if (!isBlank(c))
                textHasContent_ = true;
            const bool markup = c == '&' || c == '<' || c == '>';
            if (markup && (origin != TextOrigin::Literal || c != '>')) {
                text_.append(c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;");
                continue;
            }
            std::optional<char> byte = toWindows1252(c);
            if (!byte) {
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
                return refuse("the character \"" + utf8Of(c) + "\" (" + code
                              + ") has no place in Windows-1252, the character set of OFX 1.0.2");
            }
            text_.push_back(*byte);
        }
        return true;
    }

    std::string stopReason() const override { return reason_; }

    std::string_view ofxInstruction() const { return ofxInstruction_; }

private:
    bool refuse(std::string reason)
    {
        reason_ = std::move(reason);
        return false;
    }

    void writeLine(const std::string& line)
    {
        out_.append(line);
        out_.append(lineEnd);
    }

    void clearText()
    {
        text_.clear();
        textHasContent_ = false;
    }

    std::string& out_;
    std::vector<std::string> open_;
    bool pending_ = false;
    std::string text_;
    bool textHasContent_ = false;
    bool sawOfx_ = false;
    std::string ofxInstruction_;
    std::string reason_;
};

// A value fit for a header line: printable ASCII without spaces, and without the
// markup characters that would make a reader take part of the header for a tag.
bool isHeaderValue(std::string_view value)
{
    if (value.empty())
        return false;
    for (char c : value) {
        if (c <= ' ' || c > '~' || c == '<' || c == '>' || c == '&')
            return false;
    }
    return true;
}

} // namespace

SgmlConversion convertToSgml(std::string_view xml)
{
    SgmlConversion result;
    std::string body;
    body.reserve(xml.size());
    std::string instruction;
    const auto readAs = [&](BodyRules rules) {
        body.clear();
        SgmlWriter writer(body);
        XmlResult read = readXml(xml, writer, rules);
        instruction = writer.ofxInstruction();
        return read;
    };
    const auto malformed
        = [](const XmlResult& read) { return !read.ok() && read.failure().kind == XmlProblem::Kind::Malformed; };
    XmlResult read = readAs(BodyRules::Xml);
    std::string form = "well-formed XML";
    if (malformed(read)) {
        // Some banks write the body of OFX 1, its data elements left open, under the
        // header of OFX 2; read by the rules it was written by, it converts like any
        // other. Where neither reading gets through, the one that got further tells.
        XmlResult asOfx1 = readAs(BodyRules::Ofx1);
        if (!malformed(asOfx1) || asOfx1.failure().line > read.failure().line) {
            read = std::move(asOfx1);
            form = "well-formed XML, nor a body of OFX 1 under an XML header";
        }
    }
    if (!read.ok()) {
        const XmlProblem& problem = read.failure();
        result.reason = problem.kind == XmlProblem::Kind::Malformed
            ? "it is not " + form + " (line " + std::to_string(problem.line) + ": " + problem.what + ")"
            : problem.what;
        return result;
    }

    std::string& out = result.text;
    out.reserve(body.size() + 200);
    auto headerLine = [&out](std::string_view key, std::string_view value) {
        out.append(key);
        out.push_back(':');
        out.append(value);
        out.append(lineEnd);
    };
    headerLine("OFXHEADER", "100");
    headerLine("DATA", "OFXSGML");
    headerLine("VERSION", "102");
    for (std::string_view key : {"SECURITY", "ENCODING", "CHARSET", "COMPRESSION", "OLDFILEUID", "NEWFILEUID"}) {
        std::string_view value = "NONE";
        if (key == "ENCODING")
            value = "USASCII";
        else if (key == "CHARSET")
            value = "1252";
        else if (key != "COMPRESSION")
            value = pseudoAttribute(instruction, key);
        if (value.empty())
            value = "NONE";
        if (!isHeaderValue(value)) {
            result.text.clear();
            result.reason = "the header value " + std::string(key) + "=\"" + std::string(value)
                + "\" cannot stand in an OFX 1.0.2 header";
            return result;
        }
        headerLine(key, value);
    }
    out.append(lineEnd);
    out.append(body);
    result.converted = true;
    return result;
}

} // namespace scrivane
