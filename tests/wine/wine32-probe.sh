#!/usr/bin/env bash
# Can this machine run the 32-bit DLL? Looks for 32-bit Wine (./run installs
# it where it can), boots a 32-bit prefix under build/wine32 and runs the win32
# preset's smallest program in it. It installs nothing.
#   tests/wine/wine32-probe.sh      prints "yes" or "no: REASON"; exit 0 or 1
# Some sandboxed kernels execute no 32-bit x86 code: then the answer is no, and
# the 32-bit checks are skipped with that reason instead of passing.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=wine-env.sh
source "$root/tests/wine/wine-env.sh"

no() {
    echo "no: $*"
    exit 1
}

probe=$root/build/win32/host/WineProbe.exe
[ -f "$probe" ] || no "$probe is missing; build the win32 preset first"
dpkg --print-foreign-architectures | grep -qx i386 ||
    no "the i386 architecture is not added to dpkg (./run adds it where it can)"
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" ||
    no "wine32:i386 is not installed (./run installs it where it can)"
[ -x "$WINE_ENV_WINE32" ] || no "$WINE_ENV_WINE32 is missing"
# The loader is an i386 ELF program: a kernel without 32-bit support refuses it.
if ! reason=$("$WINE_ENV_WINE32" --version 2>&1); then
    no "the kernel runs no 32-bit x86 code ($WINE_ENV_WINE32: ${reason##*: })"
fi
trap wine_stop EXIT
wine_start "$root/build/wine32" win32 2>/dev/null ||
    no "the 32-bit prefix does not boot (see $root/build/wine32/wineboot.log)"
said=$(WINE_TIMEOUT=60 wine_run "$probe" 2>/dev/null | tr -d '\r')
rc=$?
[ "$rc" -eq 0 ] || no "WineProbe.exe ended with code $rc${said:+ ($said)}"
[ "$said" = "32-bit Windows code runs" ] || no "WineProbe.exe said \"$said\", not 32-bit"
echo yes
