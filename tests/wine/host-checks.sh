#!/usr/bin/env bash
# Runs the Windows checks under Wine on a private display: the test host's
# checks of the DLL, the ADO log query's own, then the log rescan through
# Wine 10's ADO and the test OLE DB provider (real rows).
#   tests/wine/host-checks.sh win64   the 64-bit build in a 64-bit prefix
#   tests/wine/host-checks.sh win32   the 32-bit DLL operators install, in a
#                                     32-bit prefix; exits 77 (skipped) with the
#                                     probe's reason where the machine cannot
#   tests/wine/host-checks.sh ARCH time ROWS
#                                     only the rescan's timing against a bare
#                                     read through ADO (AdoRescanChecks.exe time)
# Each checks program runs its scenarios each in a fresh process of its own.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=${1:-win64}
timing=${2:-}
rows=${3:-10000}
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
# shellcheck source=wine-ado.sh
source "$root/tests/wine/wine-ado.sh"
case "$arch" in
win64) prefix=$root/build/wine pe=x86_64-windows ;;
win32)
    prefix=$root/build/wine32 pe=i386-windows
    if ! answer=$("$root/tests/wine/wine32-probe.sh"); then
        echo "SKIPPED: this machine cannot run the 32-bit DLL: ${answer#no: }"
        exit 77
    fi
    ;;
*)
    echo "usage: host-checks.sh win64 | win32" >&2
    exit 2
    ;;
esac
build=$root/build/$arch

# Runs one checks program. On a loaded machine Wine has been seen to stall a
# program before its first line, and once to end one, freshly after the prefix
# was made, before its first line with no word why. A program that printed
# nothing ran no check: it is run once more, saying so, with Wine's own error
# messages on. A program that stops after it has printed is a failure, never
# run again.
run_checks() {
    local out rc
    out=$(mktemp)
    wine_run "$@" | tee "$out"
    rc=${PIPESTATUS[0]}
    if [ "$rc" -ne 0 ] && [ ! -s "$out" ]; then
        echo "wine-env: $(basename "$1") printed nothing and ended with exit code $rc; once more"
        WINEDEBUG=fixme-all wine_run "$@"
        rc=$?
    fi
    rm -f "$out"
    return "$rc"
}
[ "$timing" = time ] || echo "Checking $build/host/Plugins/BrevlundDXContest.dll ($arch) under Wine"
trap wine_stop EXIT
wine_start "$prefix" "$arch" || exit 1
failed=0
if [ "$timing" = time ]; then
    wine_ado_install "$WINEPREFIX" "$pe" && wine_ado_register "$build/BrevlundTestLogProvider.dll" &&
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msado15=n" \
            wine_run "$build/host/AdoRescanChecks.exe" time "$rows"
    exit
fi
run_checks "$build/host/TestHost.exe" checks || failed=1
run_checks "$build/host/AdoChecks.exe" checks || failed=1
if wine_ado_install "$WINEPREFIX" "$pe" &&
    wine_ado_register "$build/BrevlundTestLogProvider.dll"; then
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msado15=n" \
        run_checks "$build/host/AdoRescanChecks.exe" checks || failed=1
else
    echo "not ok - the rescan through ADO: Wine 10's ADO or the test provider could not be set up"
    failed=1
fi
exit "$failed"
