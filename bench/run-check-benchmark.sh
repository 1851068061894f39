#!/usr/bin/env bash
# What the check adds to the clean of the generated 100k bank statement (SGML,
# CR LF) for Quicken, timed alternately by hyperfine in two ways:
#  - the engine alone, its output to standard output, with and without the
#    check of what it writes (--check): the work the check costs;
#  - the file layer that both programs use, the output written beside the
#    statement, synced and renamed, with and without the check, which runs
#    beside the writing: the time the user waits.
#
#   bench/run-check-benchmark.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail

# shellcheck source=bench/clean_bench_setup.sh
source "$(dirname "${BASH_SOURCE[0]}")/clean_bench_setup.sh"
clean_bench_setup "${1:-}" "${2:-10}" scrivane-bench-write
"$bin/scrivane-bench-clean" --target quicken --check "$f" 2>&1 >/dev/null | tail -n 1
hyperfine --warmup 2 --runs "$rounds" --export-json "$data/check.json" \
    -n clean "$bin/scrivane-bench-clean --target quicken $f" \
    -n 'clean and check' "$bin/scrivane-bench-clean --target quicken --check $f"
# Each run writes a new file: the one before it would go to the trash.
out=${f%.ofx}.QFX
hyperfine --warmup 2 --runs "$rounds" --export-json "$data/check-written.json" --prepare "rm -f '$out'" \
    -n 'clean, written' "$bin/scrivane-bench-write --target quicken $f" \
    -n 'clean and check, written' "$bin/scrivane-bench-write --target quicken --check $f"
rm -f "$out"
