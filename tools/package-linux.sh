#!/usr/bin/env bash
# Makes the Linux package of brevlund for operators and sponsors:
#   tools/package-linux.sh BREVLUND VERSION OUTDIR
#     ->  OUTDIR/brevlund-VERSION-linux-x86_64.tar.gz
# holding one folder with brevlund stripped (the build keeps it unstripped for
# debugging), its README, the licence and the third-party notices.
# ./run package calls it with the release build, build/release/brevlund.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: tools/package-linux.sh BREVLUND VERSION OUTDIR"
exe=${1:?$usage}
version=${2:?$usage}
out=${3:?$usage}
name=brevlund-$version-linux-x86_64

[ -f "$exe" ] || { echo "package-linux: no brevlund at $exe" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
strip -o "$stage/$name/brevlund" "$exe"
sed -e "s/@VERSION@/$version/" "$root/docs/brevlund-README.txt" >"$stage/$name/README.txt"
cp "$root/LICENSE" "$root/THIRD-PARTY-NOTICES.txt" "$stage/$name/"
# Owned by root, in name order: the same files make the same listing anywhere.
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner -czf "$out/$name.tar.gz" "$name"
echo "$out/$name.tar.gz"
