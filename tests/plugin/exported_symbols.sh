#!/usr/bin/env bash
# Checks that a plug-in library exports exactly its three entry symbols and the members of the
# host's base class, and nothing else (no standard-library template instances, no drill code).
# Usage: exported_symbols.sh LIBRARY. Exits 77 (skipped) when nm is not installed.
set -euo pipefail
library=$1

if ! command -v nm >/dev/null 2>&1; then
    echo "SKIP: nm is not installed"
    exit 77
fi

base='BakkesMod::Plugin::BakkesModPlugin'
expected=$(sort -u <<EOF_SYMBOLS
exports
getPlugin
deleteMe
$base::BakkesModPlugin()
$base::BakkesModPlugin($base const&)
$base::BakkesModPlugin($base&&)
$base::~BakkesModPlugin()
$base::operator=($base const&)
$base::operator=($base&&)
$base::onLoad()
$base::onUnload()
EOF_SYMBOLS
)

# "address type name", the name demangled and possibly containing blanks.
listing=$(nm -D -C --defined-only "$library")
actual=$(sed -E 's/^[0-9a-fA-F]+ [A-Za-z] //' <<<"$listing" | sort -u)

status=0
if [ "$actual" != "$expected" ]; then
    echo "exported symbols differ from the expected set (< expected, > actual):"
    diff <(echo "$expected") <(echo "$actual") || true
    status=1
fi

# The entry functions are code and the record is data, all three under their plain names.
for entry in 'T getPlugin' 'T deleteMe' '[DB] exports'; do
    if ! grep -Eq "^[0-9a-fA-F]+ $entry\$" <<<"$listing"; then
        echo "missing or of the wrong kind: $entry"
        status=1
    fi
done

if [ "$status" -eq 0 ]; then
    echo "exports: the three entry symbols and the base class's members only"
fi
exit "$status"
