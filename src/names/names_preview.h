#pragma once

#include "locale_rules.h"
#include "name_options.h"
#include "statement/statement_form.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivane {

// The payee names of a statement as the previews list them.
struct NamesPreview
{
    std::vector<std::string> names; // in file order and display form, empty values left out
    Charset charset = Charset::Ascii; // the statement's own, in which the names are to be read
};

// The whole names preview of a statement in memory: cut into segments, the names
// cleaned by cleanWith when it is given and left as they stand otherwise, each
// then put in display form. The desktop preview and the command line's --list
// both come here, so they list the same names.
NamesPreview
previewNames(std::string_view text, const std::optional<NameOptions>& cleanWith, const LocaleRules& locale);

// The same names handed to visit one by one, none of them kept: a list of a
// million names then costs no more memory than the statement's segments. The
// view lasts for the call only. Gives the statement's character set.
Charset forEachPreviewName(std::string_view text,
                           const std::optional<NameOptions>& cleanWith,
                           const LocaleRules& locale,
                           const std::function<void(std::string_view)>& visit);

} // namespace scrivane
