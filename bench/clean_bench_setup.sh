# shellcheck shell=bash
# Sourced by the benchmarks that time the engine's clean of the generated 100k
# bank statement (SGML, CR LF) against variants of it, so that they all measure
# the same build and the same statement.
#
#   clean_bench_setup BUILD_DIR ROUNDS [TARGET...]
#
# BUILD_DIR may be empty (build-bench in the project). Builds the Release
# programs scrivane-genstatement, scrivane-bench-clean and the TARGETs there,
# makes the statement once, and sets build, rounds, bin, data and f (the statement).
# shellcheck disable=SC2034 # the variables are for the script that sources this
clean_bench_setup() {
    local source_dir
    source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build=$(realpath -m "${1:-$source_dir/build-bench}")
    rounds=$2
    shift 2
    command -v hyperfine >/dev/null || {
        echo "missing: hyperfine" >&2
        exit 1
    }
    cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCRIVANE_BENCH=ON \
        -DSCRIVANE_BUILD_TESTS=OFF -DSCRIVANE_BUILD_GUI=ON >/dev/null
    cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-genstatement scrivane-bench-clean "$@" >/dev/null
    bin=$build/bin
    data=$build/bench-data
    mkdir -p "$data"
    f=$data/bank-sgml-100000.ofx
    [[ -s $f ]] || "$bin/scrivane-genstatement" --kind bank --form sgml --count 100000 --seed 1 >"$f"
}
