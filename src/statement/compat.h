#pragma once

#include "segment_list.h"

#include <string_view>

namespace scrivane {

enum class Target { QuickBooks, Quicken, Other };

enum class StatementKind { None, CreditCard, Investment, Bank };

// The first statement transaction response decides the kind; none when the scan
// found no response before its end.
struct SignOnScan
{
    std::size_t openingIndex = 0; // last segment holding "<SONRS>" before the scan stopped, 0 when none
    std::size_t closingIndex = 0; // segment holding "</SONRS>", 0 when none
    std::size_t identifierIndex = 0; // segment holding "<INTU.BID>", 0 when none
    StatementKind kind = StatementKind::None;
};

SignOnScan scanSignOn(const SegmentList& segments);

// The bank identifier element for a target and statement kind, without end tag.
std::string_view bankIdElement(Target target, StatementKind kind);

// Whether a new identifier needs its end tag: the sign-on response's data
// elements (those with a value, or empty ones closed at once) all carry end tags.
// Without any to go by, the statement's form decides: the XML form closes them.
bool signOnClosesElements(const SegmentList& segments, const SignOnScan& scan);

// Puts the bank identifier element into the sign-on response, directly before
// "</SONRS>", in the style of the elements around it, or replaces the one that
// stands there, keeping its end tag or the lack of one. Keeps the list's length.
// Leaves the list alone for Other.
void makeOFXFileCompatable(SegmentList& segments, Target target);

} // namespace scrivane
