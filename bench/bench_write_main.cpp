// scrivane-bench-write: one statement file read, cleaned and written by the
// file layer that both programs use, with or without the check of what is
// written, so that the benchmarks can time what the check adds to a clean as
// its user waits for it.
//
//   scrivane-bench-write [--target quickbooks|quicken|other] [--check] [--stdout] FILE
//
// Without --stdout the output goes beside FILE under the target's extension,
// written, synced and renamed as the programs do it, and FILE is kept. --check
// prints the number of findings the user would be told of on standard error.

#include "platform/read_and_clean.h"

#include <cstdio>
#include <string_view>

namespace {

using namespace scrivane;

int usage()
{
    std::fputs("usage: scrivane-bench-write [--target quickbooks|quicken|other] [--check] [--stdout] FILE\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    CleanRequest request;
    request.target = Target::QuickBooks;
    request.keepInput = true;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--check") {
            request.check = CheckRun::Written;
        } else if (arg == "--stdout") {
            request.toStream = StreamOutput {stdout, QStringLiteral("standard output")};
        } else if (arg == "--target" && (value == "quickbooks" || value == "quicken" || value == "other")) {
            request.target = value == "quickbooks" ? Target::QuickBooks
                : value == "quicken"               ? Target::Quicken
                                                   : Target::Other;
            ++i;
        } else if (!path && !arg.starts_with("--")) {
            path = argv[i];
        } else {
            return usage();
        }
    }
    if (!path)
        return usage();
    request.input = StatementSource::file(QString::fromLocal8Bit(path));
    const CleanOutcome outcome = readAndClean(request);
    if (!outcome.ok()) {
        std::fprintf(stderr, "scrivane-bench-write: %s: the clean failed\n", path);
        return 1;
    }
    if (request.check == CheckRun::Written)
        std::fprintf(stderr, "%zu findings told\n", outcome.findings.size());
    return 0;
}
