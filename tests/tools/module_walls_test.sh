#!/usr/bin/env bash
# The walls between the modules, read off the includes: each names its module, each module
# includes only what it may, and only platform/ includes a system's own headers. Given a folder
# instead of the project, it checks that folder's tree (the test of this test does so).
set -euo pipefail
cd "$1"
failures=0
fail() {
    printf 'FAIL %s\n' "$1"
    failures=$((failures + 1))
}

# module folder | what its quoted includes may name | what of the system it may include
walls='host/sdk|bakkesmod|
source/Volanko|bakkesmod Volanko|
platform|platform|*
runtime|runtime platform bakkesmod|nlohmann/json.hpp
sim|sim runtime bakkesmod|
arena|arena sim runtime platform bakkesmod|CLI/CLI.hpp nlohmann/json.hpp sanitizer/lsan_interface.h
tests|tests arena sim runtime platform bakkesmod Volanko|*
bench|bench runtime platform bakkesmod Volanko|*
fuzz|fuzz arena sim runtime platform bakkesmod|*'

while IFS='|' read -r folder quoted system; do
    [ -d "$folder" ] || continue
    while IFS= read -r line; do
        file="${line%%:*}"
        header="${line#*:}"
        header="${header#*#include }"
        case "$header" in
        \"*)
            name="${header#\"}"
            name="${name%%\"*}"
            module="${name%%/*}"
            if [ "$module" = "$name" ]; then
                fail "$file: \"$name\" does not name its module"
            elif ! [[ " $quoted " == *" $module "* ]]; then
                fail "$file: $folder may not include \"$name\""
            fi
            ;;
        \<*)
            name="${header#<}"
            name="${name%%>*}"
            # The standard library's headers have neither a folder nor an extension.
            if [[ "$name" == */* || "$name" == *.* ]] && [ "$system" != '*' ] &&
                ! [[ " $system " == *" $name "* ]]; then
                fail "$file: $folder may not include <$name>"
            fi
            ;;
        esac
    done < <(grep -rHE '^\s*#\s*include\s' --include='*.h' --include='*.hpp' --include='*.cpp' "$folder" || true)
done <<<"$walls"

if [ "$failures" -gt 0 ]; then
    printf '%d include(s) break a wall\n' "$failures"
    exit 1
fi
echo "every include names its module and stays within its walls"
