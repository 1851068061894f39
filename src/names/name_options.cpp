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

std::string readSetting(const OptionSource& source, const TextKey& key)
{
    return source.getUserSetting(key.name, std::string(key.defaultValue));
}

std::string readSetting(const OptionSource& source, const NumberKey& key)
{
    return source.getUserSetting(key.name, key.defaultValue);
}

std::optional<bool> readFlag(const OptionSource& source, const FlagKey& key)
{
    const SettingDefault defaultValue = std::visit([](auto value) { return SettingDefault(value); }, key.defaultValue);
    return truthValue(source.getUserSetting(key.name, defaultValue));
}

SettingDefault flagValue(const FlagKey& key, bool on)
{
    if (key.form == FlagForm::Words)
        return on;
    return std::string(on ? "1" : "0");
}

NameOptions readNameOptions(const OptionSource& source)
{
    auto flag = [&source](const FlagKey& key) { return readFlag(source, key).value_or(false); };
    NameOptions options;
    options.omitWords = readSetting(source, keys::omitWords);
    options.mixedCase = flag(keys::mixedCase);
    options.removeDates = flag(keys::removeDates);
    options.removeNumbers = flag(keys::removeNumbers);
    options.removeRepeat = flag(keys::removeRepeat);
    return options;
}

} // namespace scrivane
