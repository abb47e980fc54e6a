#!/usr/bin/env bash
# The Windows build of brevlund under Wine: scores the example logs with CR LF
# line ends, checks the example contest's logs against each other, writes the
# report page byte for byte as the Linux build does, and turns SQLite logs and
# missing files away with exit 2.
#   tests/wine/brevlund-checks.sh win64   the 64-bit build of the same sources
#   tests/wine/brevlund-checks.sh win32   the 32-bit brevlund.exe operators get;
#                                         exits 77 (skipped) with the probe's
#                                         reason where the machine cannot
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=${1:-win64}
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
case "$arch" in
win64) prefix=$root/build/wine ;;
win32)
    prefix=$root/build/wine32
    if ! answer=$("$root/tests/wine/wine32-probe.sh"); then
        echo "SKIPPED: this machine cannot run the 32-bit brevlund.exe: ${answer#no: }"
        exit 77
    fi
    ;;
*)
    echo "usage: brevlund-checks.sh win64 | win32" >&2
    exit 2
    ;;
esac
trap wine_stop EXIT
wine_start "$prefix" "$arch" || exit 1
exe="$root/build/$arch/brevlund.exe"
areas="Z:$root/examples/host/Plugins/brevlund.dom"
failed=0
fail() { echo "brevlund-checks: $*" >&2; failed=1; }

out_file="$prefix/brevlund-checks.out"
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
page="$prefix/report.html"
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
