#pragma once

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

struct NameOptions
{
    std::string omitWords = "CHECK REF";
    bool mixedCase = true;
    bool removeDates = true;
    bool removeNumbers = true;
    bool removeRepeat = true;
};

// Reads the five name-cleaning keys in their fixed order. A flag whose text has no
// truth value is off.
NameOptions readNameOptions(const OptionSource& source);

} // namespace scrivane
