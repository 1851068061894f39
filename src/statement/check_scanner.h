#pragma once

#include "check_scan.h"
#include "check_values.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The check's one pass over a statement: check_scan.cpp reads the text (tags,
// values, prolog, line ends, character set) and hands each element to the
// rules in check_rules.cpp, which keep what the statement has and find what
// it lacks. The scanner's own, not for other callers.
namespace scrivane::check {

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

} // namespace scrivane::check
