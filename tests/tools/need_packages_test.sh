#!/usr/bin/env bash
# tools/need-packages against lists of its own: what it picks for each scope, what it says and does
# when something is missing and it is not root, and that it changes nothing then.
set -euo pipefail
tool="$1/tools/need-packages"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/tools"
cp "$tool" "$work/tools/"
failures=0
expect() { # what, expected, got
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}
# dpkg-query stand-in: bash and coreutils are installed, nothing else.
mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for last; do :; done
case "$last" in bash|coreutils) printf 'install ok installed' ;; *) exit 1 ;; esac
STUB
chmod +x "$work/bin/dpkg-query"
# apt-get stand-in that records that it ran: it must not, when not root.
printf '#!/bin/sh\ntouch "%s/apt-ran"\n' "$work" >"$work/bin/apt-get"
chmod +x "$work/bin/apt-get"

run() { # scope, as: what the tool printed to standard error, then its status
    local status=0
    PATH="$work/bin:$PATH" "${as[@]}" bash "$work/tools/need-packages" "$@" >"$work/out" 2>"$work/err" || status=$?
    printf '%s|%s' "$(cat "$work/out" "$work/err")" "$status"
}
if [ "$(id -u)" -eq 0 ]; then
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 755 "$work" "$work/tools" "$work/bin"
    chmod 644 "$work/tools/need-packages"
else
    as=()
fi

cat >"$work/tools/packages" <<'LIST'
# comment lines and blank ones are skipped

bash        play   # a comment after the kind
coreutils   test
LIST
expect "all installed: play" "|0" "$(run play)"
expect "all installed: test" "|0" "$(run test)"

cat >"$work/tools/packages" <<'LIST'
bash          play
no-such-one   play
coreutils     test
other-one     test
LIST
expect "missing, play only" "tools/need-packages: missing Debian packages: no-such-one
Install them, then run this again:
    sudo sh -c 'apt-get update -q && apt-get install -y -q --no-install-recommends no-such-one'|1" "$(run play)"
expect "missing, test takes play's too" "tools/need-packages: missing Debian packages: no-such-one other-one
Install them, then run this again:
    sudo sh -c 'apt-get update -q && apt-get install -y -q --no-install-recommends no-such-one other-one'|1" "$(run test)"
expect "nothing installed when not root" "no" "$([ -e "$work/apt-ran" ] && echo yes || echo no)"
expect "an unknown scope" "usage: tools/need-packages play|test|2" "$(run everything)"

echo "$(( 6 - failures )) passed, $failures failed"
[ "$failures" -eq 0 ]
