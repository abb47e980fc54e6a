#!/usr/bin/env bash
# The 32-bit DLL as a host finds it: its export directory's name and the six
# entry points at their ordinals.
set -uo pipefail
dll=${1:?usage: dll-exports.sh BrevlundDXContest.dll}
dump=$(i686-w64-mingw32-objdump -p "$dll") || exit 1
passed=0 failed=0
report() { # ok?, description
    if [ "$1" = yes ]; then
        echo "ok - $2"; passed=$((passed + 1))
    else
        echo "not ok - $2"; failed=$((failed + 1))
    fi
}
expect() { # description, extended regular expression
    if grep -Eq "$2" <<<"$dump"; then report yes "$1"; else report no "$1"; fi
}
expect "a 32-bit image" '^Magic[[:space:]]+010b'
expect "export directory named BrevlundDXContest.dll" '^Name[[:space:]]+[0-9a-f]+ BrevlundDXContest\.dll$'
expect "ordinal base 1" 'Ordinal Base 1'
# The name table lists ordinal - base: _GrabNumber at 0 is ordinal 1, and so on.
n=0
for name in _GrabNumber _Release _GetScore _AddQSO _Run _GetInfo; do
    expect "$name at ordinal $((n + 1))" "^[[:space:]]+\[[[:space:]]*$n\] $name\$"
    n=$((n + 1))
done
expect "six exports, no more" 'Export Address Table[[:space:]]+00000006'
# The runtime is linked in: the host's Plugins folder needs nothing beside the DLL.
if grep -Eiq 'DLL Name: (libstdc|libgcc|libwinpthread|libssp)' <<<"$dump"; then
    report no "no MinGW runtime DLL needed"
else
    report yes "no MinGW runtime DLL needed"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
