#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into BUILD_DIR, replays every saved
# regression input, then fuzzes each target for SECONDS_PER_TARGET seconds from
# seeds made at run time (the sample statements and generated ones). Any finding
# is copied into fuzz/regressions/<target>/ and makes the script fail.
#
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
#
# Environment: SCRIVANE_CORPUS_DIR (default: ../shared/corpus beside the project),
# FUZZ_JOBS (build parallelism, default 2).
set -uo pipefail

if [[ $# -ne 2 || ! $2 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 BUILD_DIR SECONDS_PER_TARGET" >&2
    exit 2
fi
build=$(realpath -m "$1")
seconds=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
corpus_dir=${SCRIVANE_CORPUS_DIR:-$source_dir/../shared/corpus}
targets=(segments_fuzzer name_cleaner_fuzzer proper_case_fuzzer bank_id_fuzzer clean_statement_fuzzer payee_rules_fuzzer
    bank_file_fuzzer)

# A statement of a megabyte must take well under a second even with the
# sanitizers on; names reach proper case inside whole statements, so its own
# target works on name-sized texts.
statement_max_len=1048576
name_max_len=65536
timeout_seconds=1

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSCRIVANE_FUZZ=ON -DSCRIVANE_BENCH=ON -DSCRIVANE_BUILD_GUI=OFF -DSCRIVANE_BUILD_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" -j "${FUZZ_JOBS:-2}" --target "${targets[@]}" scrivane-genstatement >/dev/null || {
    echo "fuzz build failed" >&2
    exit 1
}
bin=$build/fuzz
gen=$build/bin/scrivane-genstatement

work=$build/fuzz-work
rm -rf "$work/seeds" "$work/artifacts" "$work/logs"
mkdir -p "$work/seeds"/{statements,configured,targeted,names,rules,bank} "$work/seeds/large"/{statements,configured,targeted} \
    "$work/artifacts" "$work/logs"

# Seeds. Statements as they come: the samples and small generated ones of
# every kind, form and layout.
if compgen -G "$corpus_dir/*.ofx" >/dev/null; then
    cp "$corpus_dir"/*.ofx "$work/seeds/statements/"
    # The XML statements among the real ones, which QuickBooks gets converted.
    for f in "$corpus_dir"/real/*; do
        if head -c 4096 "$f" | grep -q -a -e '<?xml' -e '<?OFX'; then
            cp "$f" "$work/seeds/statements/real-$(basename "$f")"
        fi
    done
else
    echo "note: no sample statements in $corpus_dir; generated seeds only" >&2
fi
n=0
for kind in bank cc invest; do
    for form in sgml xml; do
        for layout in lines packed mixed; do
            n=$((n + 1))
            extra=()
            ((n % 2)) && extra+=(--bank-id)
            [[ $form == xml ]] && extra+=(--cdata)
            "$gen" --kind $kind --form $form --layout $layout --count $((n % 6 + 1)) --seed $n --accents "${extra[@]}" \
                >"$work/seeds/statements/gen-$kind-$form-$layout.ofx"
        done
    done
done
# The same statements behind a run configuration (see fuzz/fuzz_input.h): every
# rule on for QuickBooks, no proper case for Quicken, no rules for Other.
for f in "$work"/seeds/statements/*; do
    b=$(basename "$f")
    { printf '\x0f\x09CHECK REF'; cat "$f"; } >"$work/seeds/configured/qb-$b"
    { printf '\x1e\x0dCheck PMT XXX'; cat "$f"; } >"$work/seeds/configured/quicken-$b"
    { printf '\x20\x00'; cat "$f"; } >"$work/seeds/configured/other-$b"
    for t in 0 1 2; do
        { printf "\\x0$t"; cat "$f"; } >"$work/seeds/targeted/$t-$b"
    done
done
# A statement just under the length limit, so that every run meets one: the
# single steps must take it well within the timeout. The whole clean, which runs
# every step twice over to compare, is held to it only by what it grows itself.
"$gen" --kind bank --form sgml --layout mixed --count 6400 --seed 99 >"$work/seeds/large/statements/bank-1mb.ofx"
{ printf '\x0f\x09CHECK REF'; cat "$work/seeds/large/statements/bank-1mb.ofx"; } >"$work/seeds/large/configured/qb-1mb"
{ printf '\x01'; cat "$work/seeds/large/statements/bank-1mb.ofx"; } >"$work/seeds/large/targeted/quicken-1mb"
# Payee names alone, in each character set, for proper case.
"$gen" --kind bank --form xml --count 400 --seed 11 --accents | grep -a -o '<NAME>[^<]*' | cut -c7- | sort -u |
    head -150 >"$work/names.txt"
i=0
while IFS= read -r name; do
    i=$((i + 1))
    printf '\x02%s' "$name" >"$work/seeds/names/utf8-$i"
    printf '\x00%s' "$name" >"$work/seeds/names/ascii-$i"
    printf '\x01%s' "$name" | iconv -f UTF-8 -t CP1252 >"$work/seeds/names/cp1252-$i" 2>/dev/null
done <"$work/names.txt"

# Payee rules (see fuzz/payee_rules_fuzzer.cpp): one of each kind, in each
# character set and form, over names that some of them match.
rules='\x00\x08wal mart\x07Walmart\x01\x04sq *\x06Square\x02\x09acme corp\x09ACME & Co\x03\x09WAL-?MART\x01W'
for head in 04 14 24 44 64; do
    printf "\\x$head$rules"'POS WAL MART 03/15\nSQ *COFFEE\nAcme  Corp\nWALMART #12\nAT&amp;T\n' >"$work/seeds/rules/$head"
done
printf '\x24\x00\x05caf\xc3\xa9\x05Caf\xc3\xa9CAF\xc3\x89 NERO\n' >"$work/seeds/rules/utf8-accent"
printf '\x14\x00\x05caf\xc3\xa9\x05Caf\xc3\xa9CAF\xc9 NERO\n' >"$work/seeds/rules/cp1252-accent"
# Bank exports behind their answers (see fuzz/bank_file_fuzzer.cpp): CSV with and
# without a date order and an account, QIF likewise.
if compgen -G "$corpus_dir/csv/*" >/dev/null; then
    for f in "$corpus_dir"/csv/*.csv "$corpus_dir"/csv/*.qif; do
        b=$(basename "$f")
        qif=0
        [[ $f == *.qif ]] && qif=1
        { printf "\\x$(printf '%02x' $((qif | 6)))"; cat "$f"; } >"$work/seeds/bank/asked-$b"
        { printf "\\x$(printf '%02x' $((qif | 8 | 6)))"; cat "$f"; } >"$work/seeds/bank/answered-$b"
        { printf "\\x$(printf '%02x' $((qif | 8 | 4)))"; cat "$f"; } >"$work/seeds/bank/dmy-$b"
    done
else
    echo "note: no bank exports in $corpus_dir/csv; the bank file target starts from nothing" >&2
    printf '\x0eDate,Payee,Amount\n2024-01-31,Acme,-1.00\n' >"$work/seeds/bank/minimal.csv"
fi

seeds_for() {
    case $1 in
    segments_fuzzer) printf '%s\n' "$work/seeds/statements" "$work/seeds/large/statements" ;;
    name_cleaner_fuzzer) printf '%s\n' "$work/seeds/configured" "$work/seeds/large/configured" ;;
    clean_statement_fuzzer) printf '%s\n' "$work/seeds/configured" ;;
    bank_id_fuzzer) printf '%s\n' "$work/seeds/targeted" "$work/seeds/large/targeted" ;;
    proper_case_fuzzer) printf '%s\n' "$work/seeds/names" ;;
    payee_rules_fuzzer) printf '%s\n' "$work/seeds/rules" ;;
    bank_file_fuzzer) printf '%s\n' "$work/seeds/bank" ;;
    esac
}

failed=0
declare -A executions
declare -A verdict
for target in "${targets[@]}"; do
    regressions=$here/regressions/$target
    max_len=$statement_max_len
    [[ $target == proper_case_fuzzer || $target == payee_rules_fuzzer || $target == bank_file_fuzzer ]] &&
        max_len=$name_max_len
    dict=$here/ofx.dict
    [[ $target == bank_file_fuzzer ]] && dict=$here/bank.dict
    flags=(-timeout=$timeout_seconds -rss_limit_mb=2048 -max_len=$max_len -dict="$dict")

    # Replay first: a saved finding that breaks again fails at once.
    if compgen -G "$regressions/*" >/dev/null; then
        if ! "$bin/$target" "${flags[@]}" -runs=0 "$regressions" >"$work/logs/$target-replay.log" 2>&1; then
            echo "$target: a saved regression input fails again; see $work/logs/$target-replay.log" >&2
            failed=1
            verdict[$target]="REGRESSION"
            executions[$target]=0
            continue
        fi
    fi

    corpus=$work/corpus/$target
    mapfile -t seed_dirs < <(seeds_for "$target")
    mkdir -p "$corpus" "$work/artifacts/$target"
    "$bin/$target" "${flags[@]}" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/$target/" "$corpus" "${seed_dirs[@]}" \
        >"$work/logs/$target.log" 2>&1
    status=$?
    executions[$target]=$(grep -a -o 'stat::number_of_executed_units: *[0-9]*' "$work/logs/$target.log" |
        grep -o '[0-9]*$' | tail -1)
    verdict[$target]=ok
    if [[ $status -ne 0 ]] || compgen -G "$work/artifacts/$target/*" >/dev/null; then
        failed=1
        verdict[$target]="FINDING"
        mkdir -p "$regressions"
        cp "$work/artifacts/$target"/* "$regressions/" 2>/dev/null
        echo "$target: finding saved under $regressions; log: $work/logs/$target.log" >&2
        grep -a -m3 -E 'invariant broken|ERROR: |SUMMARY' "$work/logs/$target.log" >&2
    fi
done

echo
printf '%-24s %14s  %s\n' target executions result
for target in "${targets[@]}"; do
    printf '%-24s %14s  %s\n' "$target" "${executions[$target]:-?}" "${verdict[$target]}"
done
exit $failed
