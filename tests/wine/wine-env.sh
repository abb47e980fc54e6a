# Wine test environment: a private prefix and a private Xvfb display.
# Source this file (bash), then:
#   wine_start DIR [ARCH]         prefix at DIR/wineprefix, Xvfb on a free display;
#                                 ARCH win64 (the default) or win32
#   wine_run EXE [ARGS...]        run a Windows program; returns its exit code
#   wine_screenshot FILE.png      PNG of the whole virtual screen
#   wine_stop                     end this prefix's wineserver and our Xvfb
# Typical use:  wine_start build/wine && trap wine_stop EXIT
#
# ./run installs what this needs (Wine, Xvfb, xwd and netpbm; wine32:i386
# where it can); nothing here installs anything. The 64-bit prefix runs the
# 64-bit build of the plug-in's sources and needs no i386 packages. The 32-bit
# prefix runs the DLL operators install; whether the machine can run it at all
# is for tests/wine/wine32-probe.sh to say, since some sandboxed kernels
# execute no 32-bit x86 code. Nothing here changes the caller's shell options.

WINE_ENV_WINE64=/usr/lib/wine/wine64
WINE_ENV_SERVER64=/usr/lib/wine/wineserver64
# The 32-bit loader and server, from wine32:i386.
WINE_ENV_WINE32=/usr/lib/wine/wine
WINE_ENV_SERVER32=/usr/lib/wine/wineserver32
# The loader and server of the running prefix, set by wine_start.
WINE_ENV_WINE=$WINE_ENV_WINE64
WINE_ENV_SERVER=$WINE_ENV_SERVER64

# State of the running environment (empty when stopped).
WINE_ENV_XVFB_PID=""

_wine_env_say() { echo "wine-env: $*" >&2; }

# Lowest display number from $1 upward with neither a lock file nor a socket.
_wine_env_free_display() {
    local n=$1
    while [ "$n" -lt 400 ]; do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
        n=$((n + 1))
    done
    return 1
}

# Starts Xvfb on the first display from :91 that it can claim. Another run may
# grab the same number between the check and the start, so a server that dies
# at once just moves the search on.
_wine_env_start_xvfb() {
    local log=$1 n=91 pid i
    while n=$(_wine_env_free_display "$n"); do
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset </dev/null >"$log" 2>&1 &
        pid=$!
        for i in $(seq 100); do
            [ -S "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if kill -0 "$pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
            WINE_ENV_XVFB_PID=$pid
            export DISPLAY=":$n"
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        n=$((n + 1))
    done
    _wine_env_say "no free X display found"
    return 1
}

wine_start() {
    local dir=${1:?wine_start needs a directory} arch=${2:-win64}
    if [ -n "$WINE_ENV_XVFB_PID" ]; then return 0; fi
    case "$arch" in
    win64)
        WINE_ENV_WINE=$WINE_ENV_WINE64
        WINE_ENV_SERVER=$WINE_ENV_SERVER64
        ;;
    win32)
        WINE_ENV_WINE=$WINE_ENV_WINE32
        WINE_ENV_SERVER=$WINE_ENV_SERVER32
        ;;
    *)
        _wine_env_say "wine_start: unknown architecture $arch"
        return 1
        ;;
    esac
    mkdir -p "$dir" || return 1
    dir=$(cd "$dir" && pwd) || return 1

    export WINEPREFIX="$dir/wineprefix"
    export WINEARCH=$arch
    export WINEDEBUG=-all
    export WINESERVER="$WINE_ENV_SERVER"
    # No prompts to download Mono or Gecko.
    export WINEDLLOVERRIDES="mscoree=d;mshtml=d"

    _wine_env_start_xvfb "$dir/xvfb.log" || return 1
    _wine_env_say "Xvfb on $DISPLAY (pid $WINE_ENV_XVFB_PID), prefix $WINEPREFIX"

    # The marker is written only after a complete first boot, so an interrupted
    # one is redone instead of leaving a half-made prefix in use.
    if [ ! -e "$WINEPREFIX/.wine-env-ready" ]; then
        _wine_env_say "creating the $arch prefix (about a minute)"
        rm -rf "$WINEPREFIX"
        # Wine's background processes inherit these descriptors: keep them off
        # the caller's stdout, or a pipe reading it would stay open.
        if ! "$WINE_ENV_WINE" wineboot -i </dev/null >>"$dir/wineboot.log" 2>&1; then
            _wine_env_say "wineboot failed, see $dir/wineboot.log"
            return 1
        fi
        # A crash ends the program at once instead of waiting in a debugger.
        "$WINE_ENV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d '' /f </dev/null >>"$dir/wineboot.log" 2>&1 || true
        # Without a window manager Wine draws the frames and captions itself.
        "$WINE_ENV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            </dev/null >>"$dir/wineboot.log" 2>&1 || true
        "$WINE_ENV_SERVER" -w </dev/null >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.wine-env-ready" || return 1
    fi
    # One persistent server for the whole run saves starting it per program.
    "$WINE_ENV_SERVER" -p </dev/null >/dev/null 2>&1 || true
    return 0
}

wine_run() {
    local exe=${1:?wine_run needs a program}
    shift
    if [ -z "${WINEPREFIX:-}" ] || [ -z "$WINE_ENV_XVFB_PID" ]; then
        _wine_env_say "wine_run before wine_start"
        return 1
    fi
    local rc=0
    timeout --kill-after=10 "${WINE_TIMEOUT:-240}" "$WINE_ENV_WINE" "$exe" "$@" || rc=$?
    [ "$rc" -ne 124 ] || _wine_env_say "timed out after ${WINE_TIMEOUT:-240} s: $exe"
    return "$rc"
}

wine_screenshot() { # FILE.png [WIDTH HEIGHT]: the screen, or its top-left corner
    local file=${1:?wine_screenshot needs a file name} width=${2:-} height=${3:-}
    local cut=(cat)
    [ -n "$height" ] && cut=(pnmcut 0 0 "$width" "$height")
    if [ -z "$WINE_ENV_XVFB_PID" ]; then
        _wine_env_say "wine_screenshot before wine_start"
        return 1
    fi
    if ! (set -o pipefail; xwd -root -silent -display "$DISPLAY" | xwdtopnm 2>/dev/null |
        "${cut[@]}" | pnmtopng 2>/dev/null) >"$file"; then
        _wine_env_say "screenshot failed: $file"
        rm -f "$file"
        return 1
    fi
}

wine_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        "$WINE_ENV_SERVER" -k </dev/null >/dev/null 2>&1 || true
        # -k only asks; wait so the prefix is quiet before anyone removes it.
        timeout 10 "$WINE_ENV_SERVER" -w </dev/null >/dev/null 2>&1 || true
    fi
    local pid=$WINE_ENV_XVFB_PID
    WINE_ENV_XVFB_PID=""
    [ -n "$pid" ] || return 0
    # Only signal the pid if it is still our Xvfb and not a reused number.
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
        kill "$pid" 2>/dev/null || true
        local i
        for i in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
    return 0
}
