// The segmenter and the join: the list is the text cut at every "<", and a list
// that has been edited in place (owned copies, views moved within it, cleared
// places) still joins to exactly what its places hold.

#include "fuzz_input.h"
#include "invariants.h"

#include <cstdint>

using namespace scrivane;
using namespace scrivane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SegmentList segments;
    splitTagSegments(text, segments);
    checkSegmentation(text, segments);

    // Edits driven by the input's own bytes, mirrored in a plain model.
    Snapshot model = snapshot(segments);
    FuzzInput script(data, size);
    for (int step = 0; step < 64 && !script.rest().empty(); ++step) {
        const std::uint8_t op = script.byte();
        const std::size_t i = script.byte() % model.size();
        const std::size_t j = script.byte() % model.size();
        switch (op % 4) {
        case 0: {
            const std::string_view piece = script.take(op / 4);
            segments.set(i, piece);
            model[i] = std::string(piece);
            break;
        }
        case 1:
            // Copies out of the list's own storage into it again.
            segments.set(i, segments[j]);
            model[i] = model[j];
            break;
        case 2:
            segments.setView(i, segments[j]);
            model[i] = model[j];
            break;
        default:
            segments.clearAt(i);
            model[i].clear();
            break;
        }
    }
    std::string expected;
    for (const std::string& piece : model)
        expected += piece;
    FUZZ_CHECK(segments.joinedSize() == expected.size(), "joined size after edits");
    FUZZ_CHECK(joinSegments(segments) == expected, "the join of an edited list is its places in order");
    std::string streamed;
    segments.forEachPiece([&streamed](std::string_view piece) {
        FUZZ_CHECK(!piece.empty(), "only non-empty pieces are handed out");
        streamed += piece;
    });
    FUZZ_CHECK(streamed == expected, "the pieces handed out make the join");

    // A second split into the same list replaces everything in it.
    const std::string_view tail = text.substr(size / 2);
    splitTagSegments(tail, segments);
    checkSegmentation(tail, segments);
    return 0;
}
