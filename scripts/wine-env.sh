# Sourced by the other scripts: a private Wine prefix and X display for one build tree.
#   wine_env_start BUILD_DIR [visible]
# With "visible" and a working $DISPLAY the current display is used; otherwise a virtual
# one (Xvfb) is started. Everything started here is stopped by wine_env_stop.

WINE64=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
WINESERVER=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wineserver64$' || true)
: "${WINE64:=/usr/lib/wine/wine64}"
: "${WINESERVER:=/usr/lib/wine/wineserver64}"
export WINE64 WINESERVER
export WINELOADER="$WINE64"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all

_xvfb_pid=""

_start_xvfb() {
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        _xvfb_pid=$!
        local i
        for i in $(seq 1 50); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$_xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$_xvfb_pid" 2>/dev/null || true
        _xvfb_pid=""
    done
    echo "wine-env: could not start Xvfb" >&2
    return 1
}

# A desktop background with a pattern, so that a clipped window shows what lies behind it.
_paint_root() {
    xsetroot -solid '#3a6ea5' 2>/dev/null || true
}

_make_prefix() {
    local stamp="$WINEPREFIX/.vintrel-ready-2"
    [ -f "$stamp" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
        /d 'Liberation Sans' /f >/dev/null 2>&1
    # There is no window manager on the virtual display: Wine draws captions and frames
    # itself, and does not wait for a manager when windows go away.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$stamp"
}

wine_env_start() {
    local build_dir=$1 mode=${2:-}
    mkdir -p "$build_dir"
    export WINEPREFIX
    WINEPREFIX="$(cd "$build_dir" && pwd)/wineprefix"
    if [ "$mode" = visible ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        :
    else
        _start_xvfb || return 1
        _paint_root
    fi
    _make_prefix
    # One server for the whole run; its output goes nowhere so no pipe is held open.
    if ! "$WINESERVER" -p >/dev/null 2>&1 </dev/null; then
        echo "wine-env: a Wine server for $WINEPREFIX is already running; using it" >&2
    fi
    "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$_xvfb_pid" ]; then
        kill "$_xvfb_pid" 2>/dev/null || true
        wait "$_xvfb_pid" 2>/dev/null || true
        _xvfb_pid=""
    fi
}
