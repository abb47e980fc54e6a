#!/usr/bin/env bash
# Strips a 32-bit Windows program or DLL of its symbols and debug sections:
#   tools/pe-strip.sh IN OUT
# The copy keeps IN's link time stamp (strip would put the present time in
# it), so that the same build stripped twice gives the same bytes.
set -euo pipefail
in=${1:?usage: tools/pe-strip.sh IN OUT}
out=${2:?usage: tools/pe-strip.sh IN OUT}
# The PE header's offset is at 0x3c; its time stamp 8 bytes into it.
header=$(od -An -tu4 --endian=little -j 60 -N 4 "$in" | tr -d ' ')
stamp=$(od -An -tu4 --endian=little -j $((header + 8)) -N 4 "$in" | tr -d ' ')
SOURCE_DATE_EPOCH=$stamp i686-w64-mingw32-strip -o "$out" "$in"
