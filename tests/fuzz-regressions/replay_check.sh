#!/usr/bin/env bash
# replay_check.sh [RUNNER...] PROGRAM DIR: replays every kept input in DIR with a fuzz target's
# replay program (run by RUNNER, e.g. an emulator, when given), each alone in a fresh process twice,
# then all in one process in order and in reverse, and fails unless every run passes and each input
# gives one outcome in all four.
set -euo pipefail
program=("${@:1:$#-1}")
folder="${*: -1}"
mapfile -t inputs < <(find "$folder" -maxdepth 1 -type f | LC_ALL=C sort)
if [ "${#inputs[@]}" -eq 0 ]; then
    echo "no kept inputs in $folder"
    exit 1
fi
reversed=()
for ((i = ${#inputs[@]} - 1; i >= 0; --i)); do
    reversed+=("${inputs[i]}")
done

runs="$(mktemp)"
trap 'rm -f "$runs"' EXIT
for input in "${inputs[@]}"; do
    "${program[@]}" "$input" >>"$runs"
    "${program[@]}" "$input" >>"$runs"
done
"${program[@]}" "${inputs[@]}" "${reversed[@]}" >>"$runs"

if [ "$(wc -l <"$runs")" -ne $((4 * ${#inputs[@]})) ]; then
    echo "expected $((4 * ${#inputs[@]})) outcomes, got:"
    cat "$runs"
    exit 1
fi
differing="$(LC_ALL=C sort -u "$runs" | cut -d' ' -f1 | uniq -d)"
if [ -n "$differing" ]; then
    echo "outcomes differ between runs for:"
    grep -F "$differing" "$runs"
    exit 1
fi
echo "${#inputs[@]} inputs, the same outcome in all four runs"
