#include "cli_arguments.h"

#include <algorithm>
#include <utility>

namespace scrivane::cli {

namespace {

struct Switch
{
    const char* on;
    const char* off;
    std::optional<bool> Arguments::*field;
};

constexpr Switch switches[] = {
    {"--proper-case", "--no-proper-case", &Arguments::properCase},
    {"--remove-dates", "--no-remove-dates", &Arguments::removeDates},
    {"--remove-numbers", "--no-remove-numbers", &Arguments::removeNumbers},
    {"--remove-repeat", "--no-remove-repeat", &Arguments::removeRepeat},
};

// "--name=value" or "--name value".
bool takeValue(const std::vector<std::string>& args,
               std::size_t& i,
               const std::string& name,
               std::string& value,
               std::string& error)
{
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (arg != name)
        return false;
    if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return true;
    }
    value = args[++i];
    return true;
}

// The options that say how to read a bank's CSV or QIF file.
bool takeBankFileOption(const std::vector<std::string>& args, std::size_t& i, Mapping& mapping, std::string& error)
{
    std::string value;
    const auto refuse = [&](const char* option, const char* what) {
        if (error.empty())
            error = std::string(option) + " must be " + what + ", not \"" + value + "\"";
    };
    if (takeValue(args, i, "--map", value, error)) {
        std::string problem;
        const auto columns = columnsFromText(value, &problem);
        if (columns && !columns->complete())
            problem = "it must give the date, the payee and the amount (amount=N, or debit=N and credit=N)";
        if (columns && problem.empty())
            mapping.columns = columns;
        else if (error.empty())
            error = "--map " + value + ": " + problem;
    } else if (takeValue(args, i, "--date-order", value, error)) {
        mapping.dateOrder = dateOrderFromWord(value);
        if (!mapping.dateOrder)
            refuse("--date-order", "mdy, dmy or ymd");
    } else if (takeValue(args, i, "--account", value, error)) {
        mapping.accountId = value;
        if (value.empty() && error.empty())
            error = "--account needs an account number";
    } else if (takeValue(args, i, "--account-type", value, error)) {
        mapping.accountType = accountTypeFromWord(value);
        if (!mapping.accountType)
            refuse("--account-type", "checking, savings, moneymrkt or creditcard");
    } else if (takeValue(args, i, "--currency", value, error)) {
        const bool code = value.size() == 3 && std::all_of(value.begin(), value.end(), [](char c) {
                              return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
                          });
        if (!code)
            refuse("--currency", "a code of three letters such as USD");
        std::string upper = value;
        for (char& c : upper)
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        mapping.currency = upper;
    } else if (takeValue(args, i, "--sign", value, error)) {
        mapping.reversed = value == "reversed";
        if (value != "normal" && value != "reversed")
            refuse("--sign", "normal or reversed");
    } else {
        return false;
    }
    return true;
}

} // namespace

ParseResult parseArguments(const std::vector<std::string>& args)
{
    ParseResult result;
    Arguments& a = result.arguments;
    std::string& error = result.error;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            a.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            a.help = true;
            continue;
        }
        if (arg == "--version") {
            a.version = true;
            continue;
        }
        if (arg == "--stdout") {
            a.toStdout = true;
            continue;
        }
        if (arg == "--keep-form") {
            a.keepForm = true;
            continue;
        }
        if (arg == "-k" || arg == "--keep") {
            a.keep = true;
            continue;
        }
        if (arg == "--no-rules") {
            a.noRules = true;
            continue;
        }
        if (arg == "--check") {
            a.check = true;
            continue;
        }
        if (arg == "--json") {
            a.json = true;
            continue;
        }
        std::string value;
        if (takeValue(args, i, "--target", value, error)) {
            if (error.empty() && value != "quickbooks" && value != "quicken" && value != "other")
                error = "--target must be quickbooks, quicken or other, not \"" + value + "\"";
            a.target = value;
            continue;
        }
        if (takeValue(args, i, "--list", value, error)) {
            if (value == "raw")
                a.list = ListMode::Raw;
            else if (value == "clean")
                a.list = ListMode::Clean;
            else if (value == "rules")
                a.list = ListMode::Rules;
            else if (error.empty())
                error = "--list must be raw, clean or rules, not \"" + value + "\"";
            continue;
        }
        if (takeValue(args, i, "--rules", value, error)) {
            a.rulesFile = value;
            continue;
        }
        if (takeValue(args, i, "--omit-words", value, error)) {
            a.omitWords = value;
            continue;
        }
        if (takeBankFileOption(args, i, a.bankFile, error))
            continue;
        bool known = false;
        for (const Switch& s : switches) {
            if (arg == s.on || arg == s.off) {
                a.*(s.field) = arg == s.on;
                known = true;
            }
        }
        if (!known)
            error = "unknown option " + arg;
    }
    if (!error.empty() || a.help || a.version)
        return result;
    if (a.files.empty())
        error = "no statement file named";
    else if (a.rulesFile && a.noRules)
        error = "--rules and --no-rules cannot be used together";
    else if (a.json && !a.check)
        error = "--json is for the findings of --check";
    else if (a.check && (a.toStdout || a.list != ListMode::None || a.keep))
        error = std::string(a.toStdout   ? "--stdout"
                                : a.keep ? "--keep"
                                         : "--list")
            + " cannot be used with --check, which writes nothing";
    else if (a.toStdout && a.list != ListMode::None)
        error = "--stdout and --list cannot be used together";
    else if (a.toStdout && a.files.size() != 1)
        error = "--stdout takes exactly one file";
    else if (std::count(a.files.begin(), a.files.end(), standardInputName) > 0 && !a.toStdout
             && a.list == ListMode::None && !a.check)
        error = "\"-\" (standard input) can be used only with --stdout, --list or --check";
    else if (std::count(a.files.begin(), a.files.end(), standardInputName) > 1)
        error = "standard input can be read only once";
    return result;
}

std::string usageText(const std::string& settingsFile)
{
    return "Usage: scrivane-clean [OPTIONS] FILE...\n"
           "Cleans the payee names of OFX statements and makes them importable, as Scrivane's\n"
           "Clean File does, with the options stored by the desktop program.\n"
           "\n"
           "What happens to each FILE:\n"
           "  QuickBooks, Quicken  the cleaned statement is written as NAME.QBO or NAME.QFX\n"
           "                       and the original is moved to the trash (deleted only\n"
           "                       where no trash can take it; --keep leaves it in place)\n"
           "  Other                the file is rewritten in place, the original going to\n"
           "                       the trash; so does an earlier NAME.QBO or NAME.QFX\n"
           "                       that the new one replaces\n"
           "  no <OFX> tag         the file is refused and left as it is\n"
           "  --stdout, --list     no file is written, moved or deleted\n"
           "  --check              nothing is written: what the application would meet is\n"
           "                       printed instead\n"
           "\n"
           "  --target quickbooks|quicken|other  target application (default: the one the\n"
           "                           desktop program stored; Other when none)\n"
           "  -k, --keep               keep the original where it is (for QuickBooks and\n"
           "                           Quicken; a file whose cleaned form would take its\n"
           "                           own name is then left alone and reported)\n"
           "  --stdout                 write the cleaned statement to standard output\n"
           "                           (exactly one FILE)\n"
           "  --keep-form              write an XML statement as XML for QuickBooks too,\n"
           "                           rather than in the OFX 1.0.2 form it always reads\n"
           "  --list raw|clean         print the names the preview windows would list, exactly\n"
           "                           one line per name, line breaks and trailing white space\n"
           "                           removed; names cleaned away are not printed. On a\n"
           "                           terminal the names are read in the statement's character\n"
           "                           set and printed in the terminal's; to a file or a pipe\n"
           "                           they are the statement's own bytes\n"
           "  --list rules             print each name as it stands, a tab, the name a clean\n"
           "                           writes for it (empty when cleaned away), a tab, and the\n"
           "                           number of the payee rule that matched it, from 1 (empty\n"
           "                           when none did)\n"
           "  --rules FILE.csv         use the payee rules in FILE.csv (header match,text,name)\n"
           "                           for this run instead of the saved ones; a malformed\n"
           "                           file is named with its line, and no statement is touched\n"
           "  --no-rules               use no payee rules\n"
           "  --check                  check each FILE as it would be cleaned for the target\n"
           "                           and print what the application would refuse, drop or\n"
           "                           cut: one line per finding, FILE:LINE: LEVEL: text, at\n"
           "                           the line of FILE; a finding the clean mends ends in\n"
           "                           \"(the clean fixes this)\". Nothing is written\n"
           "  --json                   with --check: one JSON object per finding instead\n"
           "  --omit-words TEXT        use TEXT as the omit list for this run\n"
           "  --proper-case | --no-proper-case\n"
           "  --remove-dates | --no-remove-dates\n"
           "  --remove-numbers | --no-remove-numbers\n"
           "  --remove-repeat | --no-remove-repeat\n"
           "  -h, --help               this text\n"
           "  --version                the program version and its licence\n"
           "  --                       ends the options (for a file name beginning with \"-\")\n"
           "\n"
           "A bank's CSV or QIF file (a FILE ending in .csv or .qif) is converted to an OFX\n"
           "statement and cleaned; the statement is written beside it as NAME.QBO, NAME.QFX\n"
           "or NAME.ofx, and the bank's file is never moved or deleted. How to read it comes\n"
           "from the profile that Scrivane stored for files laid out like it, or from:\n"
           "  --map date=N,payee=N,amount=N|debit=N,credit=N[,memo=N][,check=N][,id=N]\n"
           "                           the columns, counted from 1 (also indicator=N, a\n"
           "                           column saying debit or credit, and balance=N)\n"
           "  --date-order mdy|dmy|ymd the order of day, month and year in the dates\n"
           "  --account ID             the account number the statement carries\n"
           "  --account-type checking|savings|moneymrkt|creditcard\n"
           "  --currency CODE          the currency, such as USD (default: found in the\n"
           "                           file, else USD)\n"
           "  --sign normal|reversed   reversed: amounts over zero are money going out\n"
           "What neither the file nor these settle is a usage error naming the option.\n"
           "\n"
           "A FILE of \"-\" reads the statement from standard input; only with --stdout,\n"
           "--list or --check.\n"
           "\n"
           "After a clean, the errors and warnings the application will meet in what was\n"
           "written are printed on standard error in the same form, at the lines of the\n"
           "written file (named \"standard output\" with --stdout). The file is written all\n"
           "the same. Transactions without NAME or PAYEE are left to --check.\n"
           "\n"
           "Options not given here are read from the desktop program's settings file,\n"
           "which is never written:\n"
           "  "
        + settingsFile
        + "\n"
          "\n"
          "Exit status: 0 when every file was cleaned, 1 when any file failed (the others\n"
          "are still processed), 2 for a usage error or a rules file that cannot be used.\n"
          "With --check: 0 when no file has an error that the clean leaves, 1 when any\n"
          "has or cannot be read, 2 for a usage error.\n"
          "\n"
          "Example: make every statement of the month importable into Quicken:\n"
          "  scrivane-clean --target quicken ~/Downloads/*.ofx\n"
          "and first see what QuickBooks would make of one of them:\n"
          "  scrivane-clean --check --target quickbooks statement.ofx\n";
}

} // namespace scrivane::cli
