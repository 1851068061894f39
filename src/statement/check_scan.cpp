#include "check_scan.h"

#include "check_values.h"

#include "ofx_aggregates.h"
#include "text.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace scrivane {

using namespace check;

namespace {

// The bytes that end a tag's name (a "<" ends an unfinished tag), looked up for
// every byte of every name.
constexpr auto nameEnds = [] {
    std::array<bool, 256> ends {};
    for (unsigned char c : {'>', '<', ' ', '/', '\t', '\r', '\n'})
        ends[c] = true;
    return ends;
}();

bool endsName(char c)
{
    return nameEnds[static_cast<unsigned char>(c)];
}

enum class Tag {
    Other,
    Sonrs,
    BankId,
    TransactionResponse,
    Statement,
    Curdef,
    Transaction,
    InvestmentTransaction,
    Fitid,
    DtPosted,
    TrnAmt,
    Name,
    Payee,
    TransactionList,
};

Tag tagOf(std::string_view name)
{
    // Called for every tag: the length and first letter leave one or two names
    // to compare, ignoring case as OFX readers do.
    // Compared by an inline loop, exact bytes first since statements write their
    // tags in upper case nearly always; a library call per tag costs more.
    auto is = [name](std::string_view upperName) {
        for (std::size_t i = 0; i < upperName.size(); ++i) {
            if (name[i] != upperName[i] && asciiUpper(name[i]) != upperName[i])
                return false;
        }
        return true;
    };
    const char first = name.empty() ? '\0' : asciiUpper(name.front());
    switch (name.size()) {
    case 4:
        return first == 'N' && is("NAME") ? Tag::Name : Tag::Other;
    case 5:
        if (first == 'F')
            return is("FITID") ? Tag::Fitid : Tag::Other;
        if (first == 'S')
            return is("SONRS") ? Tag::Sonrs : Tag::Other;
        return first == 'P' && is("PAYEE") ? Tag::Payee : Tag::Other;
    case 6:
        if (first == 'T')
            return is("TRNAMT") ? Tag::TrnAmt : Tag::Other;
        if (first == 'S')
            return is("STMTRS") ? Tag::Statement : Tag::Other;
        return first == 'C' && is("CURDEF") ? Tag::Curdef : Tag::Other;
    case 7:
        if (first == 'S')
            return is("STMTTRN") ? Tag::Transaction : Tag::Other;
        return first == 'I' && is("INVTRAN") ? Tag::InvestmentTransaction : Tag::Other;
    case 8:
        if (first == 'D')
            return is("DTPOSTED") ? Tag::DtPosted : Tag::Other;
        if (first == 'I')
            return is("INTU.BID") ? Tag::BankId : Tag::Other;
        return first == 'C' && is("CCSTMTRS") ? Tag::Statement : Tag::Other;
    case 9:
        if (first == 'I')
            return is("INVSTMTRS") ? Tag::Statement : Tag::Other;
        return first == 'S' && is("STMTTRNRS") ? Tag::TransactionResponse : Tag::Other;
    case 11:
        if (first == 'C')
            return is("CCSTMTTRNRS") ? Tag::TransactionResponse : Tag::Other;
        return first == 'I' && is("INVTRANLIST") ? Tag::TransactionList : Tag::Other;
    case 12:
        if (first == 'I')
            return is("INVSTMTTRNRS") ? Tag::TransactionResponse : Tag::Other;
        return first == 'B' && is("BANKTRANLIST") ? Tag::TransactionList : Tag::Other;
    default:
        return Tag::Other;
    }
}

class Scanner
{
public:
    Scanner(Target target, std::string_view notConverted)
        : target_(target)
        , notConverted_(notConverted)
    {
    }

    // The statement's text in order, in pieces that each begin where a "<"
    // does (or at the start): a tag never straddles two pieces. Each piece must
    // stay valid until finish().
    void feed(std::string_view piece);
    StatementScan finish();

private:
    struct Transaction
    {
        bool open = false;
        bool investment = false;
        std::size_t line = 1;
        std::size_t position = 0;
        bool hasFitid = false;
        std::string_view fitid;
        bool hasDate = false;
        bool hasAmount = false;
        bool hasName = false;
        bool hasPayee = false;
        bool inPayee = false;
        std::vector<Finding> findings;
    };

    struct Account
    {
        bool open = false;
        bool hasCurrency = false;
        // Each transaction's FITID (a view into the text) and its hash, by
        // position; looked through for repeats when the statement ends.
        std::vector<std::string_view> fitids;
        std::vector<std::pair<std::size_t, std::uint32_t>> hashes;
        std::vector<std::uint32_t> table;
    };

    // The line of an offset in the current piece.
    std::size_t lineAt(std::size_t offset)
    {
        // Asked for in rising order, so counting goes through the text once.
        if (offset > counted_) {
            line_ += countLineBreaks(text_.substr(counted_, offset - counted_));
            counted_ = offset;
        }
        return line_;
    }

    void readProlog(std::string_view prolog);
    void checkCharset();
    void startElement(std::string_view name, std::size_t at, std::string_view value);
    void endElement(std::string_view name);
    void checkValueMarkup(std::string_view name, std::string_view value, std::size_t valueAt);
    void openTransaction(bool investment, std::size_t at);
    void closeTransaction();
    void openAccount(std::size_t at);
    void closeAccount();
    void add(FindingKind kind, FindingLevel level, std::size_t line, std::string value = {}, std::string element = {});
    void addToTransaction(
        FindingKind kind, FindingLevel level, std::size_t line, std::string value, std::string element = {});

    std::string_view text_; // the current piece
    std::string_view openUntil_; // the closer of a construct still open at a piece's end
    bool inProlog_ = true;
    std::string prolog_; // the prolog read in earlier pieces, where it is split
    bool highByte_ = false;
    bool invalidUtf8_ = false;
    std::size_t highLine_ = 1;
    std::size_t invalidLine_ = 1;
    Target target_;
    std::string_view notConverted_;
    std::size_t line_ = 1;
    std::size_t counted_ = 0;

    StatementScan scan_;
    bool xmlHeader_ = false;
    bool sgmlHeader_ = false;
    std::size_t xmlInstructionLine_ = 0; // an <?xml or <?OFX after an SGML header
    Declared declared_ = Declared::Ascii;
    bool sonrs_ = false;
    std::size_t sonrsLine_ = 1;
    bool sonrsClosed_ = false;
    bool responseSeen_ = false;
    bool closedBeforeResponse_ = false;
    std::size_t unclosedLine_ = 0; // first element of the XML form that holds text and has no end tag
    std::string_view pendingLeaf_;
    std::size_t pendingLine_ = 1;
    std::size_t nextAmp_ = 0; // the next "&" in the text, looked for again once passed
    bool pendingHasText_ = false;
    Transaction txn_;
    Account account_;
};

void Scanner::add(FindingKind kind, FindingLevel level, std::size_t line, std::string value, std::string element)
{
    Finding f;
    f.kind = kind;
    f.level = level;
    f.line = line;
    f.account = account_.open ? scan_.accounts.size() : 0;
    f.element = std::move(element);
    f.value = std::move(value);
    f.target = target_;
    scan_.findings.push_back(std::move(f));
}

void Scanner::addToTransaction(
    FindingKind kind, FindingLevel level, std::size_t line, std::string value, std::string element)
{
    Finding f;
    f.kind = kind;
    f.level = level;
    f.line = line;
    f.element = std::move(element);
    f.value = std::move(value);
    f.target = target_;
    txn_.findings.push_back(std::move(f));
}

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

void Scanner::openTransaction(bool investment, std::size_t at)
{
    closeTransaction();
    if (!account_.open)
        return;
    // The findings' storage is kept from one transaction to the next.
    std::vector<Finding> findings = std::move(txn_.findings);
    findings.clear();
    txn_ = Transaction {};
    txn_.findings = std::move(findings);
    txn_.open = true;
    txn_.investment = investment;
    txn_.line = lineAt(at);
    scan_.accounts.back().transactionLines.push_back(txn_.line);
    txn_.position = scan_.accounts.back().transactionLines.size();
}

void Scanner::closeTransaction()
{
    if (!txn_.open)
        return;
    txn_.open = false;
    const std::size_t account = scan_.accounts.size();
    // OFX 1.0.2, section 3.2.1: every transaction of a
    // statement download has a FITID, unique within its account; a client uses
    // it to skip a transaction it already has, which is what QuickBooks and
    // Quicken do with a second transaction of the same FITID.
    // (Repeated FITIDs are found when the statement ends.)
    account_.fitids.push_back(txn_.fitid);
    if (!txn_.hasFitid || txn_.fitid.empty())
        addToTransaction(FindingKind::NoFitid, FindingLevel::Error, txn_.line, {});
    else
        account_.hashes.emplace_back(std::hash<std::string_view> {}(txn_.fitid),
                                     static_cast<std::uint32_t>(txn_.position));
    if (!txn_.investment) {
        // OFX 1.0.2, section 11.4.2.3: DTPOSTED and TRNAMT are
        // required in <STMTTRN>; a transaction without them has no date or amount
        // to book.
        if (!txn_.hasDate)
            addToTransaction(FindingKind::BadDate, FindingLevel::Error, txn_.line, {}, "DTPOSTED");
        if (!txn_.hasAmount)
            addToTransaction(FindingKind::BadAmount, FindingLevel::Error, txn_.line, {}, "TRNAMT");
        // The same section: NAME or PAYEE names the other party; with neither
        // the target shows the transaction without a payee.
        if (!txn_.hasName && !txn_.hasPayee)
            addToTransaction(FindingKind::NoPayee, FindingLevel::Warning, txn_.line, {});
    }
    for (Finding& f : txn_.findings) {
        f.account = account;
        f.transaction = txn_.position;
        if (txn_.hasFitid)
            f.fitid = std::string(txn_.fitid);
        scan_.findings.push_back(std::move(f));
    }
    txn_.findings.clear();
}

void Scanner::openAccount(std::size_t at)
{
    closeAccount();
    account_ = Account {};
    account_.open = true;
    // The storage is kept from one statement to the next.
    std::vector<std::string_view> fitids = std::move(account_.fitids);
    std::vector<std::pair<std::size_t, std::uint32_t>> hashes = std::move(account_.hashes);
    std::vector<std::uint32_t> table = std::move(account_.table);
    fitids.clear();
    hashes.clear();
    account_ = Account {};
    account_.fitids = std::move(fitids);
    account_.hashes = std::move(hashes);
    account_.table = std::move(table);
    account_.open = true;
    scan_.accounts.push_back({lineAt(at), {}});
}

void Scanner::closeAccount()
{
    closeTransaction();
    if (!account_.open)
        return;
    const ScannedAccount& acct = scan_.accounts.back();
    // Equal FITIDs have equal hashes. An open-addressing table of positions,
    // filled in transaction order, meets each repeat after its first.
    const auto& hashes = account_.hashes;
    std::size_t size = 16;
    while (size < 2 * hashes.size())
        size *= 2;
    std::vector<std::uint32_t>& table = account_.table;
    table.assign(size, 0);
    for (const auto& [hash, position] : hashes) {
        const std::string_view fitid = account_.fitids[position - 1];
        for (std::size_t slot = hash & (size - 1);; slot = (slot + 1) & (size - 1)) {
            const std::uint32_t earlier = table[slot];
            if (earlier == 0) {
                table[slot] = position;
                break;
            }
            if (account_.fitids[earlier - 1] != fitid)
                continue;
            Finding f;
            f.kind = FindingKind::DuplicateFitid;
            f.level = FindingLevel::Error;
            f.line = acct.transactionLines[position - 1];
            f.account = scan_.accounts.size();
            f.transaction = position;
            f.fitid = std::string(fitid);
            f.value = f.fitid;
            f.target = target_;
            f.first = earlier;
            scan_.findings.push_back(std::move(f));
            break;
        }
    }
    // OFX 1.0.2, sections 11.4.2.2, 11.4.3.2 and 13.9.2.2:
    // CURDEF, the currency of the statement's amounts, is required; without it
    // the target takes its own.
    if (!account_.hasCurrency)
        add(FindingKind::NoCurrency, FindingLevel::Warning, acct.line);
    // Same sections: the transaction list is optional, so a statement may bring
    // a balance alone; the user expects transactions and gets none.
    if (acct.transactionLines.empty())
        add(FindingKind::NoTransactions, FindingLevel::Warning, acct.line);
    account_.open = false;
}

void Scanner::checkValueMarkup(std::string_view name, std::string_view value, std::size_t valueAt)
{
    // OFX 1.0.2, section 2.3.2: in the SGML form "&" is
    // written &amp; (and "<" &lt;, ">" &gt;); an SGML reader takes a bare "&"
    // for the start of an entity and may drop what follows.
    for (std::size_t amp = value.find('&'); amp != std::string_view::npos; amp = value.find('&', amp + 1)) {
        if (startsReference(value.substr(amp)))
            continue;
        const std::size_t line = lineAt(valueAt + amp);
        std::string element = upperAscii(name);
        if (txn_.open) {
            // One finding for an element, however many "&" it holds.
            const bool again = !txn_.findings.empty() && txn_.findings.back().kind == FindingKind::BareAmpersand
                && txn_.findings.back().element == element;
            if (!again)
                addToTransaction(
                    FindingKind::BareAmpersand, FindingLevel::Warning, line, std::string(trimBlanks(value)), element);
        } else {
            add(FindingKind::BareAmpersand, FindingLevel::Warning, line, std::string(trimBlanks(value)), element);
        }
        return;
    }
}

void Scanner::startElement(std::string_view name, std::size_t at, std::string_view value)
{
    const Tag tag = tagOf(name);
    if (tag == Tag::Other || tag == Tag::TransactionList)
        return;
    const std::string_view trimmed = trimBlanks(value);
    switch (tag) {
    case Tag::Sonrs:
        if (!sonrs_) {
            sonrs_ = true;
            sonrsLine_ = lineAt(at);
        }
        break;
    case Tag::BankId:
        if (sonrs_ && !sonrsClosed_ && !responseSeen_) {
            scan_.hasBankId = true;
            scan_.bankId = std::string(trimmed);
        }
        break;
    case Tag::TransactionResponse:
        if (!responseSeen_) {
            responseSeen_ = true;
            closedBeforeResponse_ = sonrsClosed_;
        }
        break;
    case Tag::Statement:
        openAccount(at);
        break;
    case Tag::Curdef:
        if (account_.open && !txn_.open && !trimmed.empty())
            account_.hasCurrency = true;
        break;
    case Tag::Transaction:
        openTransaction(false, at);
        break;
    case Tag::InvestmentTransaction:
        openTransaction(true, at);
        break;
    case Tag::Fitid:
        if (txn_.open && !txn_.inPayee) {
            txn_.hasFitid = true;
            txn_.fitid = trimmed;
        }
        break;
    case Tag::DtPosted:
        if (txn_.open && !txn_.investment) {
            txn_.hasDate = true;
            // OFX 1.0.2, section 3.2.8: dates are
            // YYYYMMDD[HHMMSS[.XXX]] with an optional [offset:zone].
            if (!isOfxDate(trimmed))
                addToTransaction(
                    FindingKind::BadDate, FindingLevel::Error, lineAt(at), std::string(trimmed), "DTPOSTED");
        }
        break;
    case Tag::TrnAmt:
        if (txn_.open && !txn_.investment) {
            txn_.hasAmount = true;
            // OFX 1.0.2, section 3.2.9: an amount is a signed
            // number of at most 32 characters with "." or "," as radix point.
            if (!isOfxAmount(trimmed))
                addToTransaction(
                    FindingKind::BadAmount, FindingLevel::Error, lineAt(at), std::string(trimmed), "TRNAMT");
        }
        break;
    case Tag::Name:
        if (txn_.open) {
            if (!txn_.inPayee && !trimmed.empty())
                txn_.hasName = true;
            // OFX 1.0.2, section 11.4.2.3 (and 12.5.2.1 for the
            // payee's name): NAME is A-32, at most 32 characters; QuickBooks and
            // Quicken cut a longer one.
            // No name of 32 bytes or fewer has more than 32 characters.
            if (trimmed.size() > 32 && characterCount(trimmed, declared_ == Declared::Utf8) > 32)
                addToTransaction(FindingKind::LongName,
                                 FindingLevel::Warning,
                                 lineAt(at),
                                 std::string(trimmed),
                                 txn_.inPayee ? "PAYEE" : "NAME");
        }
        break;
    case Tag::Payee:
        if (txn_.open) {
            txn_.hasPayee = true;
            txn_.inPayee = true;
        }
        break;
    case Tag::TransactionList:
    case Tag::Other:
        break;
    }
}

void Scanner::endElement(std::string_view name)
{
    switch (tagOf(name)) {
    case Tag::Sonrs:
        sonrsClosed_ = true;
        break;
    case Tag::Transaction:
    case Tag::InvestmentTransaction:
    case Tag::TransactionList:
        closeTransaction();
        break;
    case Tag::Statement:
        closeAccount();
        break;
    case Tag::Payee:
        txn_.inPayee = false;
        break;
    default:
        break;
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

} // namespace

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

} // namespace scrivane
