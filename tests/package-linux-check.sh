#!/usr/bin/env bash
# Checks the Linux package: made from the release build's brevlund, it holds
# exactly brevlund as the build's stripped, its README, the licence and the
# notices, and the packaged brevlund runs and says its version.
#   tests/package-linux-check.sh BREVLUND VERSION
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:?usage: tests/package-linux-check.sh BREVLUND VERSION}
version=${2:?usage: tests/package-linux-check.sh BREVLUND VERSION}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() { # CONDITION-EXIT-CODE NAME
    if [ "$1" -eq 0 ]; then echo "ok - $2"; else echo "not ok - $2"; failed=1; fi
}

name=brevlund-$version-linux-x86_64
tarball=$("$root/tools/package-linux.sh" "$exe" "$version" "$work/dist")
check $? "tools/package-linux.sh makes the package"
[ "$tarball" = "$work/dist/$name.tar.gz" ]
check $? "named $name.tar.gz"
tar -C "$work" -xzf "$tarball"
check $? "it unpacks"
dir=$work/$name
listed=$(cd "$dir" 2>/dev/null && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "./LICENSE ./README.txt ./THIRD-PARTY-NOTICES.txt ./brevlund " ]
check $? "exactly brevlund, the README, the licence and the notices ($listed)"
strip -o "$work/stripped" "$exe" && cmp -s "$work/stripped" "$dir/brevlund" &&
    ! cmp -s "$exe" "$dir/brevlund"
check $? "brevlund is the one built, stripped"
[ "$("$dir/brevlund" --version)" = "brevlund $version" ]
check $? "the packaged brevlund says brevlund $version"
cmp -s "$root/LICENSE" "$dir/LICENSE" && cmp -s "$root/THIRD-PARTY-NOTICES.txt" "$dir/THIRD-PARTY-NOTICES.txt"
check $? "the licence and the notices are the repository's"
grep -q "^Version $version " "$dir/README.txt"
check $? "the README names the version"
for command in "brevlund score" "brevlund report" "brevlund check-logs" "brevlund check-areas"; do
    grep -qF "$command" "$dir/README.txt"
    check $? "the README shows $command"
done
exit "$failed"
