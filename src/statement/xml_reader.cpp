#include "xml_reader.h"

#include "ofx_aggregates.h"
#include "text.h"
#include "utf8.h"
#include "windows1252.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace scrivane {

namespace {

enum class Encoding { Utf8, Ascii, Latin1, Windows1252 };

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Letters beyond ASCII may form names; the multiplication and division signs
// and the punctuation blocks may not.
bool isNameCharBeyondAscii(char32_t c)
{
    return c == 0xB7 || (c >= 0xC0 && c != 0xD7 && c != 0xF7 && (c < 0x2000 || c > 0x206F) && c < 0xFFFE);
}

// Whether text begins with the end tag of name: "</", the name, white space, ">".
bool beginsEndTagOf(std::string_view text, std::string_view name)
{
    if (!text.starts_with("</") || !text.substr(2).starts_with(name))
        return false;
    std::size_t at = 2 + name.size();
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at < text.size() && text[at] == '>';
}

std::string codePointText(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

class Reader
{
public:
    Reader(std::string_view document, XmlHandler& handler, BodyRules rules)
        : doc_(document)
        , handler_(handler)
        , rules_(rules)
    {
    }

    XmlResult run()
    {
        if (lookingAt("\xEF\xBB\xBF"))
            pos_ += 3;
        if (lookingAt("<?xml") && pos_ + 5 < doc_.size() && isSpace(doc_[pos_ + 5]) && !readDeclaration())
            return problem();
        if (!readMisc())
            return problem();
        if (lookingAt("<!DOCTYPE"))
            return XmlProblem {
                XmlProblem::Kind::Unread, 0, "it has a document type declaration, which Scrivane does not read"};
        if (atEnd() || !lookingAt("<")) {
            fail(atEnd() ? "there is no root element" : "text stands before the root element");
            return problem();
        }
        if (!readElements() || !readMisc())
            return problem();
        if (!atEnd())
            fail("something other than a comment follows the root element");
        if (error_)
            return problem();
        if (detached_)
            return XmlProblem {XmlProblem::Kind::Refused, 0, stopReason_};
        return {};
    }

private:
    bool atEnd() const { return pos_ >= doc_.size(); }
    bool lookingAt(std::string_view s) const { return doc_.substr(pos_).starts_with(s); }
    void skipSpace()
    {
        while (!atEnd() && isSpace(doc_[pos_]))
            ++pos_;
    }

    // Every step that stops the reading has said why; should one not have, the
    // document still counts as malformed where the reading stopped.
    XmlProblem problem()
    {
        fail("the reading stopped here");
        return *error_;
    }

    bool fail(const std::string& what)
    {
        if (!error_) {
            std::size_t line = 1;
            for (std::size_t i = 0; i < pos_ && i < doc_.size(); ++i)
                line += doc_[i] == '\n' ? 1u : 0u;
            error_ = XmlProblem {XmlProblem::Kind::Malformed, line, what};
        }
        return false;
    }

    // The handler's refusal is kept while the reading goes on without it: that
    // the document is not well-formed XML is the first thing to tell.
    bool stop()
    {
        if (stopReason_.empty())
            stopReason_ = handler_.stopReason();
        detached_ = true;
        return true;
    }

    bool toHandler(bool delivered) { return delivered || stop(); }

    // Decodes the character at the reading position and moves past it.
    bool nextChar(char32_t& c)
    {
        const auto b0 = static_cast<unsigned char>(doc_[pos_]);
        if (b0 < 0x80) {
            c = b0;
            ++pos_;
        } else if (encoding_ == Encoding::Ascii) {
            return fail("a byte beyond ASCII in a document declared US-ASCII");
        } else if (encoding_ == Encoding::Latin1) {
            c = b0;
            ++pos_;
        } else if (encoding_ == Encoding::Windows1252) {
            c = fromWindows1252(b0);
            // The five bytes the set leaves undefined are no characters of it.
            if (c == b0 && b0 <= 0x9F)
                return fail("a byte that Windows-1252 leaves unassigned");
            ++pos_;
        } else {
            const Utf8Char decoded = decodeUtf8(doc_.substr(pos_));
            if (decoded.length == 0)
                return fail("bytes that are not valid UTF-8");
            c = decoded.code;
            pos_ += decoded.length;
        }
        if (!isXmlChar(c))
            return fail("the character " + codePointText(c) + ", which XML does not allow");
        return true;
    }

    bool readName(std::string_view& name)
    {
        const std::size_t start = pos_;
        while (!atEnd()) {
            const char ch = doc_[pos_];
            const bool first = pos_ == start;
            if (static_cast<unsigned char>(ch) < 0x80) {
                if (!(isAsciiLetter(ch) || ch == '_' || ch == ':'
                      || (!first && (isDigit(ch) || ch == '-' || ch == '.'))))
                    break;
                ++pos_;
                continue;
            }
            const std::size_t at = pos_;
            char32_t c = 0;
            if (!nextChar(c))
                return false;
            if (!isNameCharBeyondAscii(c)) {
                pos_ = at;
                break;
            }
        }
        if (pos_ == start)
            return fail("a name is missing where markup needs one");
        name = doc_.substr(start, pos_ - start);
        return true;
    }

    // Checks the characters of a stretch of markup that the reader passes over.
    bool checkChars(std::size_t end)
    {
        char32_t c = 0;
        while (pos_ < end) {
            if (!nextChar(c))
                return false;
        }
        return true;
    }

    bool readEq()
    {
        skipSpace();
        if (!lookingAt("="))
            return fail("\"=\" is missing");
        ++pos_;
        skipSpace();
        return true;
    }

    bool readQuoted(std::string_view& value)
    {
        if (atEnd() || (doc_[pos_] != '"' && doc_[pos_] != '\''))
            return fail("a value is not in quotes");
        const char quote = doc_[pos_++];
        const std::size_t end = doc_.find(quote, pos_);
        if (end == std::string_view::npos)
            return fail("a quoted value does not end");
        value = doc_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }

    bool readDeclaration()
    {
        pos_ += 5;
        std::string_view name;
        std::string_view value;
        skipSpace();
        if (!readName(name) || name != "version" || !readEq() || !readQuoted(value))
            return fail("the XML declaration has no version");
        if (!value.starts_with("1.") || value.size() < 3)
            return fail("the XML declaration names a version other than 1.x");
        bool spaced = false;
        for (std::string_view pseudo : {"encoding", "standalone"}) {
            const std::size_t before = pos_;
            skipSpace();
            spaced = pos_ > before;
            if (!spaced || !lookingAt(pseudo))
                continue;
            if (!readName(name) || name != pseudo || !readEq() || !readQuoted(value))
                return fail("the XML declaration is malformed");
            if (pseudo == "encoding" && !chooseEncoding(upperAscii(value))) {
                error_ = XmlProblem {XmlProblem::Kind::Unread,
                                     0,
                                     "its encoding " + std::string(value) + " is not one that Scrivane reads"};
                return false;
            }
            if (pseudo == "standalone" && value != "yes" && value != "no")
                return fail("standalone must be yes or no");
        }
        skipSpace();
        if (!lookingAt("?>"))
            return fail("the XML declaration is malformed");
        pos_ += 2;
        return true;
    }

    bool chooseEncoding(const std::string& name)
    {
        if (name == "UTF-8" || name == "UTF8")
            encoding_ = Encoding::Utf8;
        else if ((name == "UTF-16" || name == "UTF16") && doc_.find('\0') == std::string_view::npos)
            // Text in UTF-16 could not have spelt "<?xml" in single bytes: these
            // are 8-bit bytes, read as what they are.
            encoding_ = isWellFormedUtf8(doc_) ? Encoding::Utf8 : Encoding::Windows1252;
        else if (name == "US-ASCII" || name == "USASCII" || name == "ASCII")
            encoding_ = Encoding::Ascii;
        else if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "ISO_8859-1" || name == "LATIN1")
            encoding_ = Encoding::Latin1;
        else if (name == "WINDOWS-1252" || name == "CP1252")
            encoding_ = Encoding::Windows1252;
        else
            return false;
        return true;
    }

    // White space, comments and processing instructions outside the root element.
    bool readMisc()
    {
        for (;;) {
            skipSpace();
            if (lookingAt("<!--")) {
                if (!readComment())
                    return false;
            } else if (lookingAt("<?")) {
                if (!readInstruction())
                    return false;
            } else {
                return true;
            }
        }
    }

    bool readComment()
    {
        pos_ += 4;
        const std::size_t dashes = doc_.find("--", pos_);
        if (dashes == std::string_view::npos)
            return fail("a comment does not end");
        if (!checkChars(dashes))
            return false;
        if (dashes + 2 >= doc_.size() || doc_[dashes + 2] != '>')
            return fail("\"--\" stands inside a comment");
        pos_ = dashes + 3;
        return true;
    }

    bool readInstruction()
    {
        pos_ += 2;
        std::string_view target;
        if (!readName(target))
            return false;
        if (upperAscii(target) == "XML")
            return fail("an XML declaration stands elsewhere than at the very start");
        if (!lookingAt("?>") && (atEnd() || !isSpace(doc_[pos_])))
            return fail("a processing instruction is malformed");
        const std::size_t end = doc_.find("?>", pos_);
        if (end == std::string_view::npos)
            return fail("a processing instruction does not end");
        skipSpace();
        const std::size_t start = std::min(pos_, end);
        pos_ = start;
        if (!checkChars(end))
            return false;
        if (!detached_)
            handler_.processingInstruction(target, doc_.substr(start, end - start));
        pos_ = end + 2;
        return true;
    }

    // "&name;" or "&#...;" at the reading position, as the character it stands for.
    bool readReference(char32_t& c)
    {
        const std::size_t semicolon = doc_.find(';', pos_);
        if (semicolon == std::string_view::npos || semicolon - pos_ > 12)
            return fail("\"&\" does not begin a reference");
        std::string_view ref = doc_.substr(pos_ + 1, semicolon - pos_ - 1);
        if (ref.starts_with('#')) {
            const bool hex = ref.starts_with("#x");
            std::string_view digits = ref.substr(hex ? 2 : 1);
            if (digits.empty())
                return fail("a character reference has no digits");
            c = 0;
            for (char d : digits) {
                unsigned value = 0;
                if (isDigit(d))
                    value = static_cast<unsigned>(d - '0');
                else if (hex && d >= 'a' && d <= 'f')
                    value = static_cast<unsigned>(d - 'a' + 10);
                else if (hex && d >= 'A' && d <= 'F')
                    value = static_cast<unsigned>(d - 'A' + 10);
                else
                    return fail("a character reference holds a character other than a digit");
                c = c * (hex ? 16 : 10) + value;
                if (c > 0x10FFFF)
                    return fail("a character reference lies beyond Unicode");
            }
            if (!isXmlChar(c))
                return fail("a character reference to " + codePointText(c) + ", which XML does not allow");
        } else if (ref == "amp") {
            c = '&';
        } else if (ref == "lt") {
            c = '<';
        } else if (ref == "gt") {
            c = '>';
        } else if (ref == "quot") {
            c = '"';
        } else if (ref == "apos") {
            c = '\'';
        } else {
            return fail("the entity &" + std::string(ref) + "; is not defined");
        }
        pos_ = semicolon + 1;
        return true;
    }

    bool readAttributeValue()
    {
        std::string_view value;
        const std::size_t start = pos_ + 1;
        if (!readQuoted(value))
            return false;
        const std::size_t end = pos_ - 1;
        pos_ = start;
        while (pos_ < end) {
            char32_t c = 0;
            if (doc_[pos_] == '<')
                return fail("\"<\" stands inside an attribute value");
            if (doc_[pos_] == '&' ? !readReference(c) : !nextChar(c))
                return false;
        }
        pos_ = end + 1;
        return true;
    }

    bool readStartTag()
    {
        ++pos_;
        std::string_view name;
        if (!readName(name))
            return false;
        std::vector<std::string_view> attributes;
        bool empty = false;
        for (;;) {
            const std::size_t before = pos_;
            skipSpace();
            if (lookingAt("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            if (lookingAt(">")) {
                ++pos_;
                break;
            }
            std::string_view attribute;
            if (pos_ == before || !readName(attribute))
                return fail("the start tag <" + std::string(name) + "> is malformed");
            for (std::string_view seen : attributes) {
                if (seen == attribute)
                    return fail("an attribute stands twice in <" + std::string(name) + ">");
            }
            attributes.push_back(attribute);
            if (!readEq() || !readAttributeValue())
                return false;
        }
        if (!detached_ && !toHandler(handler_.startElement(name, !attributes.empty())))
            return false;
        if (empty)
            return detached_ || toHandler(handler_.endElement(name));
        open_.push_back(name);
        openData_.push_back(rules_ == BodyRules::Ofx1 && !isOfxAggregate(name));
        return true;
    }

    // By the OFX 1 rules the open data element ends here: at the end of the
    // document, or at a tag other than its own end tag.
    bool dataElementEndsHere() const
    {
        if (!openData_.back() || (!atEnd() && (doc_[pos_] != '<' || lookingAt("<!") || lookingAt("<?"))))
            return false;
        return !beginsEndTagOf(doc_.substr(pos_), open_.back());
    }

    bool endDataElement()
    {
        while (!literal_.empty() && isSpace(static_cast<char>(literal_.back())))
            literal_.pop_back();
        if (!flushText())
            return false;
        const std::string_view name = open_.back();
        open_.pop_back();
        openData_.pop_back();
        return detached_ || toHandler(handler_.endElement(name));
    }

    bool readEndTag()
    {
        pos_ += 2;
        std::string_view name;
        if (!readName(name))
            return false;
        skipSpace();
        if (!lookingAt(">"))
            return fail("the end tag </" + std::string(name) + "> is malformed");
        if (name != open_.back())
            return fail("the end tag </" + std::string(name) + "> does not close <" + std::string(open_.back()) + ">");
        ++pos_;
        open_.pop_back();
        openData_.pop_back();
        return detached_ || toHandler(handler_.endElement(name));
    }

    bool readCdata()
    {
        pos_ += 9;
        const std::size_t end = doc_.find("]]>", pos_);
        if (end == std::string_view::npos)
            return fail("a CDATA section does not end");
        std::u32string chars;
        while (pos_ < end) {
            char32_t c = 0;
            if (!readTextChar(c))
                return false;
            chars.push_back(c);
        }
        pos_ = end + 3;
        return detached_ || toHandler(handler_.text(chars, TextOrigin::Cdata));
    }

    // One character of content; a line end of CR LF or CR alone reads as LF.
    bool readTextChar(char32_t& c)
    {
        if (doc_[pos_] == '\r') {
            ++pos_;
            if (!atEnd() && doc_[pos_] == '\n')
                ++pos_;
            c = '\n';
            return true;
        }
        return nextChar(c);
    }

    bool flushText()
    {
        if (literal_.empty())
            return true;
        const bool ok = detached_ || toHandler(handler_.text(literal_, TextOrigin::Literal));
        literal_.clear();
        return ok;
    }

    bool readElements()
    {
        if (!readStartTag())
            return false;
        while (!open_.empty()) {
            if (dataElementEndsHere()) {
                if (!endDataElement())
                    return false;
                continue;
            }
            if (atEnd())
                return fail("the statement ends before the end tag </" + std::string(open_.back()) + ">");
            const char ch = doc_[pos_];
            bool ok = true;
            if (ch == '<') {
                ok = flushText();
                if (!ok)
                    break;
                if (lookingAt("</"))
                    ok = readEndTag();
                else if (lookingAt("<!--"))
                    ok = readComment();
                else if (lookingAt("<![CDATA["))
                    ok = readCdata();
                else if (lookingAt("<?"))
                    ok = readInstruction();
                else if (lookingAt("<!"))
                    ok = fail("a declaration stands inside an element");
                else
                    ok = readStartTag();
            } else if (ch == '&') {
                char32_t c = 0;
                ok = flushText() && readReference(c)
                    && (detached_ || toHandler(handler_.text(std::u32string(1, c), TextOrigin::Reference)));
            } else if (lookingAt("]]>")) {
                ok = fail("\"]]>\" stands in text outside a CDATA section");
            } else {
                char32_t c = 0;
                ok = readTextChar(c);
                literal_.push_back(c);
            }
            if (!ok)
                return false;
        }
        return true;
    }

    std::string_view doc_;
    XmlHandler& handler_;
    std::size_t pos_ = 0;
    BodyRules rules_;
    Encoding encoding_ = Encoding::Utf8;
    std::optional<XmlProblem> error_;
    std::string stopReason_;
    bool detached_ = false;
    std::vector<std::string_view> open_;
    std::vector<bool> openData_; // for each open element, whether it is a data element of OFX 1
    std::u32string literal_;
};

} // namespace

XmlResult readXml(std::string_view document, XmlHandler& handler, BodyRules rules)
{
    return Reader(document, handler, rules).run();
}

} // namespace scrivane
