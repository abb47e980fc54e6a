#!/usr/bin/env bash
# Makes the release package for operators:
#   tools/package.sh DLL VERSION OUTDIR   ->  OUTDIR/BrevlundDXContest-VERSION.zip
# holding the DLL and brevlund.exe (the log scorer built beside the DLL), both
# stripped, the example area list, the operator's guide, the licence, the
# third-party notices and the SHA-256 sums of those six. The unstripped files
# stay in the build for debugging. ./run package calls it with the 32-bit DLL.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dll=${1:?usage: tools/package.sh DLL VERSION OUTDIR}
version=${2:?usage: tools/package.sh DLL VERSION OUTDIR}
out=${3:?usage: tools/package.sh DLL VERSION OUTDIR}
name=BrevlundDXContest-$version

[ -f "$dll" ] || { echo "package: no DLL at $dll" >&2; exit 1; }
exe=$(dirname "$dll")/brevlund.exe
[ -f "$exe" ] || { echo "package: no brevlund.exe beside the DLL at $exe" >&2; exit 1; }
command -v zip >/dev/null || { echo "package: zip is not installed" >&2; exit 1; }
command -v i686-w64-mingw32-strip >/dev/null ||
    { echo "package: i686-w64-mingw32-strip is not installed" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
"$root/tools/pe-strip.sh" "$dll" "$stage/$name/BrevlundDXContest.dll"
"$root/tools/pe-strip.sh" "$exe" "$stage/$name/brevlund.exe"
cp "$root/examples/host/Plugins/brevlund.dom" "$stage/$name/brevlund.dom"
# Windows line ends, so that every editor on the operator's machine shows lines.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/docs/OperatorGuide.txt" \
    >"$stage/$name/OperatorGuide.txt"
sed -e 's/$/\r/' "$root/LICENSE" >"$stage/$name/LICENSE.txt"
sed -e 's/$/\r/' "$root/THIRD-PARTY-NOTICES.txt" >"$stage/$name/THIRD-PARTY-NOTICES.txt"
(cd "$stage/$name" &&
    sha256sum BrevlundDXContest.dll brevlund.exe brevlund.dom OperatorGuide.txt LICENSE.txt \
        THIRD-PARTY-NOTICES.txt >SHA256SUMS.txt)
rm -f "$out/$name.zip"
(cd "$stage" && zip -q -X -r "$out/$name.zip" "$name")
echo "$out/$name.zip"
