#!/usr/bin/env bash
# What the check adds to the clean: the engine's clean of the generated 100k
# bank statement (SGML, CR LF) for Quicken, with and without the check of what
# it writes (--check), timed alternately by hyperfine.
#
#   bench/run-check-benchmark.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail

# shellcheck source=bench/clean_bench_setup.sh
source "$(dirname "${BASH_SOURCE[0]}")/clean_bench_setup.sh"
clean_bench_setup "${1:-}" "${2:-10}"
"$bin/scrivane-bench-clean" --target quicken --check "$f" 2>&1 >/dev/null | tail -n 1
hyperfine --warmup 2 --runs "$rounds" --export-json "$data/check.json" \
    -n clean "$bin/scrivane-bench-clean --target quicken $f" \
    -n 'clean and check' "$bin/scrivane-bench-clean --target quicken --check $f"
