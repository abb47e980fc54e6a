#!/usr/bin/env bash
# Checks the release package: made from the 32-bit DLL, it holds exactly the
# DLL and brevlund.exe as the build's stripped, the example area list, the
# guide, the licence, the third-party notices and their SHA-256 sums, the sums
# hold, and the guide names every message the plug-in can show and says how to
# score a log with brevlund.exe.
#   tests/package-check.sh DLL VERSION
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dll=${1:?usage: tests/package-check.sh DLL VERSION}
version=${2:?usage: tests/package-check.sh DLL VERSION}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() { # CONDITION-EXIT-CODE NAME
    if [ "$1" -eq 0 ]; then echo "ok - $2"; else echo "not ok - $2"; failed=1; fi
}

zipfile=$("$root/tools/package.sh" "$dll" "$version" "$work/dist")
check $? "tools/package.sh makes the package"
[ "$zipfile" = "$work/dist/BrevlundDXContest-$version.zip" ]
check $? "named BrevlundDXContest-$version.zip"
(cd "$work" && unzip -q "$zipfile")
check $? "it unpacks"
dir=$work/BrevlundDXContest-$version
listed=$(cd "$dir" 2>/dev/null && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "./BrevlundDXContest.dll ./LICENSE.txt ./OperatorGuide.txt ./SHA256SUMS.txt ./THIRD-PARTY-NOTICES.txt ./brevlund.dom ./brevlund.exe " ]
check $? "exactly the DLL, brevlund.exe, the area list, the guide, the licence, the notices and the sums ($listed)"
# Stripped copies of the files built, which stay as they are for debugging.
for file in BrevlundDXContest.dll brevlund.exe; do
    "$root/tools/pe-strip.sh" "$(dirname "$dll")/$file" "$work/$file" &&
        cmp -s "$work/$file" "$dir/$file" && ! cmp -s "$(dirname "$dll")/$file" "$dir/$file"
    check $? "$file is the one built, stripped"
done
"$root/tests/dll-exports.sh" "$dir/BrevlundDXContest.dll" >/dev/null
check $? "the packaged DLL is 32-bit with its six exports at their ordinals"
i686-w64-mingw32-objdump -f "$dir/brevlund.exe" | grep -q 'file format pei-i386'
check $? "the packaged brevlund.exe is 32-bit"
(cd "$dir" && sha256sum --quiet -c SHA256SUMS.txt)
check $? "the SHA-256 sums hold"
[ "$(wc -l <"$dir/SHA256SUMS.txt")" -eq 6 ]
check $? "one sum for each of the other six files"
for pair in LICENSE.txt=LICENSE THIRD-PARTY-NOTICES.txt=THIRD-PARTY-NOTICES.txt; do
    sed 's/$/\r/' "$root/${pair#*=}" | cmp -s - "$dir/${pair%=*}"
    check $? "${pair%=*} is the repository's ${pair#*=} with CR LF line ends"
done
guide=$(tr -d '\r' <"$dir/OperatorGuide.txt")
grep -q "^Version $version\$" <<<"$guide"
check $? "the guide names the version"
for section in "INSTALLING" "THE AREA LIST" "WHERE THE PLACEMENT IS KEPT" "MESSAGES AND WHAT TO DO" \
    "HKEY_CURRENT_USER\\Software\\" "NAME=VALUE" "SCORING A LOG WITH BREVLUND.EXE" \
    "brevlund.exe score" "brevlund.exe check-areas" "--exchange-tokens" "not a log" \
    "BEFORE YOU SEND THE LOG" "--check"; do
    grep -qF -- "$section" <<<"$guide"
    check $? "the guide covers: $section"
done
# Every text the plug-in can show or report, as the code writes it.
for message in "Missing Connection or ConnectionString." \
    "LogQuery: the host's log connection is not an ADO connection object" \
    "LogQuery: Dataset not open" "Database error 0x" "is not a valid integer value" \
    "Could not convert variant of type (Null) into type (Integer)" \
    "Invalid data type for '" "Failed to get data for '" "Failed to open key '" \
    "Failed to create key '" "Failed to set data for '" "String list does not allow duplicates" \
    "Unexpected failure" "Cannot create the statistics window" \
    "Cannot create the statistics window's controls" "Cannot create the multipliers window" \
    "Cannot create the multipliers window's controls" "Cannot register the window class"; do
    grep -qF "$message" <<<"$guide"
    check $? "the guide explains \"$message\""
done
grep -q '=' "$dir/brevlund.dom"
check $? "the example area list names areas"
exit "$failed"
