#pragma once

#include "names/payee_renaming.h"
#include "rule_set.h"
#include "statement/statement_form.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// A payee value as a reader of the statement sees it, appended to out in UTF-8:
// the bytes read in the statement's character set, and outside a CDATA section
// the entities &amp; &lt; &gt; &quot; &apos; and numeric character references
// read as the characters they stand for. A byte that is not UTF-8 where UTF-8
// is expected, or in a statement that declares no character set, is read as
// Windows-1252, the set such bytes nearly always come from.
void decodePayeeValue(std::string_view value, bool cdata, Charset charset, std::string& out);

// A name typed by the user (UTF-8, trimmed of spaces) appended to out as a
// value of the statement: in its character set, "&" and "<" written as
// entities (and ">" too in the XML form), or inside a CDATA section as it
// stands, a "]]>" split over two sections. Returns the first character that the
// character set cannot hold, when there is one; out is then incomplete.
std::optional<char32_t>
encodePayeeValue(std::string_view name, Charset charset, bool xml, bool cdata, std::string& out);

// Applies one rule set to the payee values of one statement.
class PayeeRenamer : public PayeeRenaming::Statement
{
public:
    PayeeRenamer(const RuleSet& rules, Charset charset, bool xml);

    // The first rule's name written for a value, as the clean asks for it. A value
    // of blanks alone names no payee and is left to the cleaner.
    std::optional<std::string_view> rename(std::string_view value, bool cdata) override;

    // The first rule, counting from 0, that matches a value as it stands in the
    // file: the text after "<NAME>" trimmed of spaces, or a CDATA section's content.
    std::optional<std::size_t> match(std::string_view value, bool cdata);

    // What replaces that value for a rule: its name in the statement's bytes and
    // form. In the SGML form the value keeps the line end it had, which is layout
    // there and not part of the name. Nothing when the name holds a character the
    // statement cannot; failure() then tells the user which. The view lasts until
    // the next call.
    std::optional<std::string_view> write(std::size_t rule, std::string_view value, bool cdata);

    const std::string& failure() const override { return failure_; }

private:
    const RuleSet& rules_;
    RuleMatcher matcher_;
    Charset charset_;
    bool xml_;
    std::string decoded_;
    std::string written_;
    std::string failure_;
};

// The user's payee rules as every clean takes them (NameOptions::renaming).
class RuleRenaming final : public PayeeRenaming
{
public:
    explicit RuleRenaming(RuleSet rules);

    const RuleSet& rules() const { return rules_; }
    std::unique_ptr<Statement> forStatement(Charset charset, bool xml) const override;

private:
    RuleSet rules_;
};

} // namespace scrivane
