#!/usr/bin/env bash
# Runs the test host's checks of the real DLL under Wine on a private display.
#   tests/wine/host-checks.sh [TestHost arguments...]   (default: checks)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"
wine_start "$root/build/wine" || exit 1
trap wine_stop EXIT
if [ $# -eq 0 ]; then set -- checks; fi
wine_run "$root/build/win32/host/TestHost.exe" "$@"
