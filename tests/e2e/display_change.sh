#!/usr/bin/env bash
# The screen shrinks under the running clock, as when a laptop leaves its dock or a projector
# takes the display. A clock the smaller screen still shows stays where it is; one it no longer
# shows comes back onto it within two seconds, in transparent and in framed mode, and keeps that
# place when the screen grows again. Such a move is saved only by the next close.
#   display_change.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init display_change "$1" "$2"
virtual_desktop 1920x1080

MODE_PID=""
OUT_OF_SIGHT="1650 900 1860 1010"

# Another program sets the mode and holds it a while, as the clock is looked at (Wine keeps the
# mode after it, since the clock runs on; grow_screen puts it back).
shrink_screen() {
    "$WINE64" "$PROBE" mode 1024 768 4000 >"$ART/mode.log" 2>&1 </dev/null &
    MODE_PID=$!
    wait_for 5 grep -q '^changed=1' "$ART/mode.log" ||
        fail "the display mode did not change: $(tr -d '\r' <"$ART/mode.log")"
}

grow_screen() {
    wait "$MODE_PID" || true
    probe mode 1920 1080 0 | grep -q '^changed=1' || fail "the display mode did not go back"
}

place() {
    clock_info
    echo "$win_left $win_top $win_right $win_bottom"
}

on_small_screen() {
    clock_info
    [ "$win_left" -ge 0 ] && [ "$win_top" -ge 0 ] && [ "$win_right" -le 1024 ] &&
        [ "$win_bottom" -le 768 ]
}

# move_out_of_sight: where the smaller screen will not reach.
move_out_of_sight() {
    set -- $OUT_OF_SIGHT
    probe move "$1" "$2" $(($3 - $1)) $(($4 - $2)) >/dev/null
    [ "$(place)" = "$OUT_OF_SIGHT" ] || fail "the clock could not be moved to $OUT_OF_SIGHT"
}

# comes_back MODE: the shrunk screen brings the clock into sight in the mode it was in.
comes_back() {
    move_out_of_sight
    shrink_screen
    wait_for 2 on_small_screen || fail "$1 clock still at $(place) on the 1024x768 screen"
    shot "$1-after-shrink"
    local moved
    moved=$(place)
    note "$1: on the 1024x768 screen at $moved"
    [ "$1" = transparent ] && { clock_clipped || fail "the clock left transparent mode"; }
    [ "$1" = framed ] && { clock_framed || fail "the clock left framed mode"; }
    grow_screen
    sleep 2
    [ "$(place)" = "$moved" ] || fail "$1 clock moved to $(place) when the screen grew again"
}

set_wp 400 300 610 410
clock_start
wait_for 5 clock_clipped || fail "the clock did not clip its window"
shrink_screen
sleep 2
[ "$(place)" = "400 300 610 410" ] || fail "a clock the smaller screen shows moved to $(place)"
grow_screen

comes_back transparent
[ "$(reg_wp)" = "400 300 610 410" ] || fail "the move was saved: WP is $(reg_wp)"
click_digits
comes_back framed
stood=$(place)
probe close >/dev/null
clock_expect_exit
[ "$(reg_wp)" = "$stood" ] || fail "closing saved $(reg_wp), not where the clock stood ($stood)"
