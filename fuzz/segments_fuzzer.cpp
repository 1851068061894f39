// The segmenter and the join: the list is the text cut at every "<", and a list
// that has been edited in place (owned copies, views moved within it, cleared
// places, room made in front of a place) still joins to exactly what its places
// hold, gives each place back as it stands, and finds a tag where a walk through
// the places finds it.

#include "fuzz_input.h"
#include "invariants.h"

#include "statement/text.h"

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
    // The first place from a given one that starts with "<" and two bytes of the
    // input, ASCII letters in either case.
    std::string tag = "<";
    for (char c : script.take(2))
        tag += c == '<' ? '>' : c;
    const std::size_t from = script.byte() % (model.size() + 1);
    std::size_t found = model.size();
    for (std::size_t i = from; i < model.size() && found == model.size(); ++i)
        found = startsWithNoCase(model[i], tag) ? i : found;
    FUZZ_CHECK(segments.findStartingWith(from, tag) == found, "the scan finds the tag where the places hold it");

    if (script.byte() % 2) {
        // Room in front of one place, filled, as the bank identifier is put in.
        const std::size_t before = 1 + script.byte() % model.size();
        segments.moveFrontOver(before);
        std::move(model.begin() + 1, model.begin() + static_cast<std::ptrdiff_t>(before), model.begin());
        model[before - 1].clear();
        const std::size_t i = script.byte() % model.size();
        const std::string_view piece = script.take(script.byte() % 8);
        segments.set(i, piece);
        model[i] = std::string(piece);
    }
    // Backwards, then forwards: places are asked for out of order too.
    for (std::size_t k = 0; k < 2 * model.size(); ++k) {
        const std::size_t i = k < model.size() ? model.size() - 1 - k : k - model.size();
        FUZZ_CHECK(segments[i] == model[i], "each place holds what was put there");
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
