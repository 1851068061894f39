#pragma once

#include "locale_rules.h"
#include "name_options.h"
#include "statement/statement_form.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// The payee names of a statement as the names list window and scrivane-clean
// --list both list them, handed to visit one by one in file order: cut into
// segments, the names cleaned by cleanWith when it is given and left as they
// stand otherwise, each then in display form; empty values are left out. None is
// kept, so a list of a million names costs no more memory than the statement's
// segments. The view lasts for the call only. How names become lines is each
// front end's own: the window shows the lines of the names joined by CR LF, the
// command line one line per name.
struct PreviewReport
{
    Charset charset = Charset::Ascii; // the statement's, in which the names are to be read
    // Why a clean of the statement would fail (a payee rule's name its character
    // set cannot hold); no name is listed then. Empty otherwise.
    std::string failure;
};

PreviewReport forEachPreviewName(std::string_view text,
                                 const std::optional<NameOptions>& cleanWith,
                                 const LocaleRules& locale,
                                 const std::function<void(std::string_view)>& visit);

} // namespace scrivane
