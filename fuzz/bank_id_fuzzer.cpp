// The bank identifier rewrite on a freshly cut statement.
//   byte 0: target (0 QuickBooks, 1 Quicken, else Other); the rest: the statement

#include "fuzz_input.h"
#include "invariants.h"

#include <cstdint>

using namespace scrivane;
using namespace scrivane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::uint8_t choice = in.byte() % 3;
    const Target target = choice == 0 ? Target::QuickBooks : choice == 1 ? Target::Quicken : Target::Other;
    const std::string_view text = in.rest();

    SegmentList segments;
    splitTagSegments(text, segments);
    const Snapshot before = snapshot(segments);
    const bool closed = signOnClosesElements(segments, scanSignOn(segments));
    makeOFXFileCompatable(segments, target);
    checkBankIdRewrite(before, segments, target, closed, TagMatch::Contains);

    // A statement that has been given its identifier and is read again keeps it:
    // rewriting the written text once more gives the same text.
    const std::string written = joinSegments(segments);
    SegmentList again;
    splitTagSegments(written, again);
    makeOFXFileCompatable(again, target);
    FUZZ_CHECK(joinSegments(again) == written, "rewriting a rewritten statement changes nothing");
    return 0;
}
