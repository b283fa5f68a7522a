#!/usr/bin/env bash
# The wall check on a tree of its own that breaks each wall once: it must name every break, and
# fail.
set -uo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/runtime/src" "$work/source/Volanko" "$work/platform/posix"
printf '#include "host.h"\n#include <unistd.h>\n#include "arena/common/concat.h"\n#include <vector>\n' >"$work/runtime/src/a.cpp"
printf '#include "Volanko/Volanko.h"\n#include "runtime/host.h"\n' >"$work/source/Volanko/b.cpp"
printf '#include <unistd.h>\n#include "platform/files.h"\n' >"$work/platform/posix/c.cpp"
got="$(bash "$(dirname "$0")/module_walls_test.sh" "$work")"
status=$?
expected='FAIL runtime/src/a.cpp: "host.h" does not name its module
FAIL runtime/src/a.cpp: runtime may not include <unistd.h>
FAIL runtime/src/a.cpp: runtime may not include "arena/common/concat.h"
FAIL source/Volanko/b.cpp: source/Volanko may not include "runtime/host.h"
4 include(s) break a wall'
if [ "$status" -ne 1 ] || [ "$(sort <<<"$got")" != "$(sort <<<"$expected")" ]; then
    printf 'status %d, expected 1\nexpected:\n%s\ngot:\n%s\n' "$status" "$expected" "$got"
    exit 1
fi
