#pragma once

#include "convert/mapping.h"

#include <optional>
#include <string>
#include <vector>

namespace scrivane::cli {

enum class ListMode { None, Raw, Clean, Rules };

// What the command line asked for. Options left unset take the values stored by
// the desktop program.
struct Arguments
{
    std::optional<std::string> target; // "quickbooks", "quicken" or "other"
    bool toStdout = false;
    bool keepForm = false; // QuickBooks gets an XML statement as XML
    bool keep = false; // leave the original where it is
    ListMode list = ListMode::None;
    bool check = false; // report what the target would meet, and write nothing
    bool json = false; // --check's findings as JSON lines
    std::optional<std::string> omitWords;
    std::optional<bool> properCase;
    std::optional<bool> removeDates;
    std::optional<bool> removeNumbers;
    std::optional<bool> removeRepeat;
    std::optional<std::string> rulesFile; // payee rules for this run instead of the saved ones
    bool noRules = false; // no payee rules at all
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
    // How to read a bank's CSV or QIF file, over the profile stored for its layout.
    Mapping bankFile;
};

struct ParseResult
{
    Arguments arguments;
    std::string error; // empty when the command line is usable
};

// The file name that stands for standard input.
inline constexpr const char* standardInputName = "-";

// args excludes the program name. "--" ends the options, so that a file whose
// name begins with "-" can be named.
ParseResult parseArguments(const std::vector<std::string>& args);

// The help text, naming the settings file that the options come from.
std::string usageText(const std::string& settingsFile);

} // namespace scrivane::cli
