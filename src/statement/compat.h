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
    std::size_t closingIndex = 0; // segment holding "</SONRS>", 0 when none
    std::size_t identifierIndex = 0; // segment holding "<INTU.BID>", 0 when none
    StatementKind kind = StatementKind::None;
};

SignOnScan scanSignOn(const SegmentList& segments);

// The bank identifier element for a target and statement kind, without end tag.
std::string_view bankIdElement(Target target, StatementKind kind);

// Puts the bank identifier element into the sign-on response, directly before
// "</SONRS>", or replaces the one that stands there. Keeps the list's length.
// Leaves the list alone for Other.
void makeOFXFileCompatable(SegmentList& segments, Target target);

} // namespace scrivane
