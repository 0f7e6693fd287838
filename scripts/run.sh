#!/usr/bin/env bash
# Starts the built clock (the x86_64 build, under wine64). With a working display it runs in
# the foreground until it is closed. Without one it runs on a virtual display for about five
# seconds, leaves a screenshot at BUILD/screenshot.png and is closed through its own close
# path (WM_CLOSE), so that it saves its place and removes its icon.
#   run.sh [BUILD]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
exe="$build/x86_64/app/Vintrel.exe"
probe="$build/x86_64/tests/tools/vintrel_probe.exe"
[ -f "$exe" ] || { echo "run.sh: no program at $exe (make build first)" >&2; exit 1; }
# shellcheck source=wine-env.sh
. "$top/scripts/wine-env.sh"

clock_pid=""
keeper_pid=""
stop_all() {
    if [ -n "$clock_pid" ] && kill -0 "$clock_pid" 2>/dev/null; then
        kill -9 "$clock_pid" 2>/dev/null || true
    fi
    [ -z "$keeper_pid" ] || kill "$keeper_pid" 2>/dev/null || true
    wine_env_stop
}

trap stop_all EXIT
wine_env_start "$build/x86_64" visible
cd "$build/x86_64"

if [ -z "$_xvfb_pid" ]; then
    echo "Vintrel is running on $DISPLAY: click the digits for the File menu, File > Exit ends it."
    "$WINE64" "$exe"
    exit $?
fi

# A virtual display starts afresh (black) when its last client leaves: hold it and paint
# the desktop, so that the screenshot shows the clipped clock over a desktop colour.
xev -root -event property >/dev/null 2>&1 </dev/null &
keeper_pid=$!
convert=/usr/bin/convert
[ -x "$convert" ] || convert="convert-im6.q16"
"$convert" -size 8x8 'xc:#3a6ea5' "$build/x86_64/desktop.png"
display -window root "$build/x86_64/desktop.png" >/dev/null 2>&1 || true

echo "No display: running Vintrel on the virtual display $DISPLAY for 5 seconds."
"$WINE64" "$exe" >"$build/x86_64/run.log" 2>&1 </dev/null &
clock_pid=$!
sleep 5
kill -0 "$clock_pid" 2>/dev/null || { echo "run.sh: the clock ended early" >&2; exit 1; }
import -window root "$build/screenshot.png"

# Close it as the close box would: WM_CLOSE, through the helper when it is built, else Alt+F4
# on the focused clock.
if [ -f "$probe" ]; then
    "$WINE64" "$probe" close >/dev/null 2>&1 </dev/null || true
else
    xdotool key alt+F4
fi
code=""
for _ in $(seq 1 100); do
    if ! kill -0 "$clock_pid" 2>/dev/null; then
        code=0
        wait "$clock_pid" || code=$?
        break
    fi
    sleep 0.1
done
[ -n "$code" ] || { echo "run.sh: the clock did not close within 10 seconds" >&2; exit 1; }
clock_pid=""
echo "Vintrel closed with exit code $code."
echo "Screenshot: $build/screenshot.png"
exit "$code"
