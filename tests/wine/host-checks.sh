#!/usr/bin/env bash
# Runs the Windows checks under Wine on a private display: the test host's
# checks of the DLL, then the ADO log query's own.
#   tests/wine/host-checks.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
trap wine_stop EXIT
wine_start "$root/build/wine" || exit 1
failed=0
wine_run "$root/build/win64/host/TestHost.exe" checks || failed=1
wine_run "$root/build/win64/host/AdoChecks.exe" || failed=1
exit "$failed"
