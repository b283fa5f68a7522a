#!/usr/bin/env bash
# Checks that a plug-in library exports exactly its three entry symbols, the entry functions as code
# and the record as data, and the members of the host's base class: no standard-library template
# instances, no drill code. Usage: exported_symbols.sh LIBRARY. Exits 77 (skipped) without nm.
set -euo pipefail
command -v nm >/dev/null 2>&1 || { echo "SKIP: nm is not installed"; exit 77; }

base='BakkesMod::Plugin::BakkesModPlugin'
expected=$(sort <<EOF_SYMBOLS
B exports
T getPlugin
T deleteMe
T $base::BakkesModPlugin()
T $base::BakkesModPlugin($base const&)
T $base::BakkesModPlugin($base&&)
T $base::~BakkesModPlugin()
T $base::operator=($base const&)
T $base::operator=($base&&)
T $base::onLoad()
T $base::onUnload()
EOF_SYMBOLS
)
# "address type name", the name demangled and possibly containing blanks; data may sit in D or B.
actual=$(nm -D -C --defined-only "$1" | sed -E 's/^[0-9a-fA-F]+ //; s/^D exports$/B exports/' | sort -u)
if [ "$actual" != "$expected" ]; then
    echo "exported symbols differ from the expected set (< expected, > actual):"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
echo "exports: the three entry symbols and the base class's members only"
