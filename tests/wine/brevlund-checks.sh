#!/usr/bin/env bash
# The Windows build of brevlund under Wine (64-bit, same sources as the 32-bit
# brevlund.exe): scores the example logs with CR LF line ends, and turns
# SQLite logs and missing files away with exit 2.
#   tests/wine/brevlund-checks.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
trap wine_stop EXIT
wine_start "$root/build/wine" || exit 1
exe="$root/build/win64/brevlund.exe"
areas="Z:$root/examples/host/Plugins/brevlund.dom"
failed=0
fail() { echo "brevlund-checks: $*" >&2; failed=1; }

out_file="$root/build/wine/brevlund-checks.out"
expect() { # CODE TEXT -- ARGS...: exit code and a part of standard output and error
    local code=$1 text=$2 out rc=0
    shift 3
    # Into a file: Wine's background processes inherit the descriptors, and a
    # pipe they hold would never end.
    wine_run "$exe" "$@" >"$out_file" 2>&1 </dev/null || rc=$?
    out=$(cat "$out_file")
    [ "$rc" -eq "$code" ] || fail "brevlund $*: exit $rc, expected $code"$'\n'"$out"
    [[ "$out" == *"$text"* ]] || fail "brevlund $*: no \"$text\" in"$'\n'"$out"
}

expect 0 $' Score: 19*12=228\r' -- score "Z:$root/examples/contest.log" --areas "$areas"
expect 0 $'Band\t  QSOs\tPoints\t   OBL\t\r\n  14\t     2' -- score "Z:$root/examples/contest.adi" --areas "$areas"
expect 0 '"score":70}' -- score "Z:$root/examples/contest.adi" --areas "$areas" --json
expect 1 'areas count' -- check-areas "Z:$root/tests/fuzz/corpus/checkareas_fuzz/mixed"
expect 2 'SQLite logs cannot be scored by this Windows build' -- score 'Z:\nowhere\log.db'
expect 2 'cannot read' -- score 'Z:\nowhere\log.adi'
exit "$failed"
