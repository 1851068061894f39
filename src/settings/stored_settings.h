#pragma once

#include "names/name_options.h"
#include "setting_keys.h"
#include "statement/compat.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace scrivane {

// A value handed to the settings store, as a default or to be written: a
// boolean, a whole number or text.
using SettingValue = std::variant<bool, long long, std::string>;

// The stored text form of a value: "True"/"False", decimal digits, or the text itself.
std::string settingText(const SettingValue& value);

// Reads a stored text as a truth value: a number is false when 0 and true
// otherwise, "True" and "False" count in any letter case. Anything else (the
// empty text, another word) has no truth value.
std::optional<bool> truthValue(std::string_view text);

// Where stored texts come from: the user settings store, or a stand-in.
class SettingSource
{
public:
    virtual ~SettingSource() = default;
    // The stored text of key, or the default in text form when the key is absent.
    virtual std::string getUserSetting(std::string_view key, const SettingValue& defaultValue) const = 0;
    // The profile stored for a bank file's layout (how to read its CSV or QIF
    // files), by the layout's key; nothing when none is stored.
    virtual std::optional<std::string> bankFileProfile(std::string_view layoutKey) const
    {
        (void)layoutKey;
        return std::nullopt;
    }
};

// Keys with the texts to store under them, written together.
using SettingWrites = std::vector<std::pair<std::string_view, std::string>>;

// The main window's state between runs.
struct WindowSettings
{
    // The option button that is on; none when the store has every one off.
    std::optional<Target> option = Target::Other;
    std::string fileName = std::string(keys::fileName.defaultValue);
    int fileTypeSelected = static_cast<int>(keys::fileTypeSelected.defaultValue);

    // No button on cleans as for Other.
    Target target() const { return option.value_or(Target::Other); }
};

// Everything the programs keep in the store, as both front ends see it.
struct StoredSettings
{
    WindowSettings window;
    // The rules as a clean takes them.
    NameOptions names;
    // The word list as the options dialog shows it, which differs from the
    // clean's only while no list is stored.
    std::string wordsShown;
};

// Reads every key, each by the rule its key carries (setting_keys.h). The window
// and the command line both start from here, so one settings file gives both
// the same target and the same rules. The three option buttons are one key each
// and may contradict each other: they are set on in turn (QuickBooks, Quicken,
// Other), so the last one stored as on wins, as it does on the window's buttons.
StoredSettings readSettings(const SettingSource& source);

// What saving the main window writes, and what saving the name options writes,
// each key in its stored form and in the order the programs have always used.
SettingWrites windowWrites(const WindowSettings& window);
SettingWrites nameOptionWrites(const NameOptions& options);

} // namespace scrivane
