#include "conversion_invariants.h"

#include "invariants.h"

#include "statement/utf8.h"
#include "statement/windows1252.h"
#include "statement/xml_reader.h"

#include <string>
#include <vector>

namespace scrivane::fuzz {

namespace {

// A tree as a list of events: "(NAME" and ")" around the children of an element
// that holds elements, "NAME=text" for one that holds text or nothing. Text that
// is only white space counts as none.
using Events = std::vector<std::string>;

bool blank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string leaf(std::string_view name, const std::string& text)
{
    return std::string(name) + "=" + (blank(text) ? std::string() : text);
}

class TreeBuilder : public XmlHandler
{
public:
    void processingInstruction(std::string_view, std::string_view) override { }
    bool startElement(std::string_view name, bool) override
    {
        if (!open_.empty())
            open_.back().hasChildren = true;
        open_.push_back({std::string(name), events.size(), {}, false});
        events.emplace_back();
        return true;
    }
    bool endElement(std::string_view name) override
    {
        Frame& frame = open_.back();
        if (frame.hasChildren) {
            events[frame.event] = "(" + std::string(name);
            events.emplace_back(")");
        } else {
            events[frame.event] = leaf(name, frame.text);
        }
        open_.pop_back();
        return true;
    }
    bool text(std::u32string_view chars, TextOrigin) override
    {
        for (char32_t c : chars)
            appendUtf8(open_.back().text, c);
        return true;
    }
    std::string stopReason() const override { return {}; }

    Events events;

private:
    struct Frame
    {
        std::string name;
        std::size_t event;
        std::string text;
        bool hasChildren;
    };
    std::vector<Frame> open_;
};

// Data text of the SGML form in UTF-8: the three entities and the 1252 bytes decoded.
std::string sgmlText(std::string_view raw)
{
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&') {
            std::string_view rest = raw.substr(i);
            const std::size_t n = rest.starts_with("&amp;")            ? 5
                : rest.starts_with("&lt;") || rest.starts_with("&gt;") ? 4
                                                                       : 0;
            FUZZ_CHECK(n > 0, "an ampersand of the SGML form begins &amp; &lt; or &gt;");
            out.push_back(n == 5 ? '&' : rest[1] == 'l' ? '<' : '>');
            i += n - 1;
            continue;
        }
        const auto byte = static_cast<unsigned char>(raw[i]);
        const char32_t c = fromWindows1252(byte);
        FUZZ_CHECK(c != byte || byte < 0x80 || byte > 0x9F, "the SGML form holds only Windows-1252 characters");
        appendUtf8(out, c);
    }
    return out;
}

Events readSgml(std::string_view sgml)
{
    constexpr std::string_view headerStart = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:";
    FUZZ_CHECK(sgml.starts_with(headerStart), "the SGML form begins with the OFX 1.0.2 header");
    const std::size_t bodyAt = sgml.find("\r\n\r\n");
    FUZZ_CHECK(bodyAt != std::string_view::npos, "a blank line ends the header");
    const std::string_view header = sgml.substr(0, bodyAt + 2);
    FUZZ_CHECK(header.find("\r\nENCODING:USASCII\r\nCHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:")
                   != std::string_view::npos,
               "the header declares Windows-1252");
    FUZZ_CHECK(header.find('<') == std::string_view::npos, "the header holds no markup");

    Events events;
    std::vector<std::string_view> open;
    std::size_t pos = bodyAt + 4;
    while (pos < sgml.size()) {
        FUZZ_CHECK(sgml[pos] == '<', "every line of the body begins with a tag");
        const std::size_t close = sgml.find('>', pos);
        FUZZ_CHECK(close != std::string_view::npos, "a tag ends");
        std::string_view name = sgml.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        if (name.starts_with('/')) {
            FUZZ_CHECK(!open.empty() && open.back() == name.substr(1), "an end tag closes the open aggregate");
            open.pop_back();
            events.emplace_back(")");
            FUZZ_CHECK(sgml.substr(pos, 2) == "\r\n", "an end tag ends its line");
            pos += 2;
            continue;
        }
        const std::size_t next = std::min(sgml.find('<', pos), sgml.size());
        std::string_view text = sgml.substr(pos, next - pos);
        pos = next;
        if (text == "\r\n") {
            // The start tag of an element that holds elements.
            events.push_back("(" + std::string(name));
            open.push_back(name);
            continue;
        }
        const std::string endTag = "</" + std::string(name) + ">";
        if (sgml.substr(pos).starts_with(endTag)) {
            // An element written with both tags: empty, or an aggregate given text alone.
            pos += endTag.size();
            FUZZ_CHECK(sgml.substr(pos, 2) == "\r\n", "an end tag ends its line");
            pos += 2;
        } else {
            FUZZ_CHECK(text.ends_with("\r\n"), "a data element ends its line");
            text.remove_suffix(2);
            FUZZ_CHECK(!blank(text), "a data element without text keeps its end tag");
        }
        events.push_back(leaf(name, sgmlText(text)));
    }
    FUZZ_CHECK(open.empty(), "every aggregate is closed");
    return events;
}

} // namespace

void checkConversion(std::string_view xml, std::string_view sgml)
{
    TreeBuilder asXml, asOfx1;
    const bool wellFormed = readXml(xml, asXml).ok();
    FUZZ_CHECK(wellFormed || readXml(xml, asOfx1, BodyRules::Ofx1).ok(),
               "only well-formed XML, or an OFX 1 body under an XML header, is converted");
    FUZZ_CHECK(readSgml(sgml) == (wellFormed ? asXml : asOfx1).events,
               "the SGML form holds the tree and text of the XML");
}

} // namespace scrivane::fuzz
