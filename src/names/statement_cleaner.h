#pragma once

#include "locale_rules.h"
#include "name_options.h"
#include "statement/compat.h"
#include "statement/segment_list.h"

#include <string>
#include <string_view>

namespace scrivane {

// Whether an XML statement cleaned for QuickBooks is written in the SGML form of
// OFX 1.0.2 (the only form every QuickBooks reads) or keeps its own.
enum class FormChoice { ForTarget, Keep };

// What became of the statement's form.
struct FormReport
{
    bool converted = false; // an XML statement now in the SGML form
    std::string notConverted; // why an XML statement for QuickBooks stayed XML; empty otherwise
    // Why the statement must not be written at all: a payee rule's name that its
    // character set cannot hold. Empty otherwise; when set, the list is half done.
    std::string failure;
};

// The whole clean of a statement in memory: cut into segments, payee names
// cleaned, converted to the SGML form when QuickBooks is the target and the
// statement is XML, and bank identifier put in for the target, on the converted
// text. The list views into text, or into converted when the form changed; both
// must outlive it. Joining the list gives the bytes to write. A statement that
// cannot be converted is cleaned in its own form, and the report says why.
FormReport cleanStatement(std::string_view text,
                          std::string& converted,
                          SegmentList& segments,
                          Target target,
                          const NameOptions& options,
                          const LocaleRules& locale,
                          FormChoice form = FormChoice::ForTarget);

} // namespace scrivane
