#!/usr/bin/env bash
# Speed and memory of the whole clean and of the names listing on generated bank
# statements (SGML, CR LF) of 1k, 10k, 100k and 400k transactions, beside the
# floors any rewrite of the file pays (cp, and a sed that inserts the same bank
# identifier), an omit list of 100,000 words, ofxdump reading the 10k file, and
# the desktop program's two names previews (click until the list is drawn) of
# the 1k, 10k and 100k files.
#
#   bench/run-benchmarks.sh [BUILD_DIR] [ROUNDS] [BASELINE_BUILD_DIR]
#
# BUILD_DIR defaults to build-bench in the project. Each timing is the median
# over ROUNDS (default 5) rounds; a round runs every command of a size three
# times, so the commands alternate and share whatever the machine is doing.
# The 100k / 400k ratio is taken in each round and reported as its median with
# the lowest and highest round. BASELINE_BUILD_DIR, a build of an earlier
# version (its bin/scrivane-clean), adds that program's clean beside this one's
# in the same rounds, for before and after figures from one run.
# Everything runs with a private HOME, so no user settings are read or written.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(dirname "$here")
build=$(realpath -m "${1:-$source_dir/build-bench}")
rounds=${2:-5}
baseline=${3:+$(realpath -m "$3")}
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
# The desktop windows, offscreen, where the GUI builds.
gui=""
if cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-bench-gui >/dev/null 2>&1; then
    gui=$build/bin/scrivane-bench-gui
fi
bin=$build/bin
tools=("engine:$bin/scrivane-bench-clean")
# The command-line companion, where it builds: the program as users run it.
if cmake --build "$build" -j "${BENCH_JOBS:-2}" --target scrivane-clean >/dev/null 2>&1 && [[ -x $bin/scrivane-clean ]]; then
    tools+=("cli:$bin/scrivane-clean")
fi
if [[ -n $baseline ]]; then
    [[ -x $baseline/bin/scrivane-clean ]] || {
        echo "no $baseline/bin/scrivane-clean" >&2
        exit 1
    }
    tools+=("before:$baseline/bin/scrivane-clean")
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
    cmds=(-n cp "cp '$f' '$out.cp'" -n sed "sed 's#</SONRS>#<INTU.BID>3000</SONRS>#' '$f' > '$out.sed'")
    for entry in "${tools[@]}"; do
        label=${entry%%:*}
        exe=${entry#*:}
        if [[ $label != engine ]]; then
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
    seconds[$n, cp]=$(median cp "$results/$n-"*.json)
    for entry in "${tools[@]}"; do
        label=${entry%%:*}
        exe=${entry#*:}
        seconds[$n, clean-$label]=$(median "clean-$label" "$results/$n-"*.json)
        seconds[$n, list-$label]=$(median "list-$label" "$results/$n-"*.json)
        if [[ $label != engine ]]; then
            rss[$n, clean-$label]=$(peak_kb "$exe" --stdout --target quicken "$f")
        else
            rss[$n, clean-$label]=$(peak_kb "$exe" --target quicken "$f")
        fi
        rss[$n, list-$label]=$(peak_kb "$exe" --list clean "$f")
    done
    rss[$n, sed]=$(peak_kb sed 's#</SONRS>#<INTU.BID>3000</SONRS>#' "$f")
    rss[$n, cp]=$(peak_kb cp "$f" "$out.cp")
done

# An omit list of 100,000 words, stored as the desktop program stores it, on the
# 10k statement (10,000 names). Half of the words could stand in a name.
omit_home=$data/omit-home
mkdir -p "$omit_home/config"
awk 'BEGIN { printf "[Prefs]\nomitWords=CHECK REF"; for (i = 0; i < 100000; i++) printf " W%05dX", i; printf "\n" }' \
    >"$omit_home/config/Korvel Scrivane.ini"
f10k=$data/bank-sgml-10000.ofx
omit_cmds=()
for entry in "${tools[@]}"; do
    label=${entry%%:*}
    exe=${entry#*:}
    [[ $label == engine ]] && continue
    omit_cmds+=(-n "omit-$label" "HOME='$omit_home' XDG_CONFIG_HOME='$omit_home/config' '$exe' --stdout --target quicken '$f10k' > '$out.omit-$label'")
    omit_cmds+=(-n "default-$label" "'$exe' --stdout --target quicken '$f10k' > '$out.default-$label'")
done
if ((${#omit_cmds[@]})); then
    hyperfine --style none --runs 3 --export-json "$results/omit.json" "${omit_cmds[@]}" \
        >/dev/null 2>>"$results/hyperfine.log"
fi

# What a start costs before any statement is read: the dynamic loader and Qt
# Core's static set-up, beside a program that does nothing.
start_cmds=(-n nothing "/bin/true")
for entry in "${tools[@]}"; do
    [[ ${entry%%:*} == engine ]] || start_cmds+=(-n "start-${entry%%:*}" "'${entry#*:}' --version")
done
hyperfine --style none --runs $((rounds * 5)) --warmup 2 --export-json "$results/start.json" "${start_cmds[@]}" \
    >/dev/null 2>>"$results/hyperfine.log"

hyperfine --style none --runs "$rounds" --warmup 1 --export-json "$results/ofxdump.json" \
    -n ofxdump "ofxdump '$f10k' > /dev/null 2>&1" >/dev/null 2>>"$results/hyperfine.log"
ofxdump_s=$(median ofxdump "$results/ofxdump.json")

verdict() { if awk "BEGIN { exit !($1) }"; then echo holds; else echo MISSED; fi; }
mb() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.2f", b / 1e6 }'; }

echo "Bank statements, SGML with CR LF; medians of $rounds alternating rounds of 3 runs"
echo "Load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg) (on $(nproc) cores)"
echo "engine: scrivane-bench-clean (engine only); cli: scrivane-clean, where it builds"
printf '%-8s %9s  %-12s %10s %10s %12s %8s\n' count "file MB" command "ms" "MB/s" "peak RSS MB" "RSS/file"
for n in "${sizes[@]}"; do
    f=$data/bank-sgml-$n.ofx
    size=$(mb "$f")
    names=(cp sed)
    for entry in "${tools[@]}"; do names+=("clean-${entry%%:*}" "list-${entry%%:*}"); done
    for c in "${names[@]}"; do
        awk -v n="$n" -v size="$size" -v c="$c" -v s="${seconds[$n, $c]}" -v kb="${rss[$n, $c]}" 'BEGIN {
            printf "%-8s %9s  %-12s %10.1f %10.1f %12.1f %8.2f\n", n, size, c, s * 1000, size / s, kb / 1000, kb * 1000 / (size * 1e6)
        }'
    done
done
printf '\nofxdump on the 10k file: %.1f ms\n' "$(awk -v s="$ofxdump_s" 'BEGIN { print s * 1000 }')"
for c in $(jq -r '.results[].command' "$results/start.json"); do
    printf 'start-up, %s: %.1f ms\n' "$c" "$(awk -v s="$(median "$c" "$results/start.json")" 'BEGIN { print s * 1000 }')"
done

declare -A previews
if [[ -n $gui ]]; then
    echo
    echo "Desktop program, offscreen, click until the list is drawn; medians of $rounds rounds:"
    for n in 1000 10000 100000; do
        report=$(QT_QPA_PLATFORM=offscreen "$gui" "$data/bank-sgml-$n.ofx" "$rounds" 2>/dev/null)
        previews[$n, raw]=$(awk '/names in file/ { print $5 }' <<<"$report")
        previews[$n, clean]=$(awk '/cleaned names preview/ { print $5 }' <<<"$report")
        printf '  %7s transactions: Names in file %s ms, Cleaned names preview %s ms, %s\n' "$n" \
            "${previews[$n, raw]}" "${previews[$n, clean]}" "$(grep 'Clean File' <<<"$report" | sed 's/ *median/ median/')"
    done
fi

echo
echo "Targets (100k file unless said):"
if [[ -n $gui ]]; then
    for what in raw clean; do
        echo "  preview ($what) <= 150 ms: ${previews[100000, $what]} ms -> $(verdict "${previews[100000, $what]} <= 150")"
    done
fi
f100k=$data/bank-sgml-100000.ofx
bytes100k=$(stat -c %s "$f100k")
bytes400k=$(stat -c %s "$data/bank-sgml-400000.ofx")
# The 100k / 400k ratio of one command in each round, as "median (lowest-highest)".
ratio_spread() {
    local name=$1 r list=()
    for r in $(seq "$rounds"); do
        list+=("$(jq -s --arg name "$name" '[.[].results[] | select(.command == $name) | .median] | .[0]' "$results/400000-$r.json")/$(jq -s --arg name "$name" '[.[].results[] | select(.command == $name) | .median] | .[0]' "$results/100000-$r.json")")
    done
    printf '%s\n' "${list[@]}" | awk -F/ '{ print $1 / $2 }' | sort -g | awk '{ v[NR] = $1 } END { printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
for entry in "${tools[@]}"; do
    label=${entry%%:*}
    c=${seconds[100000, clean-$label]}
    s=${seconds[100000, sed]}
    k=${seconds[100000, cp]}
    ratio=$(awk -v c="$c" -v s="$s" 'BEGIN { printf "%.2f", c / s }')
    cpratio=$(awk -v c="$c" -v s="$k" 'BEGIN { printf "%.2f", c / s }')
    echo "  clean-$label time <= 0.6 x sed: ${ratio}x -> $(verdict "$ratio <= 0.6")"
    echo "  clean-$label time <= 4 x cp: ${cpratio}x -> $(verdict "$cpratio <= 4")"
    for n in 100000 400000; do
        bytes=$([[ $n == 100000 ]] && echo "$bytes100k" || echo "$bytes400k")
        for what in clean list; do
            r=$(awk -v kb="${rss[$n, $what-$label]}" -v b="$bytes" 'BEGIN { printf "%.2f", kb * 1000 / b }')
            echo "  $what-$label peak RSS <= 2 x file ($n): ${r}x -> $(verdict "$r <= 2")"
        done
    done
    for what in clean list; do
        r=$(awk -v a="${seconds[400000, $what-$label]}" -v b="${seconds[100000, $what-$label]}" 'BEGIN { printf "%.2f", a / b }')
        echo "  $what-$label 400k / 100k time <= 4.5: ${r}x of medians; per round $(ratio_spread "$what-$label") -> $(verdict "$r <= 4.5")"
    done
    if [[ $label != engine && -s $results/omit.json ]]; then
        o=$(median "omit-$label" "$results/omit.json")
        d=$(median "default-$label" "$results/omit.json")
        printf '  omit-%s: 10,000 names, 100,000-word list: %.1f ms (default list %.1f ms) -> %s\n' \
            "$label" "$(awk -v s="$o" 'BEGIN { print s * 1000 }')" "$(awk -v s="$d" 'BEGIN { print s * 1000 }')" \
            "$(verdict "$o <= 0.2")"
    fi
done
