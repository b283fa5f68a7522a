#!/usr/bin/env bash
# Checks a plug-in DLL as a Windows host finds it: it exports exactly `exports`, `getPlugin` and
# `deleteMe`, the two functions as code and the record as data, and the record's 64 bytes, read
# from the file itself, have the layout the host reads: the host API version, zero gaps, the four
# texts, no kind flags, the two entry functions, and a base relocation on each of its six pointers
# so that they stay right wherever the DLL is loaded.
# Usage: dll_exports.sh OBJDUMP DLL (OBJDUMP: the MinGW-w64 objdump).
set -euo pipefail
objdump=$1
dll=$2

fail()
{
    echo "$dll: $*" >&2
    exit 1
}

headers=$("$objdump" -p "$dll")
sections=$("$objdump" -h "$dll")
grep -q 'file format pei-x86-64' <<<"$headers" || fail "not a 64-bit PE file"
image_base=$((16#$(awk '$1 == "ImageBase" { print $2 }' <<<"$headers")))

# "index name" per exported name, and "index rva" per export address.
names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/ s/^\s*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' <<<"$headers")
addresses=$(sed -n '/^Export Address Table -- Ordinal Base/,/^$/ s/^\s*\[ *\([0-9]*\)\] +base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA$/\1 \2/p' <<<"$headers")
actual=$(cut -d' ' -f2- <<<"$names" | sort | tr '\n' ' ')
[ "$actual" = "deleteMe exports getPlugin " ] || fail "exports [ ${actual}], not [ deleteMe exports getPlugin ]"

address_of() # the virtual address of the exported name $1
{
    local slot
    slot=$(awk -v name="$1" '$2 == name { print $1 }' <<<"$names")
    echo $((image_base + 16#$(awk -v slot="$slot" '$1 == slot { print $2 }' <<<"$addresses")))
}

# Each section with contents in the file: name, start address, size, file offset, flags.
section_rows=()
while read -r index name size vma _ offset _; do
    read -r flags
    [[ "$index" =~ ^[0-9]+$ && "$flags" == *CONTENTS* ]] || continue
    section_rows+=("$name $((16#$vma)) $((16#$size)) $((16#$offset)) ${flags// /}")
done < <(sed -n '/^Idx Name/,$p' <<<"$sections" | tail -n +2)

section_at() # "name file-offset bytes-left flags" for virtual address $1; nothing outside them all
{
    local row name vma size offset flags
    for row in "${section_rows[@]}"; do
        read -r name vma size offset flags <<<"$row"
        if (($1 >= vma && $1 < vma + size)); then
            echo "$name $((offset + $1 - vma)) $((vma + size - $1)) $flags"
            return
        fi
    done
}

for function in getPlugin deleteMe; do
    [[ "$(section_at "$(address_of "$function")")" == *CODE* ]] || fail "$function is not code"
done
record=$(address_of exports)
read -r record_section record_offset record_room record_flags < <(section_at "$record")
[ -n "${record_section:-}" ] || fail "exports lies in no section of the file"
[[ "$record_flags" != *CODE* ]] || fail "exports is code, not data"
[ "$record_room" -ge 64 ] || fail "exports has $record_room bytes before its section ends, not 64"

bytes=($(od -An -v -tx1 -j "$record_offset" -N 64 "$dll"))
number() # the little-endian number of $2 bytes at offset $1 of the record
{
    local value="" i
    for ((i = $1 + $2 - 1; i >= $1; i--)); do
        value+=${bytes[i]}
    done
    echo $((16#$value))
}
text_at() # the zero-ended text at virtual address $1
{
    local offset
    read -r _ offset _ < <(section_at "$1")
    [ -n "${offset:-}" ] || fail "a text of exports points outside the file's sections"
    dd if="$dll" bs=1 skip="$offset" count=4096 status=none | tr '\0' '\n' | head -n 1
}

[ "$(number 0 4)" -eq 95 ] || fail "hostApiVersion is $(number 0 4), not 95"
[ "$(number 4 4)" -eq 0 ] || fail "the gap after hostApiVersion is not zero"
[[ "$(text_at "$(number 8 8)")" == */source/Volanko/Volanko.cpp ]] || fail "sourceFile is \"$(text_at "$(number 8 8)")\""
[ "$(text_at "$(number 16 8)")" = Volanko ] || fail "pluginClass is \"$(text_at "$(number 16 8)")\", not \"Volanko\""
[ "$(text_at "$(number 24 8)")" = Volanko ] || fail "displayName is \"$(text_at "$(number 24 8)")\", not \"Volanko\""
[ "$(text_at "$(number 32 8)")" = 1.0 ] || fail "versionText is \"$(text_at "$(number 32 8)")\", not \"1.0\""
[ "$(number 40 4)" -eq 0 ] || fail "kindFlags is $(number 40 4), not 0"
[ "$(number 44 4)" -eq 0 ] || fail "the gap after kindFlags is not zero"
[ "$(number 48 8)" -eq "$(address_of getPlugin)" ] || fail "createFunction is not getPlugin"
[ "$(number 56 8)" -eq "$(address_of deleteMe)" ] || fail "destroyFunction is not deleteMe"

relocated=$(sed -n 's/^\s*reloc .*\[\([0-9a-f]*\)\] DIR64$/\1/p' <<<"$headers")
for field in 8 16 24 32 48 56; do
    grep -qx "$(printf '%x' $((record - image_base + field)))" <<<"$relocated" ||
        fail "the pointer at byte $field of exports has no base relocation"
done
echo "exports: the three entry symbols only; the record's layout and pointers as the host reads them"
