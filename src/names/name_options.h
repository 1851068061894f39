#pragma once

#include "setting_keys.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace scrivane {

// A default handed to the settings store: a boolean, a whole number or text.
using SettingDefault = std::variant<bool, long long, std::string>;

// The stored text form of a value: "True"/"False", decimal digits, or the text itself.
std::string settingText(const SettingDefault& value);

// Reads a stored text as a truth value: a number is false when 0 and true
// otherwise, "True" and "False" count in any letter case. Anything else (the
// empty text, another word) has no truth value.
std::optional<bool> truthValue(std::string_view text);

// Where the cleaner gets its options from: the user settings store, or a stand-in.
class OptionSource
{
public:
    virtual ~OptionSource() = default;
    // The stored text of key, or the default in text form when the key is absent.
    virtual std::string getUserSetting(std::string_view key, const SettingDefault& defaultValue) const = 0;
};

// The stored text of a key, or its default in text form while it is absent.
std::string readSetting(const OptionSource& source, const TextKey& key);
std::string readSetting(const OptionSource& source, const NumberKey& key);

// The truth value of a flag's stored text (truthValue above); none when the text
// has none, and each reader decides what that means.
std::optional<bool> readFlag(const OptionSource& source, const FlagKey& key);

// What is handed to the store to write a flag, in the flag's stored form.
SettingDefault flagValue(const FlagKey& key, bool on);

struct NameOptions
{
    std::string omitWords = std::string(keys::omitWords.defaultValue);
    bool mixedCase = true;
    bool removeDates = true;
    bool removeNumbers = true;
    bool removeRepeat = true;
};

// Reads the five name-cleaning keys in their fixed order. A flag whose text has no
// truth value is off.
NameOptions readNameOptions(const OptionSource& source);

} // namespace scrivane
