#!/bin/sh
# Instructions per iteration of the plug-in benchmarks and their floors, counted by callgrind:
# unlike time, the count does not move with the load of a shared machine.
#
# Usage: bench/instruction_counts.sh BUILD_DIR   (needs valgrind)
set -eu
bench="$1/bin/volanko-bench"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Instructions per call of $2 made from the timing loop of benchmark $1, and the number of calls.
count() {
    valgrind --tool=callgrind --callgrind-out-file="$out/$1" "$bench" --benchmark_filter="^$1\$" \
        --benchmark_min_time=0.02 >/dev/null 2>&1
    callgrind_annotate --tree=caller --inclusive=yes "$out/$1" 2>/dev/null | awk -v loop="::$1(" -v target="$2" '
        /^$/ { n = 0; next }
        index($0, "*  ") && index($0, target) {
            for (i = 0; i < n; i++) {
                if (index(lines[i], loop)) {
                    ir = lines[i]; sub(/^ */, "", ir); sub(/ .*/, "", ir); gsub(",", "", ir)
                    calls = lines[i]; sub(/.*\(/, "", calls); sub(/x\).*/, "", calls); gsub(",", "", calls)
                    printf "%d %d\n", ir / calls, calls
                }
            }
        }
        { lines[n++] = $0 }'
}

report() {
    set -- "$1" $(count "$1" "$2") "$3" $(count "$3" "$4")
    echo "$1 $2 Ir ($3 calls), $4 $5 Ir ($6 calls): ratio $(awk -v a="$2" -v b="$5" 'BEGIN { printf "%.2f", a / b }')"
}

report frame_plugin "runtime::Host::drawFrame()" frame_floor "bench::DrillSession::floorFrame()"
report hit_plugin "runtime::Host::fireEvent(" hit_floor "bench::DrillSession::floorHit()"

# The trace's cost per traced call: a traced frame (each entry made into its JSON line) less the
# untraced one, over the frame's calls.
set -- $(count frame_traced "runtime::Host::drawFrame()") $(count frame_plugin "runtime::Host::drawFrame()")
calls=$("$bench" --benchmark_filter='^frame_traced$' --benchmark_min_time=0.01 --benchmark_format=json 2>/dev/null |
    awk -F': *' '/"traced_calls"/ { sub(/,.*/, "", $2); printf "%d", $2 + 0.5 }')
echo "frame_traced $1 Ir ($calls traced calls a frame): $(awk -v a="$1" -v b="$3" -v n="$calls" 'BEGIN { printf "%d", (a - b) / n }') Ir per traced call"
