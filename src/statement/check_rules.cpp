#include "check_scanner.h"
#include "check_tags.h"
#include "check_values.h"
#include "text.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace scrivane::check {

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

} // namespace scrivane::check
