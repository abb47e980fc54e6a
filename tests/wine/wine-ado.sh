# ADO that reads rows, for a Wine prefix: Wine 10's msado15.dll and the test
# OLE DB provider. Wine 8's own ADO (what Debian 12 ships) never loads row data
# into a recordset; Wine 10's does, and its PE build runs inside Wine 8 as a
# native DLL. Source this file (bash), then:
#   wine_ado_fetch ARCH           print the path of Wine 10's msado15.dll for ARCH
#                                 (i386-windows or x86_64-windows), fetching it
#                                 from Debian 13's libwine once per build folder
#   wine_ado_install PREFIX ARCH  put it into the prefix's ADO folder, marked as
#                                 a native DLL
#   wine_ado_register DLL [WINE]  register the provider DLL in the current
#                                 WINEPREFIX (regsvr32), once per prefix; WINE
#                                 is the wine program for the prefix (default
#                                 $WINE_ENV_WINE, else wine)
# Programs that should use it run with WINEDLLOVERRIDES including msado15=n.
# Set WINE_ADO_DIR to keep the download elsewhere than build/wine-ado.
#
# The download uses an apt state folder of its own (sources list naming
# Debian's trixie suite, lists, cache), so the machine's apt setup is untouched.

WINE_ADO_VERSION=10.0~repack-6
WINE_ADO_DIR=${WINE_ADO_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wine-ado}

_wine_ado_say() { echo "wine-ado: $*" >&2; }

# Debian's package architecture for a Wine PE folder name.
_wine_ado_debarch() {
    case "$1" in
    i386-windows) echo i386 ;;
    x86_64-windows) echo amd64 ;;
    *) return 1 ;;
    esac
}

_wine_ado_apt() { # apt-get or apt-cache, then arguments
    local tool=$1 state=$WINE_ADO_DIR/apt
    shift
    "$tool" -q -o Dir::Etc::sourcelist="$state/sources.list" -o Dir::Etc::sourceparts=- \
        -o Dir::State::Lists="$state/lists" -o Dir::State::status="$state/status" \
        -o Dir::Cache="$state/cache" -o APT::Architectures::=amd64 -o APT::Architectures::=i386 \
        -o APT::Sandbox::User=root "$@"
}

wine_ado_fetch() {
    local arch=${1:?wine_ado_fetch needs i386-windows or x86_64-windows} debarch
    if ! debarch=$(_wine_ado_debarch "$arch"); then
        _wine_ado_say "unknown architecture $arch (i386-windows or x86_64-windows)"
        return 1
    fi
    local dll=$WINE_ADO_DIR/$arch/msado15.dll
    if [ -s "$dll" ]; then
        echo "$dll"
        return 0
    fi
    local state=$WINE_ADO_DIR/apt keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$WINE_ADO_DIR/$arch" ||
        return 1
    if [ ! -r "$keyring" ]; then
        _wine_ado_say "cannot fetch Wine 10's ADO: $keyring is missing (package debian-archive-keyring)"
        return 1
    fi
    echo "deb [signed-by=$keyring] http://deb.debian.org/debian trixie main" >"$state/sources.list"
    : >"$state/status"
    _wine_ado_say "fetching Wine 10's msado15.dll ($arch) from Debian 13's libwine (about 100 MB, once)"
    local release=$state/lists/deb.debian.org_debian_dists_trixie_InRelease
    if [ ! -s "$release" ]; then
        # apt-get update answers 0 even when it could fetch nothing: the list decides.
        if ! _wine_ado_apt apt-get update >"$state/update.log" 2>&1 || [ ! -s "$release" ]; then
            _wine_ado_say "cannot read Debian's trixie package lists from deb.debian.org" \
                "(see $state/update.log):"
            grep -E '^(W|E):' "$state/update.log" | tail -n 3 >&2
            return 1
        fi
    fi
    local work=$WINE_ADO_DIR/download.$$
    rm -rf "$work"
    mkdir -p "$work" || return 1
    # The version checked here, else whatever trixie holds now (a point release
    # replaces it there).
    if ! (cd "$work" && _wine_ado_apt apt-get download "libwine:$debarch=$WINE_ADO_VERSION") \
        >"$state/download.log" 2>&1 &&
        ! (cd "$work" && _wine_ado_apt apt-get download "libwine:$debarch") \
            >>"$state/download.log" 2>&1; then
        _wine_ado_say "cannot download libwine:$debarch from trixie (see $state/download.log):"
        grep -E '^(W|E):' "$state/download.log" | tail -n 3 >&2
        rm -rf "$work"
        return 1
    fi
    local deb
    deb=$(ls "$work"/libwine_*.deb 2>/dev/null | head -n 1)
    local triplet=x86_64-linux-gnu
    [ "$debarch" = i386 ] && triplet=i386-linux-gnu
    if ! dpkg-deb --fsys-tarfile "$deb" |
        tar -x -O "./usr/lib/$triplet/wine/$arch/msado15.dll" >"$work/msado15.dll" ||
        [ ! -s "$work/msado15.dll" ]; then
        _wine_ado_say "libwine:$debarch holds no $arch/msado15.dll"
        rm -rf "$work"
        return 1
    fi
    # Moved into place whole, so an interrupted fetch is simply redone.
    mv "$work/msado15.dll" "$dll" && rm -rf "$work" || return 1
    echo "$dll"
}

wine_ado_install() {
    local prefix=${1:?wine_ado_install needs a prefix} arch=${2:?and an architecture} dll
    dll=$(wine_ado_fetch "$arch") || return 1
    # A 64-bit prefix keeps 32-bit COM servers under "Program Files (x86)".
    local folder="$prefix/drive_c/Program Files/Common Files/System/ADO"
    if [ "$arch" = i386-windows ] && [ -d "$prefix/drive_c/Program Files (x86)" ]; then
        folder="$prefix/drive_c/Program Files (x86)/Common Files/System/ADO"
    fi
    mkdir -p "$folder" || return 1
    local target=$folder/msado15.dll
    if [ -e "$target.wine10" ] && cmp -s "$dll" "$target.wine10"; then return 0; fi
    cp "$dll" "$target.tmp" || return 1
    # Wine loads no file that carries its builtin marker as a native DLL.
    if [ "$(dd if="$target.tmp" bs=1 skip=64 count=16 2>/dev/null)" != "Wine builtin DLL" ]; then
        _wine_ado_say "$dll has no builtin marker at 0x40: not the expected file"
        rm -f "$target.tmp"
        return 1
    fi
    printf 'Brevlund test   ' | dd of="$target.tmp" bs=1 seek=64 count=16 conv=notrunc \
        2>/dev/null || return 1
    mv "$target.tmp" "$target" && cp "$dll" "$target.wine10"
}

wine_ado_register() {
    local dll=${1:?wine_ado_register needs the provider DLL}
    local wine=${2:-${WINE_ENV_WINE:-wine}} stamp
    stamp="$WINEPREFIX/.wine-ado-$(basename "$dll").$(stat -c %Y "$dll")"
    [ -e "$stamp" ] && return 0
    if ! "$wine" regsvr32 /s "Z:${dll//\//\\}" </dev/null \
        >/dev/null 2>&1; then
        _wine_ado_say "regsvr32 failed for $dll"
        return 1
    fi
    rm -f "$WINEPREFIX"/.wine-ado-"$(basename "$dll")".*
    touch "$stamp"
}
