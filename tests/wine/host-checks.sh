#!/usr/bin/env bash
# Runs the Windows checks under Wine on a private display: the test host's
# checks of the DLL, the ADO log query's own, then the log rescan through
# Wine 10's ADO and the test OLE DB provider (real rows).
#   tests/wine/host-checks.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
# shellcheck source=wine-ado.sh
source "$root/tests/wine/wine-ado.sh"
trap wine_stop EXIT
wine_start "$root/build/wine" || exit 1
failed=0
wine_run "$root/build/win64/host/TestHost.exe" checks || failed=1
wine_run "$root/build/win64/host/AdoChecks.exe" || failed=1
if wine_ado_install "$WINEPREFIX" x86_64-windows &&
    wine_ado_register "$root/build/win64/BrevlundTestLogProvider.dll"; then
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msado15=n" \
        wine_run "$root/build/win64/host/AdoRescanChecks.exe" checks || failed=1
else
    echo "not ok - the rescan through ADO: Wine 10's ADO or the test provider could not be set up"
    failed=1
fi
exit "$failed"
