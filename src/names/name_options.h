#pragma once

#include "payee_renaming.h"

#include <memory>
#include <string>
#include <string_view>

namespace scrivane {

// The rules by which payee names are cleaned. Where they are kept, and how a
// stored text becomes one of them, is the settings layer's business; the
// cleaner takes them as they are.
struct NameOptions
{
    // The words a clean omits while the user has stored no list of their own.
    static constexpr std::string_view defaultOmitWords = "CHECK REF";

    std::string omitWords = std::string(defaultOmitWords);
    bool mixedCase = true;
    bool removeDates = true;
    bool removeNumbers = true;
    bool removeRepeat = true;
    // The user's payee rules, whose names replace cleaned ones; none when null.
    std::shared_ptr<const PayeeRenaming> renaming;
};

} // namespace scrivane
