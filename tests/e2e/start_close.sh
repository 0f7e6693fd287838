#!/usr/bin/env bash
# Starts the built clock, checks its window and autostart entry, closes it with WM_CLOSE and
# checks the exit code and the saved window rectangle.
#   start_close.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init start_close "$1" "$2"

set_wp $TEST_RECT
clock_start
# A loader works only with the C library of its own build: each C library the clock's process
# maps lies beside a loader it maps.
libc_beside_loader() {
    awk '$6 ~ /\/ld-linux[^\/]*[.]so/ { sub(/\/[^\/]*$/, "", $6); loaders[$6] = 1 }
        $6 ~ /\/libc[.]so[.]6$/ { sub(/\/[^\/]*$/, "", $6); libcs[$6] = 1 }
        END { n = 0; for (d in libcs) { n++; if (!(d in loaders)) exit 1 } exit n == 0 }' \
        "/proc/$CLOCK_PID/maps"
}
libc_beside_loader || fail "the clock's C library is not its loader's: $(awk \
    '$6 ~ /ld-linux|libc[.]so/ { print $6 }' "/proc/$CLOCK_PID/maps" | sort -u | tr '\n' ' ')"
note "window: $win_left $win_top $win_right $win_bottom, style $style, ex-style $exstyle"
[ "$((style & 0x10000000))" != 0 ] || fail "the window is not visible (style $style)"
[ "$((exstyle & 0x88))" = $((0x88)) ] || fail "the window is not topmost tool window ($exstyle)"
[ "$win_left $win_top $win_right $win_bottom" = "$TEST_RECT" ] ||
    fail "the window does not stand at the saved rectangle $TEST_RECT"

run_value_written() {
    [ -n "$(run_value || true)" ]
}
wait_for 5 run_value_written || fail "no Run value Vintrel"
expected=$("$WINE64" winepath -w "$EXE" 2>/dev/null | tr -d '\r')
actual=$(run_value | tr -d '"')
[ "${actual,,}" = "${expected,,}" ] || fail "Run value is '$actual', expected '$expected'"

# Move the window so that the rectangle saved on close is one the program did not read.
probe move 420 330 230 120 | grep found=1 >/dev/null || fail "cannot move the window"
wait_for 3 eval 'clock_info; [ "$win_left $win_top $win_right $win_bottom" = "420 330 650 450" ]' ||
    fail "the window did not move"
clock_hwnd=$hwnd
probe close | grep found=1 >/dev/null || fail "no window to close"
last="$win_left $win_top $win_right $win_bottom"
clock_expect_exit
[ "$(probe gone $((5000 * SLOW)))" = gone=1 ] || fail "the window is still there after the process ended"
[ "$(reg_wp)" = "$last" ] || fail "WP is '$(reg_wp)', expected '$last'"
[ "$(probe tray "$clock_hwnd")" = "tray=0" ] || fail "the tray icon is still there"
