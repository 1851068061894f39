#include "name_options.h"

#include "locale_rules.h"
#include "statement/text.h"

#include <charconv>

namespace scrivane {

std::string settingText(const SettingDefault& value)
{
    if (const bool* b = std::get_if<bool>(&value))
        return *b ? "True" : "False";
    if (const long long* n = std::get_if<long long>(&value))
        return std::to_string(*n);
    return std::get<std::string>(value);
}

std::optional<bool> truthValue(std::string_view text)
{
    const std::string_view t = trimSpaces(text);
    if (equalsNoCase(t, "true"))
        return true;
    if (equalsNoCase(t, "false"))
        return false;
    // Stored flags are written in the invariant form, so read them that way too.
    if (std::optional<double> number = parseNumber(t, LocaleRules::invariant()))
        return *number != 0.0;
    return std::nullopt;
}

NameOptions readNameOptions(const OptionSource& source)
{
    auto flag = [&source](std::string_view key, SettingDefault defaultValue) {
        return truthValue(source.getUserSetting(key, defaultValue)).value_or(false);
    };
    NameOptions options;
    options.omitWords = source.getUserSetting("omitWords", SettingDefault(std::string("CHECK REF")));
    options.mixedCase = flag("mixedCase", true);
    options.removeDates = flag("removeDates", 1LL);
    options.removeNumbers = flag("removeNumbers", 1LL);
    options.removeRepeat = flag("removeRepeat", 1LL);
    return options;
}

} // namespace scrivane
