#!/bin/bash
# Damaged copies of a plug-in library, each given to the arena as its plug-in: no arena may die of
# a signal (nor of the system's loader stopping it); each copy is refused with a reason or runs.
#
#   mutated_libraries.sh ARENA LIBRARY MUTATIONS TRUNCATIONS [SEED]
#
# MUTATIONS copies have one byte each changed (XOR with a value from 1 to 255) at an offset drawn
# from SEED (default 1); TRUNCATIONS copies are cut at lengths spread evenly from 0 to the whole
# file less one byte ("all" cuts at every length). A failing copy is kept in KEEP (default: the
# current folder) as mutated-OFFSET-VALUE.so or truncated-LENGTH.so. Prints a tally of the outcomes;
# exit status 0 when every copy was refused with a reason or ran, 1 otherwise, 2 for bad arguments.

set -u
if [ $# -lt 4 ]; then
    echo "usage: $0 ARENA LIBRARY MUTATIONS TRUNCATIONS [SEED]" >&2
    exit 2
fi
arena=$1 library=$2 mutations=$3 truncations=$4 seed=${5:-1}
keep=${KEEP:-$PWD}
size=$(stat -c %s "$library") || exit 2
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
copy="$work/libdamaged.so"
failures=0
tally="$work/tally"
: >"$tally"

# Runs the arena on the copy as it is now; `$1` names the damage for messages and the kept copy.
try() {
    timeout -s KILL 120 "$arena" --plugin "$copy" --no-config script /dev/null >"$work/out" 2>"$work/err"
    local status=$?
    local reason
    reason=$(grep -a -m1 "^arena: $copy: " "$work/err" | sed "s|^arena: $copy: ||")
    if [ "$status" -eq 0 ]; then
        echo "ran" >>"$tally"
    elif [ "$status" -eq 1 ] && [ -n "$reason" ]; then
        # Reasons by their kind: numbers and quoted names left out.
        echo "refused: ${reason//$copy/PATH}" | sed -E 's/[0-9]+/N/g; s/"[^"]*"/"..."/g' | cut -c1-100 >>"$tally"
    else
        failures=$((failures + 1))
        cp "$copy" "$keep/$1.so"
        echo "FAIL $1: exit status $status${reason:+, $reason}; kept as $keep/$1.so" >&2
        head -c 300 "$work/err" | sed 's/^/    /' >&2
    fi
}

RANDOM=$seed
for ((i = 0; i < mutations; i++)); do
    offset=$(((RANDOM << 15 | RANDOM) % size))
    value=$((RANDOM % 255 + 1))
    cp "$library" "$copy"
    old=$(od -An -tu1 -j "$offset" -N1 "$library" | tr -d ' ')
    printf "\\$(printf '%03o' $((old ^ value)))" | dd of="$copy" bs=1 seek="$offset" conv=notrunc status=none
    try "mutated-$offset-$value"
done

if [ "$truncations" = all ]; then
    truncations=$size
fi
for ((i = 0; i < truncations; i++)); do
    length=$((size * i / truncations))
    head -c "$length" "$library" >"$copy"
    try "truncated-$length"
done

echo "$mutations mutations (seed $seed) and $truncations truncations of $library ($size bytes):"
sort "$tally" | uniq -c | sort -rn
[ "$failures" -eq 0 ] || echo "$failures copies failed" >&2
[ "$failures" -eq 0 ]
