#!/usr/bin/env bash
# Speed and memory of the conversion of bank CSV and QIF files to OFX statements:
# generated exports of 1k, 10k, 100k and 400k rows (a CSV with quoted payees,
# thousands separators and a balance column, and a QIF of the same rows), each
# beside cp of the same file, the floor of any program that reads and writes it.
#
#   bench/run-convert-benchmark.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR defaults to build-bench in the project; each timing is the median of
# ROUNDS (default 5) hyperfine runs.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
build=$(realpath -m "${1:-$source_dir/build-bench}")
rounds=${2:-5}
sizes=(1000 10000 100000 400000)

for tool in hyperfine jq /usr/bin/time; do
    command -v "$tool" >/dev/null || {
        echo "missing: $tool (Debian packages hyperfine, jq, time)" >&2
        exit 1
    }
done

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCRIVANE_BENCH=ON \
    -DSCRIVANE_BUILD_TESTS=OFF -DSCRIVANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-bench-convert >/dev/null
convert=$build/bin/scrivane-bench-convert
data=$build/bench-data/convert
mkdir -p "$data"

# Rows of one account over about three years, oldest first; the same rows in both forms.
for n in "${sizes[@]}"; do
    [[ -s $data/bank-$n.csv && -s $data/bank-$n.qif ]] && continue
    awk -v n="$n" -v csv="$data/bank-$n.csv" -v qif="$data/bank-$n.qif" '
    function grouped(x,    sign, whole, cents, digits, out) {
        sign = x < 0 ? "-" : ""; x = x < 0 ? -x : x
        cents = int(x * 100 + 0.5); whole = int(cents / 100); cents = sprintf("%02d", cents % 100)
        digits = whole ""; out = ""
        while (length(digits) > 3) { out = "," substr(digits, length(digits) - 2) out; digits = substr(digits, 1, length(digits) - 3) }
        return sign digits out "." cents
    }
    BEGIN {
        srand(1)
        printf "Account,12345678\r\n\r\nDate,Description,Amount,Balance\r\n" > csv
        printf "!Type:Bank\n" > qif
        balance = 1000
        for (i = 0; i < n; i++) {
            day = int(i * 1000 / n)
            y = 2021 + int(day / 336); m = 1 + int(day % 336 / 28); d = 1 + day % 28
            cents = int(rand() * 200000) - 100000
            balance += cents / 100
            payee = sprintf("PAYEE %d, STORE #%d", i % 500, i % 97)
            printf "%04d-%02d-%02d,\"%s\",\"%s\",%.2f\r\n", y, m, d, payee, grouped(cents / 100), balance > csv
            printf "D%02d/%02d/%04d\nT%s\nP%s\n^\n", m, d, y, grouped(cents / 100), payee > qif
        }
        printf "Total,,,\r\n" > csv
    }'
done

median() { jq '[.results[0].times[]] | sort | .[length / 2 | floor]' "$1"; }
peak_kb() {
    local best=0 kb
    for _ in 1 2 3; do
        kb=$(/usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1)
        ((kb > best)) && best=$kb
    done
    echo "$best"
}

printf '%-8s %-4s %9s %10s %10s %12s %10s\n' rows form "file MB" "ms" "rows/s" "peak RSS MB" "x cp time"
for n in "${sizes[@]}"; do
    for form in csv qif; do
        f=$data/bank-$n.$form
        mapping=account=1
        [[ $form == qif ]] && mapping=account=1,order=mdy
        "$convert" "$f" "$mapping" >"$data/out.ofx" || exit 1
        hyperfine --style none --runs "$rounds" --warmup 1 --export-json "$data/cp.json" \
            "cp '$f' '$data/out.cp'" >/dev/null 2>&1
        hyperfine --style none --runs "$rounds" --warmup 1 --export-json "$data/convert.json" \
            "'$convert' '$f' $mapping > '$data/out.ofx'" >/dev/null 2>&1
        s=$(median "$data/convert.json")
        c=$(median "$data/cp.json")
        kb=$(peak_kb "$convert" "$f" "$mapping")
        awk -v n="$n" -v form="$form" -v b="$(stat -c %s "$f")" -v s="$s" -v c="$c" -v kb="$kb" 'BEGIN {
            printf "%-8s %-4s %9.2f %10.1f %10.0f %12.1f %10.1f\n", n, form, b / 1e6, s * 1000, n / s, kb / 1000, s / c
        }'
    done
done
