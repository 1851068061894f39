// scrivane-bench-clean: the engine's clean of one statement file, written to
// standard output, with the default name options and US locale rules. It stands
// in for the command-line companion in the benchmarks, so that what is measured
// is the engine and the file input and output around it, nothing else.
//
//   scrivane-bench-clean [--target quickbooks|quicken|other] [--check] [--rules RULES.csv] FILE
//   scrivane-bench-clean --list raw|clean FILE
//
// --check also checks what the clean wrote, as the command-line companion does
// after a clean, and prints the number of findings on standard error. --rules
// reads payee rules from a rules file and cleans with them.

#include "names/name_cleaner.h"
#include "names/name_list.h"
#include "names/statement_cleaner.h"
#include "rules/payee_renamer.h"
#include "rules/rules_csv.h"
#include "statement/statement_check.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace scrivane;

int usage()
{
    std::fputs("usage: scrivane-bench-clean [--target quickbooks|quicken|other] [--check] [--rules RULES.csv] FILE\n"
               "       scrivane-bench-clean --list raw|clean FILE\n",
               stderr);
    return 2;
}

bool readWhole(const char* path, std::string& text)
{
    std::FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    bool ok = std::fseek(in, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(in) : -1;
    ok = ok && size >= 0 && std::fseek(in, 0, SEEK_SET) == 0;
    if (ok) {
        text.resize(static_cast<std::size_t>(size));
        ok = std::fread(text.data(), 1, text.size(), in) == text.size();
    }
    std::fclose(in);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    Target target = Target::QuickBooks;
    std::string_view list;
    bool check = false;
    const char* path = nullptr;
    const char* rulesPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--check") {
            check = true;
            continue;
        }
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--target" && value == "quickbooks") {
            target = Target::QuickBooks;
        } else if (arg == "--target" && value == "quicken") {
            target = Target::Quicken;
        } else if (arg == "--target" && value == "other") {
            target = Target::Other;
        } else if (arg == "--list" && (value == "raw" || value == "clean")) {
            list = value;
        } else if (arg == "--rules" && i + 1 < argc) {
            rulesPath = argv[i + 1];
        } else if (!path && !arg.starts_with("--")) {
            path = argv[i];
            continue;
        } else {
            return usage();
        }
        ++i;
    }
    if (!path)
        return usage();

    std::string text;
    if (!readWhole(path, text)) {
        std::fprintf(stderr, "scrivane-bench-clean: cannot read %s\n", path);
        return 1;
    }
    NameOptions options;
    if (rulesPath) {
        std::string csv;
        RulesFile file;
        if (!readWhole(rulesPath, csv) || !(file = readRulesCsv(csv)).error.empty()) {
            std::fprintf(stderr, "scrivane-bench-clean: %s: %s\n", rulesPath, file.error.c_str());
            return 1;
        }
        auto compiled = RuleSet::compile(std::move(file.rules), RuleSet::Checked::Yes);
        if (auto* error = std::get_if<RuleError>(&compiled)) {
            std::fprintf(stderr, "scrivane-bench-clean: %s: %s\n", rulesPath, error->message.c_str());
            return 1;
        }
        options.renaming = std::make_shared<RuleRenaming>(std::move(std::get<RuleSet>(compiled)));
    }
    SegmentList segments;
    if (list.empty()) {
        std::string converted;
        const FormReport form = cleanStatement(text, converted, segments, target, options, LocaleRules::enUS());
        if (!form.failure.empty()) {
            std::fprintf(stderr, "scrivane-bench-clean: %s\n", form.failure.c_str());
            return 1;
        }
        segments.forEachPiece([](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); });
        if (check) {
            const std::vector<Finding> findings = checkStatement(segments, target, form.notConverted);
            std::fprintf(stderr, "%zu findings, %zu standing\n", findings.size(), countStanding(findings));
        }
    } else {
        splitTagSegments(text, segments);
        if (list == "clean")
            cleanPayeeNames(segments, options, LocaleRules::enUS());
        forEachPayeeName(segments, [](std::string_view name) {
            std::fwrite(name.data(), 1, name.size(), stdout);
            std::fputs("\r\n", stdout);
        });
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
