#!/usr/bin/env bash
# What payee rules add to the clean: the engine's clean of the generated 100k
# bank statement (SGML, CR LF) for Quicken without rules, with 1,000 rules of
# the four kinds in turn and with 100,000 contains rules, timed alternately by
# hyperfine. Loading the rules file and indexing the rules count, as they do in
# every run of scrivane-clean.
#
#   bench/run-rules-benchmark.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail

# shellcheck source=bench/clean_bench_setup.sh
source "$(dirname "${BASH_SOURCE[0]}")/clean_bench_setup.sh"
clean_bench_setup "${1:-}" "${2:-10}" scrivane-genrules
mix=$data/rules-mix-1000.csv
contains=$data/rules-contains-100000.csv
[[ -s $mix ]] || "$bin/scrivane-genrules" --mix 1000 --seed 1 >"$mix"
[[ -s $contains ]] || "$bin/scrivane-genrules" --contains 100000 --seed 1 >"$contains"
hyperfine --warmup 2 --runs "$rounds" --export-json "$data/rules.json" \
    -n 'no rules' "$bin/scrivane-bench-clean --target quicken $f" \
    -n '1,000 mixed rules' "$bin/scrivane-bench-clean --target quicken --rules $mix $f" \
    -n '100,000 contains rules' "$bin/scrivane-bench-clean --target quicken --rules $contains $f"
jq -r '.results[] | [.command, (.mean * 1000), (.user * 1000), (.system * 1000)] | @tsv' "$data/rules.json"
