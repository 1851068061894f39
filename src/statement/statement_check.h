#pragma once

#include "compat.h"
#include "segment_list.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// What QuickBooks or Quicken will do with a statement: refuse it or lose data
// (error), import it changed (warning), or what the clean did about it (note).
enum class FindingLevel { Error, Warning, Note };

enum class FindingKind {
    NoSignOn,
    SignOnNotClosed,
    NoStatement,
    NoFitid,
    DuplicateFitid,
    BadDate,
    BadAmount,
    NotConvertible,
    HeaderMismatch,
    LongName,
    BadCharset,
    BareAmpersand,
    NoPayee,
    NoTransactions,
    NoCurrency,
    BankIdAdded,
    Converted,
};

struct Finding
{
    FindingKind kind = FindingKind::NoSignOn;
    FindingLevel level = FindingLevel::Error;
    // Line in the user's own file, from 1. A finding that exists only in what the
    // clean writes stands at its transaction's (or statement's) line there.
    std::size_t line = 1;
    // Which statement of the file (from 1) and which transaction in it (from 1);
    // 0 where the finding belongs to none.
    std::size_t account = 0;
    std::size_t transaction = 0;
    std::string fitid; // the transaction's FITID, where it has one
    std::string element; // the element the finding is about, where that tells two apart
    std::string value; // the value at fault, where there is one
    std::size_t first = 0; // for a repeated FITID, the transaction that had it first
    Target target = Target::Other; // the application the statement is checked for
    // Found in the statement as it came and gone from what the clean writes.
    bool fixedByClean = false;

    // Equal for the same finding in a statement as it came and as it is written.
    bool sameAs(const Finding& other) const
    {
        return kind == other.kind && account == other.account && transaction == other.transaction
            && element == other.element;
    }
};

// What is wrong, in a few words and without the place; and what the user can
// do. Worded when asked for, since a large statement can have thousands of
// findings of which only a few are shown.
std::string findingText(const Finding& finding);
std::string findingAdvice(const Finding& finding);

std::string_view levelWord(FindingLevel level);
// A stable word for scripts: "duplicate-fitid", "long-name", ...
std::string_view kindWord(FindingKind kind);

// The findings in one statement text read as the target would read it, in the
// order of their lines. notConverted is why an XML statement for QuickBooks
// could not be written in the SGML form, when the caller knows. After a clean,
// this on what was written is what the target will meet, at the lines of the
// file the user now has; it costs one pass over the text.
std::vector<Finding> checkStatement(std::string_view text, Target target, std::string_view notConverted = {});
// The same for the statement a clean has in a segment list, read piece by piece
// as a writer gets it, so that the check needs no joined copy of the text.
std::vector<Finding> checkStatement(const SegmentList& written, Target target, std::string_view notConverted = {});
// The same for the pieces of such a list gathered beforehand (forEachPiece),
// which another thread may read while the list itself is being written out: a
// list keeps a cursor, so two threads must not walk it at once.
std::vector<Finding>
checkStatement(const std::vector<std::string_view>& written, Target target, std::string_view notConverted = {});

// What the clean of input into output would mean for the target, when nothing
// is written yet: the findings of the output, placed in the input; those of the
// input that the output no longer has, marked fixed by the clean; and notes on
// the bank identifier and the conversion. Two passes, one over each text.
struct CleanedStatement
{
    std::string_view input;
    std::string_view output;
    Target target = Target::Other;
    bool converted = false;
    std::string_view notConverted;
};
std::vector<Finding> checkCleaned(const CleanedStatement& cleaned);

// An OFX date: YYYYMMDD, YYYYMMDDHHMMSS or YYYYMMDDHHMMSS.XXX, then an optional
// [offset:zone]. An OFX amount: a signed number of at most 32 characters with
// "." or "," as its radix point.
bool isOfxDate(std::string_view value);
bool isOfxAmount(std::string_view value);

// Whether any finding is one the target suffers from (an error or a warning
// that the clean did not fix), and how many are.
std::size_t countStanding(const std::vector<Finding>& findings);

// Of the findings in what a clean wrote, those its user is told of at once:
// the errors, then the warnings, each in the order of their lines. Two are
// left to a check asked for. A transaction without NAME or PAYEE: many banks
// send them, and a name that the cleaning empties leaves one by design, so it
// would be said after nearly every clean of such a statement. And an XML
// statement that QuickBooks gets unconverted: the clean says why itself, or
// the user asked for the XML form.
std::vector<Finding> findingsToTell(std::vector<Finding> written);

} // namespace scrivane
