// scrivane-bench-convert: a bank's CSV or QIF file read and converted to an OFX
// statement on standard output, as the program converts it before the clean.
// It stands in for the program in the conversion benchmark, so that what is
// measured is the conversion and the file input and output around it.
//
//   scrivane-bench-convert FILE [MAPPING]     (MAPPING as settings keep it:
//                                              "account=1234,order=dmy")

#include "convert/bank_file.h"

#include <cstdio>
#include <string>

namespace {

bool readWhole(const char* path, std::string& text)
{
    std::FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        text.append(buffer, n);
    const bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace scrivane;
    const auto format = argc >= 2 ? bankFileFormatOf(argv[1]) : std::nullopt;
    std::string problem;
    const auto given = mappingFromText(argc >= 3 ? argv[2] : "", &problem);
    if (!format || argc > 3 || !given) {
        std::fprintf(stderr, "usage: scrivane-bench-convert FILE.csv|FILE.qif [MAPPING]\n%s\n", problem.c_str());
        return 2;
    }
    std::string bytes;
    if (!readWhole(argv[1], bytes)) {
        std::fprintf(stderr, "scrivane-bench-convert: cannot read %s\n", argv[1]);
        return 1;
    }
    const BankFileConversion conversion = convertBankFile(readBankFile(bytes, *format), *given);
    if (conversion.ofx.empty()) {
        std::fprintf(stderr,
                     "scrivane-bench-convert: %s\n",
                     conversion.reading.error.empty() ? "something is left to ask" : conversion.reading.error.c_str());
        return 1;
    }
    return std::fwrite(conversion.ofx.data(), 1, conversion.ofx.size(), stdout) == conversion.ofx.size() ? 0 : 1;
}
