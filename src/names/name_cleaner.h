#pragma once

#include "locale_rules.h"
#include "name_options.h"
#include "omit_list.h"
#include "payee_element.h"
#include "statement/segment_list.h"
#include "statement/statement_form.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// Splits a name at runs of spaces. Tabs and line breaks are ordinary word
// characters; an all-space name gives one empty word. The words view into name.
void splitWords(std::string_view name, std::vector<std::string_view>& words);

// Cleans one raw name after another by one set of options. It keeps its buffers
// between names, so a statement of many names costs no allocation per word.
class NameCleaner
{
public:
    NameCleaner(NameOptions options, const LocaleRules& locale, Charset charset);

    // The cleaned form of a raw name (the value after its tag, trimmed of spaces).
    // The view stays valid until the next call.
    std::string_view clean(std::string_view rawName);

private:
    // The numeric test, and a first look for the date test that turns most words
    // away before the grammar runs.
    bool isNumber(std::string_view word) const;
    bool mayBeDate(std::string_view word) const;

    NameOptions options_;
    LocaleRules locale_; // its texts in the statement's character set
    Charset charset_;
    OmitList omitList_;
    bool digitsAreNumbers_ = true;
    std::array<bool, 256> numberInitials_ {};
    std::array<bool, 256> dateInitials_ {};
    std::string result_;
};

// Puts name in place of the payee name's value: "<NAME>", or the tag as written
// with keepTag, and name (inside its CDATA section when the value had one), or
// nothing when name is empty, in which case the element's end tag goes too.
void writePayeeName(SegmentList& segments, const PayeeElement& element, std::string_view name, bool keepTag);

// What became of a statement's payee names: all rewritten, or why the statement
// cannot be written (a payee rule's name that its character set cannot hold).
struct NamesReport
{
    std::string failure;
    bool ok() const { return failure.empty(); }
};

// Rewrites every payee-name segment in place: "<NAME>" and the cleaned name, or
// nothing when the name is cleaned away. In an XML statement the tag keeps its
// letter case. A name written as a CDATA section is cleaned inside its section.
// When a name goes, its end tag goes with it, so that no element is left half
// removed. Where the options carry a renaming, its names go in instead of the
// cleaned ones; when one of them cannot be written, the rewriting stops there
// and the report says why.
NamesReport cleanPayeeNames(SegmentList& segments, const NameOptions& options, const LocaleRules& locale);

} // namespace scrivane
