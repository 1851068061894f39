// scrivane-genstatement: writes a made-up but realistic OFX statement to standard
// output, the same bytes for the same arguments.

#include "generator/statement_generator.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

using namespace scrivane::gen;

int usage()
{
    std::fputs("usage: scrivane-genstatement --kind bank|cc|invest --form sgml|xml --count N --seed S\n"
               "                             [--layout lines|packed|mixed] [--cdata] [--bank-id] [--accents]\n"
               "  --layout   SGML form: one element to a line, each transaction on one line, or a mix\n"
               "  --cdata    XML form: write some payee names as CDATA sections\n"
               "  --bank-id  the sign-on response already carries an <INTU.BID> element\n"
               "  --accents  some payee names with letters outside ASCII\n",
               stderr);
    return 2;
}

template <class T>
bool parseNumber(std::string_view text, T& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

int main(int argc, char** argv)
{
    StatementOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string_view value = hasValue ? argv[i + 1] : "";
        if (arg == "--cdata") {
            options.cdataNames = true;
            continue;
        }
        if (arg == "--bank-id") {
            options.bankId = true;
            continue;
        }
        if (arg == "--accents") {
            options.accents = true;
            continue;
        }
        if (!hasValue)
            return usage();
        ++i;
        if (arg == "--kind" && value == "bank") {
            options.kind = Kind::Bank;
        } else if (arg == "--kind" && value == "cc") {
            options.kind = Kind::CreditCard;
        } else if (arg == "--kind" && value == "invest") {
            options.kind = Kind::Investment;
        } else if (arg == "--form" && value == "sgml") {
            options.form = Form::Sgml;
        } else if (arg == "--form" && value == "xml") {
            options.form = Form::Xml;
        } else if (arg == "--layout" && value == "lines") {
            options.layout = Layout::Lines;
        } else if (arg == "--layout" && value == "packed") {
            options.layout = Layout::Packed;
        } else if (arg == "--layout" && value == "mixed") {
            options.layout = Layout::Mixed;
        } else if (arg == "--count") {
            if (!parseNumber(value, options.count) || options.count < 0)
                return usage();
        } else if (arg == "--seed") {
            if (!parseNumber(value, options.seed))
                return usage();
        } else {
            return usage();
        }
    }
    writeStatement(options, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
