#include "check_scan.h"

#include "check_scanner.h"
#include "check_tags.h"
#include "check_values.h"

#include "ofx_aggregates.h"
#include "text.h"
#include "utf8.h"

#include <algorithm>
#include <cstring>

namespace scrivane {

namespace check {

void Scanner::readProlog(std::string_view prolog)
{
    // OFX 1.0.2, section 2.2: the SGML form opens with header
    // lines (OFXHEADER:100, DATA:OFXSGML, ENCODING, CHARSET). OFX 2.1.1,
    // section 2.2: the XML form opens with the XML declaration
    // and the <?OFX OFXHEADER="200" ...?> instruction.
    std::string_view rest = prolog;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    rest = trimBlanks(rest);
    const std::string up = upperAscii(rest);
    if (up.starts_with("OFXHEADER")) {
        sgmlHeader_ = true;
        const std::string encoding = headerField(up, "ENCODING");
        const std::string charset = headerField(up, "CHARSET");
        if (encoding == "UTF-8" || encoding == "UTF8" || encoding == "UNICODE")
            declared_ = Declared::Utf8;
        else if (isLatinName(charset))
            declared_ = Declared::Latin;
    }
}

void Scanner::checkCharset()
{
    // OFX 1.0.2, section 5.1 (and 2.2 for the header lines):
    // the text is read in the character set that ENCODING and CHARSET declare;
    // the XML form's is UTF-8 unless its declaration names another (XML 1.0,
    // section 4.3.3). Bytes of another set show as other, garbled letters.
    if (!highByte_)
        return;
    if (declared_ == Declared::Utf8 && invalidUtf8_)
        add(FindingKind::BadCharset, FindingLevel::Warning, invalidLine_, "UTF-8");
    else if (declared_ == Declared::Latin && !invalidUtf8_)
        add(FindingKind::BadCharset, FindingLevel::Warning, highLine_, "1252");
}

void Scanner::feed(std::string_view piece)
{
    // A piece ends before a "<", so no CR LF is split between two pieces.
    line_ += countLineBreaks(text_.substr(counted_));
    text_ = piece;
    counted_ = 0;
    nextAmp_ = 0;
    // A "<" never stands inside a UTF-8 sequence, so each piece is valid or not by itself.
    if (!highByte_) {
        if (const std::size_t high = firstHighByte(text_, 0); high != std::string_view::npos) {
            highByte_ = true;
            highLine_ = line_ + countLineBreaks(text_.substr(0, high));
        }
    }
    if (highByte_ && !invalidUtf8_) {
        if (const std::size_t invalid = firstInvalidUtf8(text_); invalid != std::string_view::npos) {
            invalidUtf8_ = true;
            invalidLine_ = line_ + countLineBreaks(text_.substr(0, invalid));
        }
    }
    bool& inProlog = inProlog_;
    std::size_t pos = 0;
    if (!openUntil_.empty()) {
        // An instruction, comment or CDATA section that an earlier piece opened.
        // Its closer cannot straddle two pieces, as each piece begins with "<".
        const std::size_t end = text_.find(openUntil_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        if (openUntil_ == "]]>")
            pendingHasText_ = pendingHasText_ || !trimBlanks(text_.substr(0, stop)).empty();
        if (end == std::string_view::npos) {
            pos = text_.size();
        } else {
            pos = end + openUntil_.size();
            openUntil_ = {};
        }
    }
    while (pos < text_.size()) {
        const std::size_t lt = text_[pos] == '<' ? pos : text_.find('<', pos);
        if (lt == std::string_view::npos || lt + 1 >= text_.size())
            break;
        const char next = text_[lt + 1];
        if (inProlog && (isLetter(next) || next == '/')) {
            inProlog = false;
            readProlog(prolog_ + std::string(text_.substr(0, lt)));
        }
        if (next == '?') {
            const std::size_t end = text_.find("?>", lt);
            const std::string_view target = text_.substr(lt + 2, std::min<std::size_t>(3, text_.size() - lt - 2));
            if (equalsNoCase(target, "xml") || equalsNoCase(target, "OFX")) {
                const std::string all = prolog_ + std::string(text_.substr(0, lt));
                std::string_view before = all;
                if (before.starts_with("\xEF\xBB\xBF"))
                    before.remove_prefix(3);
                const bool afterSgmlHeader = sgmlHeader_ || startsWithNoCase(trimBlanks(before), "OFXHEADER");
                if (afterSgmlHeader) {
                    if (xmlInstructionLine_ == 0)
                        xmlInstructionLine_ = lineAt(lt);
                } else if (inProlog) {
                    xmlHeader_ = true;
                    // The declaration ends at "?>", or where the next "<" stands.
                    const std::size_t stop = std::min(end, text_.find('<', lt + 1));
                    if (equalsNoCase(target, "xml"))
                        declared_ = xmlDeclared(text_.substr(lt, stop == std::string_view::npos ? stop : stop - lt));
                }
            }
            if (end == std::string_view::npos) {
                openUntil_ = "?>";
                break;
            }
            pos = end + 2;
            continue;
        }
        if (next == '!') {
            std::string_view closer = ">";
            if (text_.substr(lt).starts_with("<!--"))
                closer = "-->";
            else if (text_.substr(lt).starts_with("<![CDATA["))
                closer = "]]>";
            const std::size_t end = text_.find(closer, lt + 2);
            if (closer == "]]>") {
                const std::size_t from = std::min(lt + 9, text_.size());
                const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
                pendingHasText_ = pendingHasText_ || !trimBlanks(text_.substr(from, stop - from)).empty();
            }
            if (end == std::string_view::npos) {
                openUntil_ = closer;
                break;
            }
            pos = end + closer.size();
            continue;
        }
        const bool closing = next == '/';
        if (!closing && !isLetter(next)) {
            pos = lt + 1; // a "<" that opens no tag is text
            continue;
        }
        // The name runs to white space, "/" or ">"; the value from ">" to the next "<".
        const std::size_t nameAt = lt + (closing ? 2 : 1);
        std::size_t nameEnd = nameAt;
        while (nameEnd < text_.size() && !endsName(text_[nameEnd]))
            ++nameEnd;
        std::size_t gt = nameEnd < text_.size() && text_[nameEnd] == '>' ? nameEnd : text_.find('>', nameEnd);
        if (gt != nameEnd) {
            // A tag ends before the next "<"; one that does not is text.
            const std::size_t nextLt = text_.find('<', nameEnd);
            if (gt == std::string_view::npos || nextLt < gt) {
                pos = nextLt == std::string_view::npos ? text_.size() : nextLt;
                continue;
            }
        }
        const std::string_view name = text_.substr(nameAt, nameEnd - nameAt);
        const bool selfClosing = !closing && text_[gt - 1] == '/';
        std::size_t valueEnd = text_.find('<', gt + 1);
        if (valueEnd == std::string_view::npos)
            valueEnd = text_.size();
        const std::string_view value = text_.substr(gt + 1, valueEnd - gt - 1);

        const bool xmlBody = xmlHeader_ && !sgmlHeader_;
        if (xmlBody && !pendingLeaf_.empty()) {
            // The XML form closes every element: one that holds text and is
            // followed by anything but its own end tag was written the SGML way.
            const bool ownEnd = closing && equalsNoCase(name, pendingLeaf_);
            if (!ownEnd && pendingHasText_ && unclosedLine_ == 0 && !isOfxAggregate(upperAscii(pendingLeaf_)))
                unclosedLine_ = pendingLine_;
            pendingLeaf_ = {};
            pendingHasText_ = false;
        }

        if (closing) {
            endElement(name);
        } else {
            startElement(name, lt, value);
            // "&" is rare: its next place is kept, and only a value that holds
            // one is looked at.
            if (!xmlBody && nextAmp_ < valueEnd) {
                if (nextAmp_ <= gt)
                    nextAmp_ = text_.find('&', gt + 1);
                if (nextAmp_ < valueEnd) {
                    checkValueMarkup(name, value, gt + 1);
                    nextAmp_ = text_.find('&', valueEnd);
                }
            }
            if (selfClosing) {
                endElement(name);
            } else if (xmlBody) {
                pendingLeaf_ = name;
                pendingLine_ = lineAt(lt);
                pendingHasText_ = !trimBlanks(value).empty();
            }
        }
        pos = valueEnd;
    }
    if (inProlog)
        prolog_ += text_;
}

StatementScan Scanner::finish()
{
    if (inProlog_)
        readProlog(prolog_);
    closeAccount();

    // OFX 1.0.2, section 2.5.1: every response opens with the
    // sign-on response <SONRS>. Intuit's requirements for Web Connect files put
    // the bank identifier <INTU.BID> inside it, before </SONRS>, which must
    // therefore close it before the first statement.
    scan_.signOnLine = sonrsLine_;
    if (!sonrs_)
        add(FindingKind::NoSignOn, FindingLevel::Error, 1);
    else if (responseSeen_ ? !closedBeforeResponse_ : !sonrsClosed_)
        add(FindingKind::SignOnNotClosed, FindingLevel::Error, sonrsLine_);
    // OFX 1.0.2, sections 11.4.2.2, 11.4.3.2 and 13.9.2.2: a
    // statement download answers with <STMTRS>, <CCSTMTRS> or <INVSTMTRS>.
    if (scan_.accounts.empty())
        add(FindingKind::NoStatement, FindingLevel::Error, 1);
    // OFX 1.0.2 and 2.1.1, section 2.2: the header names the
    // form of the body, and a reader that goes by it fails on the other form.
    // Lenient readers (libofx, ofxparse) read such a file all the same, so the
    // target may too: a warning, not an error.
    if (sgmlHeader_ && xmlInstructionLine_ != 0)
        add(FindingKind::HeaderMismatch, FindingLevel::Warning, xmlInstructionLine_, "sgml");
    else if (xmlHeader_ && unclosedLine_ != 0)
        add(FindingKind::HeaderMismatch, FindingLevel::Warning, unclosedLine_, "xml");
    // Intuit's requirements for QuickBooks Web Connect files: OFX 1.0.2, the SGML
    // form; the clean converts an XML statement, and says why when it cannot.
    if (target_ == Target::QuickBooks && xmlHeader_ && !sgmlHeader_)
        add(FindingKind::NotConvertible, FindingLevel::Error, 1, std::string(notConverted_));
    checkCharset();
    return std::move(scan_);
}

} // namespace check

using check::Scanner;

StatementScan scanStatement(std::string_view text, Target target, std::string_view notConverted)
{
    Scanner scanner(target, notConverted);
    scanner.feed(text);
    return scanner.finish();
}

StatementScan scanStatement(const SegmentList& segments, Target target, std::string_view notConverted)
{
    Scanner scanner(target, notConverted);
    segments.forEachPiece([&scanner](std::string_view piece) { scanner.feed(piece); });
    return scanner.finish();
}

StatementScan scanStatement(const std::vector<std::string_view>& pieces, Target target, std::string_view notConverted)
{
    Scanner scanner(target, notConverted);
    for (const std::string_view piece : pieces)
        scanner.feed(piece);
    return scanner.finish();
}

} // namespace scrivane
