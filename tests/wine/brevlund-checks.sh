#!/usr/bin/env bash
# The Windows build of brevlund under Wine (64-bit, same sources as the 32-bit
# brevlund.exe): scores the example logs with CR LF line ends, checks the
# example contest's logs against each other, writes the report page byte for
# byte as the Linux build does, and turns SQLite logs and missing files away
# with exit 2.
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
expect 0 'brevlund 1.' -- --version
expect 0 'G3DDD             3       5     3' -- check-logs "Z:$root/examples/checklogs" --areas "$areas"
page="$root/build/wine/report.html"
rm -f "$page"
expect 0 'report written to' -- report "Z:$root/examples/contest.log" --areas "$areas" -o "Z:$page"
# The same page as the Linux build writes, where that build is at hand.
linux="$root/build/native/brevlund"
if [ -x "$linux" ]; then
    "$linux" report "$root/examples/contest.log" --areas "$root/examples/host/Plugins/brevlund.dom" \
        -o "$page.linux" >/dev/null 2>&1
    cmp -s "$page" "$page.linux" || fail "report: the Windows build's page differs from the Linux build's"
fi
exit "$failed"
