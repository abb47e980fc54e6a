#!/usr/bin/env bash
# Runs the test host's checks of the DLL under Wine on a private display.
#   tests/wine/host-checks.sh [TestHost arguments...]   (default: checks)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
trap wine_stop EXIT
wine_start "$root/build/wine" || exit 1
if [ $# -eq 0 ]; then set -- checks; fi
wine_run "$root/build/win64/host/TestHost.exe" "$@"
