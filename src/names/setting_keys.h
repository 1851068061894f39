#pragma once

#include <string_view>
#include <variant>

// Every key of the user settings store (section "Prefs"), with the default its
// readers pass while it is absent and the form in which it is written. Code names
// a key only through these constants, so a misspelt key fails to compile instead
// of quietly reading its default. The name cleaner is the lowest layer that reads
// keys, so they live here; the windows and the command line use the same ones.
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

    constexpr bool onByDefault() const
    {
        return std::holds_alternative<bool>(defaultValue) ? std::get<bool>(defaultValue)
                                                          : std::get<long long>(defaultValue) != 0;
    }
};

// A whole number, written in decimal digits.
struct NumberKey
{
    std::string_view name;
    long long defaultValue;
};

// A text, written as it is.
struct TextKey
{
    std::string_view name;
    std::string_view defaultValue;
};

namespace keys {

// The main window.
inline constexpr FlagKey quickbooksCompat {"quickbooksCompat", false, FlagForm::Words};
inline constexpr FlagKey quickenCompat {"quickenCompat", false, FlagForm::Words};
inline constexpr FlagKey noCompat {"noCompat", true, FlagForm::Words};
inline constexpr TextKey fileName {"fileName", "<enter or select a file to clean>"};
// The open-file dialog's filter, 1 to 4.
inline constexpr NumberKey fileTypeSelected {"fileTypeSelected", 1};

// The name cleaning rules.
inline constexpr TextKey omitWords {"omitWords", "CHECK REF"};
// The same key as the options dialog reads it: while no list is stored, the
// dialog shows these words and stores them at its first save, whereas a clean
// omits the words of omitWords' own default.
inline constexpr TextKey omitWordsShown {omitWords.name, "Check PMT XXX"};
inline constexpr FlagKey mixedCase {"mixedCase", true, FlagForm::Digits};
inline constexpr FlagKey removeDates {"removeDates", 1LL, FlagForm::Digits};
inline constexpr FlagKey removeNumbers {"removeNumbers", 1LL, FlagForm::Digits};
inline constexpr FlagKey removeRepeat {"removeRepeat", 1LL, FlagForm::Digits};

} // namespace keys

} // namespace scrivane
