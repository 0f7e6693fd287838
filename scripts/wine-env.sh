# Sourced by the other scripts: a private Wine prefix and X display for one build tree.
#   wine_env_start BUILD_DIR [visible]
# With "visible" and a working $DISPLAY the current display is used; otherwise a virtual
# one (Xvfb) is started. Everything started here is stopped by wine_env_stop.
#   wine32_use
# before wine_env_start makes the prefix one that also runs 32-bit programs, through the
# private 32-bit half of Wine (scripts/wine32.sh); $WINE32 then starts a 32-bit program.
#   wine_env_hold PROBE
# after wine_env_start keeps the prefix's desktop and shell up for the whole run.

WINE64=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
WINESERVER=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wineserver64$' || true)
: "${WINE64:=/usr/lib/wine/wine64}"
: "${WINESERVER:=/usr/lib/wine/wineserver64}"
export WINE64 WINESERVER
export WINELOADER="$WINE64"
export WINEDLLOVERRIDES="mscoree,mshtml="
# VINTREL_WINEDEBUG sets Wine's debug channels for a diagnosis (the helpers' error output keeps them).
export WINEDEBUG=${VINTREL_WINEDEBUG:--all}

_xvfb_pid=""
_session_pid=""
_wine_env_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINE32_TREE=""

# Xvfb picks a free display itself and names it (-displayfd): two runs on one machine never
# share a screen.
_start_xvfb() {
    local fifo n i
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    _xvfb_pid=$!
    n=$(timeout 10 head -n 1 "$fifo" || true)
    rm -f "$fifo"
    if [ -n "$n" ]; then
        for i in $(seq 1 50); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
    fi
    kill "$_xvfb_pid" 2>/dev/null || true
    _xvfb_pid=""
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
    if [ -n "$WINE32_TREE" ]; then
        _make_prefix32_template || return 1
        cp -a "$WINE32_TREE.prefix" "$WINEPREFIX"
        return 0
    fi
    _new_prefix "$WINEPREFIX"
}

_new_prefix() {
    mkdir -p "$1"
    WINEPREFIX=$1 "$WINE64" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$1 "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial \
        /t REG_SZ /d 'Liberation Sans' /f >/dev/null 2>&1
    # There is no window manager on the virtual display: Wine draws captions and frames
    # itself, and does not wait for a manager when windows go away.
    WINEPREFIX=$1 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ \
        /d N /f >/dev/null 2>&1
    WINEPREFIX=$1 "$WINESERVER" -w
    touch "$1/.vintrel-ready-2"
}

# A prefix whose syswow64 holds the 32-bit DLLs, made once per machine beside the private
# Wine and copied for each build tree (its wineboot runs 32-bit setup steps, which take a
# few minutes under emulation).
_make_prefix32_template() {
    local template="$WINE32_TREE.prefix" part="$WINE32_TREE.prefix.part"
    [ -f "$template/.vintrel-ready-2" ] && return 0
    echo "wine-env: making the Wine prefix for 32-bit programs (once per machine)"
    rm -rf "$part"
    _new_prefix "$part"
    [ -f "$part/drive_c/windows/syswow64/kernel32.dll" ] ||
        { echo "wine-env: step '32-bit prefix setup' failed: no 32-bit DLLs in $part" >&2; return 1; }
    rm -rf "$template"
    mv "$part" "$template"
}

# Wineboot starts what the Run key lists whenever a prefix session starts: a clock left
# there by an earlier run would stand beside the one under test. Edited in the registry
# file, before any Wine process runs.
_clear_run_value() {
    local reg="$WINEPREFIX/user.reg"
    [ -f "$reg" ] || return 0
    awk '/^\[/ { run = ($0 ~ /^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\]/) }
        !(run && /^"Vintrel"=/)' "$reg" >"$reg.new" && mv "$reg.new" "$reg"
}

# wine32_use: programs of the next wine_env_start may be 32-bit ones (see the top). The
# 64-bit Wine programs of that run (wineboot, msiexec, reg, the probe) use the private
# tree's copy of wine64, which can start 32-bit programs.
wine32_use() {
    WINE32_TREE=$("$_wine_env_scripts/wine32.sh" --print) || return 1
    export WINEDLLPATH="$WINE32_TREE/usr/lib/i386-linux-gnu/wine"
    export WINE64="$WINE32_TREE/usr/lib/wine/wine64"
    export WINESERVER="$WINE32_TREE/usr/lib/wine/wineserver64"
    export WINELOADER="$WINE64"
    export WINE32="$WINE32_TREE/usr/lib/wine/wine"
    VINTREL_WINE32_MODE=$(wine32_mode) || return 1
    export VINTREL_WINE32_MODE
}

# native when this kernel runs the 32-bit Wine loader, qemu otherwise; VINTREL_WINE32=qemu
# (or native) forces the choice.
wine32_mode() {
    case ${VINTREL_WINE32:-} in
    qemu | native) echo "$VINTREL_WINE32" ;;
    "")
        if VINTREL_WINE32_MODE=native "$WINE32" --version >/dev/null 2>&1; then
            echo native
        else
            echo qemu
        fi
        ;;
    *)
        echo "wine-env: VINTREL_WINE32 must be qemu or native, not '$VINTREL_WINE32'" >&2
        return 1
        ;;
    esac
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
    _make_prefix || return 1
    _clear_run_value
    # One server for the whole run; its output goes nowhere so no pipe is held open.
    if ! "$WINESERVER" -p >/dev/null 2>&1 </dev/null; then
        echo "wine-env: a Wine server for $WINEPREFIX is already running; using it" >&2
    fi
    "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# wine_env_hold PROBE: Wine closes a desktop, and ends its shell (explorer), a second after the
# last program on it has gone. Between test programs that happens all the time: each program
# then starts a new shell, ctest waits for that shell to end (it inherits the test's output),
# and the next program starts while Wine tears the last desktop down, when user32 can find no
# desktop and a program fails as it starts. The probe's session stays on the desktop until
# wine_env_stop; this waits (bounded) for the shell's taskbar to be there.
wine_env_hold() {
    local out="$WINEPREFIX.session" i
    rm -f "$out"
    "$WINE64" "$1" session 60000 >"$out" 2>&1 </dev/null &
    _session_pid=$!
    for i in $(seq 1 700); do
        grep -q '^session=' "$out" 2>/dev/null && break
        kill -0 "$_session_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^session=1' "$out" 2>/dev/null && return 0
    echo "wine-env: the desktop's shell did not start in $WINEPREFIX: $(cat "$out" 2>/dev/null)" >&2
    return 1
}

wine_env_stop() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$_session_pid" ]; then
        kill "$_session_pid" 2>/dev/null || true
        wait "$_session_pid" 2>/dev/null || true
        _session_pid=""
    fi
    if [ -n "$_xvfb_pid" ]; then
        kill "$_xvfb_pid" 2>/dev/null || true
        wait "$_xvfb_pid" 2>/dev/null || true
        _xvfb_pid=""
    fi
}
