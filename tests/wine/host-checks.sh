#!/usr/bin/env bash
# Runs the Windows checks under Wine on a private display: the test host's
# checks of the DLL, then the ADO log query's own.
#   tests/wine/host-checks.sh win64   the 64-bit build in a 64-bit prefix
#   tests/wine/host-checks.sh win32   the 32-bit DLL operators install, in a
#                                     32-bit prefix; exits 77 (skipped) with the
#                                     probe's reason where the machine cannot
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
echo "Checking $build/host/Plugins/BrevlundDXContest.dll ($arch) under Wine"
trap wine_stop EXIT
wine_start "$prefix" "$arch" || exit 1
failed=0
wine_run "$build/host/TestHost.exe" checks || failed=1
wine_run "$build/host/AdoChecks.exe" || failed=1
exit "$failed"
