#!/usr/bin/env bash
# What the check adds to the clean: the engine's clean of the generated 100k
# bank statement (SGML, CR LF) for Quicken, with and without the check of what
# it writes (--check), timed alternately by hyperfine.
#
#   bench/run-check-benchmark.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
build=$(realpath -m "${1:-$source_dir/build-bench}")
rounds=${2:-10}
command -v hyperfine >/dev/null || {
    echo "missing: hyperfine" >&2
    exit 1
}
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCRIVANE_BENCH=ON \
    -DSCRIVANE_BUILD_TESTS=OFF -DSCRIVANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-genstatement scrivane-bench-clean >/dev/null
bin=$build/bin
data=$build/bench-data
mkdir -p "$data"
f=$data/bank-sgml-100000.ofx
[[ -s $f ]] || "$bin/scrivane-genstatement" --kind bank --form sgml --count 100000 --seed 1 >"$f"
"$bin/scrivane-bench-clean" --target quicken --check "$f" 2>&1 >/dev/null | tail -n 1
hyperfine --warmup 2 --runs "$rounds" --export-json "$data/check.json" \
    -n clean "$bin/scrivane-bench-clean --target quicken $f" \
    -n 'clean and check' "$bin/scrivane-bench-clean --target quicken --check $f"
