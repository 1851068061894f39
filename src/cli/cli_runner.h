#pragma once

#include "cli_arguments.h"
#include "platform/file_services.h"
#include "settings/payee_rules_store.h"
#include "settings/stored_settings.h"

#include <cstdio>
#include <functional>

namespace scrivane::cli {

// Where a run reads and writes. Statements go to out as bytes, and so do names
// unless out is a terminal; one line per problem goes to err.
struct Streams
{
    std::FILE* in = stdin; // read for the file "-"
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool progress = false; // show "file k of N" on err
    bool terminal = false; // out is a terminal: names are printed as text in its encoding
};

// Runs the command for parsed arguments and returns the exit status: 0 when every
// file was cleaned (or listed), 1 when any failed, 2 for a usage error or a rules
// file that cannot be used. Options not given on the command line come from
// store, which is only read, and the payee rules from savedRules (none when it is
// empty), asked only when neither --rules nor --no-rules is given; --help names
// settingsFile as the place they come from.
int run(const ParseResult& parsed,
        const SettingSource& store,
        const Streams& streams,
        const std::string& settingsFile,
        const std::function<StoredRules()>& savedRules = {});

// What went wrong with a file, in the words of an error line.
QString fileProblemText(const FileError& error);

} // namespace scrivane::cli
