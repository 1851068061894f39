// The name cleaner over a whole statement, with the options taken from the
// front of the input (see fuzz_input.h).

#include "fuzz_input.h"
#include "invariants.h"

#include "names/name_cleaner.h"

#include <cstdint>

using namespace scrivane;
using namespace scrivane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const RunConfig config = readRunConfig(in);
    const std::string_view text = in.rest();
    const LocaleRules& locale = LocaleRules::enUS();

    SegmentList segments;
    splitTagSegments(text, segments);
    const Snapshot before = snapshot(segments);
    const Charset charset = detectCharset(segments);
    const bool xml = isXmlForm(segments);
    cleanPayeeNames(segments, config.options, locale);
    checkNameRewrite(before, segments, config.options, charset, locale, xml);

    if (charset == Charset::Utf8 && isValidUtf8(text))
        FUZZ_CHECK(isValidUtf8(joinSegments(segments)), "valid UTF-8 in gives valid UTF-8 out");
    return 0;
}
