#pragma once

#include "statement/statement_form.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace scrivane {

// Names of the user's own put in place of cleaned ones: how the payee rules
// (src/rules) reach every clean without this layer knowing rules.
class PayeeRenaming
{
public:
    // The renaming of one statement, whose character set and form stay the same
    // from its first name to its last.
    class Statement
    {
    public:
        virtual ~Statement() = default;

        // The value to write for a raw one (the value after "<NAME>" trimmed of
        // spaces, or a CDATA section's content), in the statement's own bytes and
        // form; nothing when the name is to be cleaned as usual. When the name to
        // write cannot be written in the statement, nothing is returned and
        // failure() says why; the statement must then not be written. The view
        // lasts until the next call.
        virtual std::optional<std::string_view> rename(std::string_view raw, bool cdata) = 0;
        virtual const std::string& failure() const = 0;
    };

    virtual ~PayeeRenaming() = default;
    virtual std::unique_ptr<Statement> forStatement(Charset charset, bool xml) const = 0;
};

} // namespace scrivane
