#include "statement_check.h"

#include "check_scan.h"

#include <algorithm>
#include <tuple>

namespace scrivane {

namespace {

std::string quoted(std::string_view value)
{
    return "\"" + std::string(value) + "\"";
}

// Words for one finding. Where is said by the finding's place, not here.
struct Words
{
    std::string text;
    std::string advice;
};

Words describe(const Finding& f)
{
    const std::string& v = f.value;
    const std::string_view app = f.target == Target::Quicken ? "Quicken"
        : f.target == Target::QuickBooks                     ? "QuickBooks"
                                                             : "the financial application";
    const std::string appText(app);
    Words w;
    switch (f.kind) {
    case FindingKind::NoSignOn:
        w.text = "no sign-on response (<SONRS>): " + appText + " refuses the file";
        w.advice = "Download the statement again; the file is not a complete OFX response.";
        break;
    case FindingKind::SignOnNotClosed:
        w.text = "the sign-on response has no </SONRS> before the statement, so the bank identifier has no place";
        w.advice = "Add </SONRS> at the end of the sign-on response, before the first statement.";
        break;
    case FindingKind::NoStatement:
        w.text = "no statement response (<STMTRS>, <CCSTMTRS> or <INVSTMTRS>): there is nothing to import";
        w.advice = "Download the statement again, as a bank, credit-card or investment statement.";
        break;
    case FindingKind::NoFitid:
        w.text = "the transaction has no FITID, which every transaction needs: " + appText + " refuses it";
        w.advice = "Ask the bank for a corrected file, or give the transaction a <FITID> of its own.";
        break;
    case FindingKind::DuplicateFitid:
        w.text = "FITID " + quoted(v) + " is also that of transaction " + std::to_string(f.first)
            + " of this statement: only the first of them is imported";
        w.advice = "Make one of the two FITIDs different (add a letter at its end) before importing.";
        break;
    case FindingKind::BadDate:
        w.text = v.empty() ? "the transaction has no posting date (DTPOSTED)"
                           : "DTPOSTED " + quoted(v) + " is not an OFX date (YYYYMMDD, optionally HHMMSS)";
        w.advice = "Write the date as YYYYMMDD, for example 20240131.";
        break;
    case FindingKind::BadAmount:
        w.text = v.empty() ? "the transaction has no amount (TRNAMT)"
                           : "TRNAMT " + quoted(v) + " is not an OFX amount (a signed number such as -12.50)";
        w.advice = "Write the amount as digits with an optional sign and one decimal point, for example -12.50.";
        break;
    case FindingKind::NotConvertible:
        w.text = v.empty() ? std::string("an XML statement, which QuickBooks reads only as OFX 1.0.2 (SGML)")
                           : "the XML statement cannot become OFX 1.0.2 (SGML), the only form QuickBooks reads: " + v;
        w.advice = "Correct what is named in the file, or import it into Quicken, which reads XML.";
        break;
    case FindingKind::HeaderMismatch:
        w.text = v == "sgml" ? "an XML header or declaration follows the OFX 1 (SGML) header: readers go by the "
                               "first and fail on the rest"
                             : "the XML header stands before a body written in the SGML form (elements without "
                               "end tags): it is not well-formed XML";
        w.advice = "Keep the header that matches the body and delete the other.";
        break;
    case FindingKind::LongName:
        w.text = "the " + std::string(f.element == "PAYEE" ? "payee's name " : "name ") + quoted(v)
            + " is longer than the 32 characters OFX allows: " + appText + " cuts it";
        w.advice = "Shorten it, or let the cleaning drop more (Settings: words to omit, dates, numbers).";
        break;
    case FindingKind::BadCharset:
        w.text = v == "1252" ? "letters here are UTF-8 under CHARSET:1252: they show as garbled letters"
                             : "bytes here are not valid UTF-8, the character set the statement declares";
        w.advice = v == "1252" ? "Change the header to ENCODING:UTF-8 and CHARSET:NONE, or ask the bank for a file "
                                 "in Windows-1252."
                               : "Ask the bank for a file in the declared character set, or correct the declaration.";
        break;
    case FindingKind::BareAmpersand:
        w.text = "an \"&\" in <" + f.element + "> is not written as &amp;: a reader may drop what follows it";
        w.advice = "Write the \"&\" as &amp;.";
        break;
    case FindingKind::NoPayee:
        w.text = "the transaction has neither NAME nor PAYEE: it is imported without a payee";
        w.advice = "Check the words to omit in Settings: a name that the cleaning leaves empty is removed.";
        break;
    case FindingKind::NoTransactions:
        w.text = "the statement has no transactions";
        w.advice = "Check the dates the statement was downloaded for.";
        break;
    case FindingKind::NoCurrency:
        w.text = "the statement has no currency (CURDEF): " + appText + " assumes its own";
        w.advice = "Add <CURDEF> with the account's currency (for example USD) at the start of the statement.";
        break;
    case FindingKind::BankIdAdded:
        w.text = v.empty() ? "the bank identifier " + f.element + " was put into the sign-on response"
                           : "the bank identifier " + quoted(v) + " was replaced by " + f.element;
        w.advice = appText + " may show a financial institution other than yours; that is harmless.";
        break;
    case FindingKind::Converted:
        w.text = "the XML statement was written as OFX 1.0.2 (SGML), the form QuickBooks reads";
        w.advice = "Nothing to do.";
        break;
    }
    return w;
}

void sortByLine(std::vector<Finding>& findings)
{
    auto byLine = [](const Finding& a, const Finding& b) { return a.line < b.line; };
    // Findings come nearly in order; most statements need no sorting at all.
    if (std::is_sorted(findings.begin(), findings.end(), byLine))
        return;
    std::stable_sort(findings.begin(), findings.end(), byLine);
}

std::vector<Finding> inLineOrder(StatementScan scan)
{
    sortByLine(scan.findings);
    return std::move(scan.findings);
}

} // namespace

std::string findingText(const Finding& finding)
{
    return describe(finding).text;
}

std::string findingAdvice(const Finding& finding)
{
    return describe(finding).advice;
}

std::string_view levelWord(FindingLevel level)
{
    switch (level) {
    case FindingLevel::Error:
        return "error";
    case FindingLevel::Warning:
        return "warning";
    case FindingLevel::Note:
        break;
    }
    return "note";
}

std::string_view kindWord(FindingKind kind)
{
    switch (kind) {
    case FindingKind::NoSignOn:
        return "no-sign-on";
    case FindingKind::SignOnNotClosed:
        return "sign-on-not-closed";
    case FindingKind::NoStatement:
        return "no-statement";
    case FindingKind::NoFitid:
        return "no-fitid";
    case FindingKind::DuplicateFitid:
        return "duplicate-fitid";
    case FindingKind::BadDate:
        return "bad-date";
    case FindingKind::BadAmount:
        return "bad-amount";
    case FindingKind::NotConvertible:
        return "not-convertible";
    case FindingKind::HeaderMismatch:
        return "header-mismatch";
    case FindingKind::LongName:
        return "long-name";
    case FindingKind::BadCharset:
        return "bad-charset";
    case FindingKind::BareAmpersand:
        return "bare-ampersand";
    case FindingKind::NoPayee:
        return "no-payee";
    case FindingKind::NoTransactions:
        return "no-transactions";
    case FindingKind::NoCurrency:
        return "no-currency";
    case FindingKind::BankIdAdded:
        return "bank-id-added";
    case FindingKind::Converted:
        break;
    }
    return "converted";
}

std::vector<Finding> checkStatement(std::string_view text, Target target, std::string_view notConverted)
{
    return inLineOrder(scanStatement(text, target, notConverted));
}

std::vector<Finding> checkStatement(const SegmentList& written, Target target, std::string_view notConverted)
{
    return inLineOrder(scanStatement(written, target, notConverted));
}

std::vector<Finding>
checkStatement(const std::vector<std::string_view>& written, Target target, std::string_view notConverted)
{
    return inLineOrder(scanStatement(written, target, notConverted));
}

std::vector<Finding> checkCleaned(const CleanedStatement& cleaned)
{
    StatementScan in = scanStatement(cleaned.input, cleaned.target, {});
    StatementScan out = scanStatement(cleaned.output, cleaned.target, cleaned.notConverted);
    std::vector<Finding>& before = in.findings;

    // The same finding before and after the clean, found by its identity in
    // the input's findings sorted by it.
    auto identity = [](const Finding& f) { return std::tie(f.kind, f.account, f.transaction, f.element); };
    std::vector<std::size_t> order(before.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return identity(before[a]) < identity(before[b]);
    });
    auto find = [&](const Finding& f) -> std::size_t {
        auto it = std::lower_bound(order.begin(), order.end(), f, [&](std::size_t i, const Finding& g) {
            return identity(before[i]) < identity(g);
        });
        return it != order.end() && before[*it].sameAs(f) ? *it : before.size();
    };
    std::vector<bool> stands(before.size(), false);
    std::vector<Finding> findings;
    findings.reserve(out.findings.size() + 2);
    for (Finding& f : out.findings) {
        // The line in the user's file: the same finding's there, else its
        // transaction's or statement's.
        if (const std::size_t match = find(f); match < before.size()) {
            stands[match] = true;
            f.line = before[match].line;
        } else if (f.account > 0 && f.account <= in.accounts.size()) {
            const ScannedAccount& acct = in.accounts[f.account - 1];
            f.line = f.transaction > 0 && f.transaction <= acct.transactionLines.size()
                ? acct.transactionLines[f.transaction - 1]
                : acct.line;
        } else {
            f.line = 1;
        }
        findings.push_back(std::move(f));
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!stands[i]) {
            before[i].fixedByClean = true;
            findings.push_back(std::move(before[i]));
        }
    }

    if (cleaned.converted) {
        Finding f;
        f.kind = FindingKind::Converted;
        f.level = FindingLevel::Note;
        f.target = cleaned.target;
        findings.push_back(std::move(f));
    }
    if (cleaned.target != Target::Other && out.hasBankId && (!in.hasBankId || in.bankId != out.bankId)) {
        Finding f;
        f.kind = FindingKind::BankIdAdded;
        f.level = FindingLevel::Note;
        f.element = "<INTU.BID>" + out.bankId;
        f.line = in.signOnLine;
        f.value = in.hasBankId ? in.bankId : std::string();
        f.target = cleaned.target;
        findings.push_back(std::move(f));
    }
    sortByLine(findings);
    return findings;
}

std::size_t countStanding(const std::vector<Finding>& findings)
{
    return static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.level != FindingLevel::Note && !f.fixedByClean;
    }));
}

std::vector<Finding> findingsToTell(std::vector<Finding> written)
{
    std::erase_if(written, [](const Finding& f) {
        return f.level == FindingLevel::Note || f.fixedByClean || f.kind == FindingKind::NoPayee
            || f.kind == FindingKind::NotConvertible;
    });
    sortByLine(written);
    std::stable_partition(
        written.begin(), written.end(), [](const Finding& f) { return f.level == FindingLevel::Error; });
    return written;
}

} // namespace scrivane
