// Proper case in each character set: the engine's conversion equals the literal
// one, and it changes nothing but letter case.
//   byte 0: character set (0 ASCII, 1 Windows-1252, 2 UTF-8); the rest: the text

#include "fuzz_input.h"
#include "invariants.h"
#include "reference_proper_case.h"

#include "names/case_map.h"
#include "names/proper_case.h"
#include "statement/text.h"

#include <cstdint>

using namespace scrivane;
using namespace scrivane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const Charset charset = static_cast<Charset>(in.byte() % 3);
    const std::string_view text = in.rest();
    const std::string_view trimmed = trimSpaces(text);

    const std::string out = properCase(text, charset);
    FUZZ_CHECK(out == referenceProperCase(text, charset), "proper case as the literal conversion has it");

    if (charset != Charset::Utf8) {
        const CaseMap map(charset);
        FUZZ_CHECK(out.size() == trimmed.size(), "one byte for one byte, less the spaces around");
        FUZZ_CHECK(map.lowerText(out) == map.lowerText(trimmed), "only letter case changes");
        FUZZ_CHECK(properCase(out, charset) == out, "proper case of proper case changes nothing");
    } else if (isValidUtf8(text)) {
        FUZZ_CHECK(isValidUtf8(out), "valid UTF-8 stays valid");
        FUZZ_CHECK(codePointCount(out) == codePointCount(trimmed), "one code point for one code point");
    }
    return 0;
}
