#include "stored_settings.h"

#include "names/locale_rules.h"
#include "statement/text.h"

#include <charconv>

namespace scrivane {

namespace {

SettingValue defaultOf(const FlagKey& key)
{
    return std::visit([](auto value) { return SettingValue(value); }, key.defaultValue);
}

bool readFlag(const SettingSource& source, const FlagKey& key)
{
    const std::optional<bool> value = truthValue(source.getUserSetting(key.name, defaultOf(key)));
    return value.value_or(key.unreadableIsOff ? false : key.onByDefault());
}

std::string readText(const SettingSource& source, const TextKey& key)
{
    return source.getUserSetting(key.name, std::string(key.defaultValue));
}

// A whole number with spaces around it allowed, within the key's bounds.
long long readNumber(const SettingSource& source, const NumberKey& key)
{
    const std::string text = source.getUserSetting(key.name, key.defaultValue);
    const std::string_view digits = trimSpaces(text);
    long long value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < key.least || value > key.most)
        return key.defaultValue;
    return value;
}

std::string flagText(const FlagKey& key, bool on)
{
    if (key.form == FlagForm::Words)
        return on ? "True" : "False";
    return on ? "1" : "0";
}

} // namespace

std::string settingText(const SettingValue& value)
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

StoredSettings readSettings(const SettingSource& source)
{
    StoredSettings settings;
    WindowSettings& window = settings.window;
    window.option.reset();
    if (readFlag(source, keys::quickbooksCompat))
        window.option = Target::QuickBooks;
    if (readFlag(source, keys::quickenCompat))
        window.option = Target::Quicken;
    if (readFlag(source, keys::noCompat))
        window.option = Target::Other;
    window.fileName = readText(source, keys::fileName);
    window.fileTypeSelected = static_cast<int>(readNumber(source, keys::fileTypeSelected));

    NameOptions& names = settings.names;
    names.omitWords = readText(source, keys::omitWords);
    names.mixedCase = readFlag(source, keys::mixedCase);
    names.removeDates = readFlag(source, keys::removeDates);
    names.removeNumbers = readFlag(source, keys::removeNumbers);
    names.removeRepeat = readFlag(source, keys::removeRepeat);
    settings.wordsShown = readText(source, keys::omitWordsShown);
    return settings;
}

SettingWrites windowWrites(const WindowSettings& window)
{
    return {{keys::quickbooksCompat.name, flagText(keys::quickbooksCompat, window.option == Target::QuickBooks)},
            {keys::quickenCompat.name, flagText(keys::quickenCompat, window.option == Target::Quicken)},
            {keys::noCompat.name, flagText(keys::noCompat, window.option == Target::Other)},
            {keys::fileName.name, window.fileName},
            {keys::fileTypeSelected.name, std::to_string(window.fileTypeSelected)}};
}

SettingWrites nameOptionWrites(const NameOptions& options)
{
    return {{keys::omitWords.name, options.omitWords},
            {keys::mixedCase.name, flagText(keys::mixedCase, options.mixedCase)},
            {keys::removeDates.name, flagText(keys::removeDates, options.removeDates)},
            {keys::removeNumbers.name, flagText(keys::removeNumbers, options.removeNumbers)},
            {keys::removeRepeat.name, flagText(keys::removeRepeat, options.removeRepeat)}};
}

} // namespace scrivane
