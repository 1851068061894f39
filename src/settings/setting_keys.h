#pragma once

#include "names/name_options.h"

#include <string_view>
#include <variant>

// Every key of the user settings store (section "Prefs"): its name, the default
// its readers take while it is absent, what a stored text that cannot be read
// counts as, and the form in which it is written. Code names a key only through
// these constants, so a misspelt key fails to compile instead of quietly reading
// its default; how a key is read is decided here and nowhere else.
namespace scrivane {

// How a flag is written: the option buttons of the main window as "True" or
// "False", the check boxes of the name options dialog as "1" or "0".
enum class FlagForm { Words, Digits };

struct FlagKey
{
    std::string_view name;
    // A boolean or the whole number 1: both read back as on, but each key has
    // always been asked for with its own.
    std::variant<bool, long long> defaultValue;
    FlagForm form;
    // What a stored text that is no truth value counts as: the key's default, or
    // off. The cleaner has always taken such a name-cleaning flag as off, and
    // the options dialog shows what the cleaner will do.
    bool unreadableIsOff;

    constexpr bool onByDefault() const
    {
        return std::holds_alternative<bool>(defaultValue) ? std::get<bool>(defaultValue)
                                                          : std::get<long long>(defaultValue) != 0;
    }
};

// A whole number, written in decimal digits. A stored text that is no whole
// number from least to most counts as the default.
struct NumberKey
{
    std::string_view name;
    long long defaultValue;
    long long least;
    long long most;
};

// A text, written as it is.
struct TextKey
{
    std::string_view name;
    std::string_view defaultValue;
};

namespace keys {

// The main window.
inline constexpr FlagKey quickbooksCompat {"quickbooksCompat", false, FlagForm::Words, false};
inline constexpr FlagKey quickenCompat {"quickenCompat", false, FlagForm::Words, false};
inline constexpr FlagKey noCompat {"noCompat", true, FlagForm::Words, false};
inline constexpr TextKey fileName {"fileName", "<enter or select a file to clean>"};
// The open-file dialog's filter, one of its four.
inline constexpr NumberKey fileTypeSelected {"fileTypeSelected", 1, 1, 4};

// The name cleaning rules.
inline constexpr TextKey omitWords {"omitWords", NameOptions::defaultOmitWords};
// The same key as the options dialog reads it: while no list is stored, the
// dialog shows these words and stores them at its first save, whereas a clean
// omits the words of omitWords' own default.
inline constexpr TextKey omitWordsShown {omitWords.name, "Check PMT XXX"};
inline constexpr FlagKey mixedCase {"mixedCase", true, FlagForm::Digits, true};
inline constexpr FlagKey removeDates {"removeDates", 1LL, FlagForm::Digits, true};
inline constexpr FlagKey removeNumbers {"removeNumbers", 1LL, FlagForm::Digits, true};
inline constexpr FlagKey removeRepeat {"removeRepeat", 1LL, FlagForm::Digits, true};

} // namespace keys

} // namespace scrivane
