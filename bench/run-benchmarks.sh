#!/usr/bin/env bash
# Speed and memory of the whole clean and of the names listing on generated bank
# statements (SGML, CR LF) of 1k, 10k, 100k and 400k transactions, beside a plain
# sed that inserts the same bank identifier, and ofxdump reading the 10k file.
#
#   bench/run-benchmarks.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR defaults to build-bench in the project. Each timing is the median
# over ROUNDS (default 5) rounds; a round runs every command of a size three
# times, so the commands alternate and share whatever the machine is doing.
# Everything runs with a private HOME, so no user settings are read or written.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
build=$(realpath -m "${1:-$source_dir/build-bench}")
rounds=${2:-5}
sizes=(1000 10000 100000 400000)

for tool in hyperfine jq /usr/bin/time sed ofxdump; do
    command -v "$tool" >/dev/null || {
        echo "missing: $tool (Debian packages hyperfine, jq, time, ofx)" >&2
        exit 1
    }
done

# Warnings do not stop this build (SCRIVANE_WERROR is off), and the build
# itself silences GCC 12's false overlapping-copy warning at -O3.
cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCRIVANE_BENCH=ON \
    -DSCRIVANE_BUILD_TESTS=OFF -DSCRIVANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-genstatement scrivane-bench-clean >/dev/null
bin=$build/bin
tools=("engine:$bin/scrivane-bench-clean")
# The command-line companion, where it builds: the program as users run it.
if cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-clean >/dev/null 2>&1 && [[ -x $bin/scrivane-clean ]]; then
    tools+=("cli:$bin/scrivane-clean")
fi

data=$build/bench-data
results=$data/results
mkdir -p "$data" "$results" "$data/home"
export HOME=$data/home XDG_CONFIG_HOME=$data/home/config
out=$data/out
for n in "${sizes[@]}"; do
    f=$data/bank-sgml-$n.ofx
    [[ -s $f ]] || "$bin/scrivane-genstatement" --kind bank --form sgml --count "$n" --seed 1 >"$f"
done

median() { # JSON files, command name -> median seconds
    local name=$1
    shift
    jq -s --arg name "$name" '[.[].results[] | select(.command == $name) | .times[]] | sort | .[length / 2 | floor]' "$@"
}

peak_kb() { # command... -> highest resident set in kB over three runs
    local best=0 kb
    for _ in 1 2 3; do
        kb=$(/usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1)
        ((kb > best)) && best=$kb
    done
    echo "$best"
}

rm -f "$results"/*.json "$results/hyperfine.log"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
declare -A seconds rss
for n in "${sizes[@]}"; do
    f=$data/bank-sgml-$n.ofx
    cmds=(-n sed "sed 's#</SONRS>#<INTU.BID>3000</SONRS>#' '$f' > '$out.sed'")
    for entry in "${tools[@]}"; do
        label=${entry%%:*}
        exe=${entry#*:}
        if [[ $label == cli ]]; then
            cmds+=(-n "clean-$label" "'$exe' --stdout --target quicken '$f' > '$out.$label'")
        else
            cmds+=(-n "clean-$label" "'$exe' --target quicken '$f' > '$out.$label'")
        fi
        cmds+=(-n "list-$label" "'$exe' --list clean '$f' > '$out.list-$label'")
    done
    rm -f "$results/$n-"*.json
    for r in $(seq "$rounds"); do
        hyperfine --style none --runs 3 --warmup 1 --export-json "$results/$n-$r.json" "${cmds[@]}" \
            >/dev/null 2>>"$results/hyperfine.log"
    done
    seconds[$n, sed]=$(median sed "$results/$n-"*.json)
    for entry in "${tools[@]}"; do
        label=${entry%%:*}
        exe=${entry#*:}
        seconds[$n, clean-$label]=$(median "clean-$label" "$results/$n-"*.json)
        seconds[$n, list-$label]=$(median "list-$label" "$results/$n-"*.json)
        if [[ $label == cli ]]; then
            rss[$n, clean-$label]=$(peak_kb "$exe" --stdout --target quicken "$f")
        else
            rss[$n, clean-$label]=$(peak_kb "$exe" --target quicken "$f")
        fi
        rss[$n, list-$label]=$(peak_kb "$exe" --list clean "$f")
    done
    rss[$n, sed]=$(peak_kb sed 's#</SONRS>#<INTU.BID>3000</SONRS>#' "$f")
done

f10k=$data/bank-sgml-10000.ofx
hyperfine --style none --runs "$rounds" --warmup 1 --export-json "$results/ofxdump.json" \
    -n ofxdump "ofxdump '$f10k' > /dev/null 2>&1" >/dev/null 2>>"$results/hyperfine.log"
ofxdump_s=$(median ofxdump "$results/ofxdump.json")

mb() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.2f", b / 1e6 }'; }

echo "Bank statements, SGML with CR LF; medians of $rounds alternating rounds of 3 runs"
echo "Load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg) (on $(nproc) cores)"
echo "engine: scrivane-bench-clean (engine only); cli: scrivane-clean, where it builds"
printf '%-8s %9s  %-12s %10s %10s %12s %8s\n' count "file MB" command "ms" "MB/s" "peak RSS MB" "RSS/file"
for n in "${sizes[@]}"; do
    f=$data/bank-sgml-$n.ofx
    size=$(mb "$f")
    names=(sed)
    for entry in "${tools[@]}"; do names+=("clean-${entry%%:*}" "list-${entry%%:*}"); done
    for c in "${names[@]}"; do
        awk -v n="$n" -v size="$size" -v c="$c" -v s="${seconds[$n, $c]}" -v kb="${rss[$n, $c]}" 'BEGIN {
            printf "%-8s %9s  %-12s %10.1f %10.1f %12.1f %8.2f\n", n, size, c, s * 1000, size / s, kb / 1000, kb * 1000 / (size * 1e6)
        }'
    done
done
printf '\nofxdump on the 10k file: %.1f ms\n' "$(awk -v s="$ofxdump_s" 'BEGIN { print s * 1000 }')"

echo
echo "Targets (100k file unless said):"
verdict() { if awk "BEGIN { exit !($1) }"; then echo holds; else echo MISSED; fi; }
f100k=$data/bank-sgml-100000.ofx
bytes100k=$(stat -c %s "$f100k")
bytes400k=$(stat -c %s "$data/bank-sgml-400000.ofx")
for entry in "${tools[@]}"; do
    label=${entry%%:*}
    c=${seconds[100000, clean-$label]}
    s=${seconds[100000, sed]}
    ratio=$(awk -v c="$c" -v s="$s" 'BEGIN { printf "%.2f", c / s }')
    echo "  clean-$label time <= 2 x sed: ${ratio}x -> $(verdict "$ratio <= 2")"
    for n in 100000 400000; do
        bytes=$([[ $n == 100000 ]] && echo "$bytes100k" || echo "$bytes400k")
        for what in clean list; do
            r=$(awk -v kb="${rss[$n, $what-$label]}" -v b="$bytes" 'BEGIN { printf "%.2f", kb * 1000 / b }')
            echo "  $what-$label peak RSS <= 3 x file ($n): ${r}x -> $(verdict "$r <= 3")"
        done
    done
    for what in clean list; do
        r=$(awk -v a="${seconds[400000, $what-$label]}" -v b="${seconds[100000, $what-$label]}" 'BEGIN { printf "%.2f", a / b }')
        echo "  $what-$label 400k / 100k time <= 4.5: ${r}x -> $(verdict "$r <= 4.5")"
    done
done
