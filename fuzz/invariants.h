#pragma once

#include "names/locale_rules.h"
#include "names/name_options.h"
#include "statement/compat.h"
#include "statement/segment_list.h"
#include "statement/statement_form.h"

#include <string>
#include <string_view>
#include <vector>

namespace scrivane::fuzz {

// Reports a broken invariant and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char* what, const char* file, int line);

#define FUZZ_CHECK(condition, what)                                                                                    \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::scrivane::fuzz::fail(what, __FILE__, __LINE__);                                                          \
    } while (false)

// A segment list copied out, so that it can be compared after a rewrite in place.
using Snapshot = std::vector<std::string>;
Snapshot snapshot(const SegmentList& segments);

bool isValidUtf8(std::string_view text);
// Number of code points of valid UTF-8 text.
std::size_t codePointCount(std::string_view text);

// The list is the text cut at every "<" but a leading one, and joins back to it.
void checkSegmentation(std::string_view text, const SegmentList& segments);

// After the name cleaner: only payee names changed (with the end tag or CDATA
// pieces of a name that went), and every name that stayed is a plausible
// cleaning of the one before under the options. xmlForm: the statement was XML
// when it was cleaned, so that a name keeps its tag as written.
void checkNameRewrite(const Snapshot& before,
                      const SegmentList& after,
                      const NameOptions& options,
                      Charset charset,
                      const LocaleRules& locale,
                      bool xmlForm);

// How a tag is found in a segment: anywhere in it, or only at its start. The two
// agree on a list fresh from the segmenter, where a "<" stands only first.
enum class TagMatch { Contains, AtStart };

// After the bank identifier rewrite: the list keeps its length, and apart from
// the shift that frees the place before "</SONRS>" at most one place changed,
// to the identifier the target and the statement kind call for, closed by its
// end tag when a new one goes among closed elements.
void checkBankIdRewrite(
    const Snapshot& before, const SegmentList& after, Target target, bool closedForm, TagMatch match);

} // namespace scrivane::fuzz
