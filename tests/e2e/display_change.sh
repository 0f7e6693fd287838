#!/usr/bin/env bash
# The screen shrinks under the running clock, as when a laptop leaves its dock or a projector
# takes the display. A clock whose digits (framed: whose window) the smaller screen still shows
# stays where it is; one it no longer shows comes back onto it within two seconds, in transparent
# and in framed mode, and goes back to the place its user gave it when the screen grows again.
# What a close saves is that place, even while the clock stands elsewhere or is minimized. A
# clock whose digits end at the right edge, its blank part beyond it, starts where it was saved.
#   display_change.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init display_change "$1" "$2"
virtual_desktop 1920x1080

MODE_PID=""
OUT_OF_SIGHT="1650 900 1860 1010"
FLUSH_RIGHT="1740 400 1950 510"

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

# What the user sees, the digits or the framed window, is on the 1024x768 screen.
on_small_screen() {
    clock_info
    set -- "$win_left" "$win_top" "$win_right" "$win_bottom"
    [ "$region_type" = 0 ] || set -- "$region_left" "$region_top" "$region_right" "$region_bottom"
    [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ "$3" -le 1024 ] && [ "$4" -le 768 ]
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
    wait_for 2 eval '[ "$(place)" = "$OUT_OF_SIGHT" ]' ||
        fail "$1 clock at $(place) on the grown screen, not back at $OUT_OF_SIGHT"
}

set_wp $FLUSH_RIGHT
clock_start
wait_for 5 clock_clipped || fail "the clock did not clip its window"
clock_info
[ "$win_left $win_top $win_right $win_bottom" = "$FLUSH_RIGHT" ] && [ "$region_right" -le 1920 ] &&
    [ "$region_right" -gt 1890 ] ||
    fail "the clock saved at $FLUSH_RIGHT started at $(place), its digits ending at $region_right"
probe move 400 300 210 110 >/dev/null
shrink_screen
sleep 2
[ "$(place)" = "400 300 610 410" ] || fail "a clock the smaller screen shows moved to $(place)"
grow_screen

comes_back transparent
[ "$(reg_wp)" = "$FLUSH_RIGHT" ] || fail "the move was saved: WP is $(reg_wp)"
# Within the X screen, where the digits can be clicked.
probe move 400 300 210 110 >/dev/null
click_digits
comes_back framed

shrink_screen
wait_for 2 on_small_screen || fail "the clock still at $(place) on the 1024x768 screen"
probe minimize >/dev/null
wait_for 2 eval 'clock_info; [ $((style & 0x20000000)) != 0 ]' || fail "the clock was not minimized"
probe close >/dev/null
clock_expect_exit
[ "$(reg_wp)" = "$OUT_OF_SIGHT" ] ||
    fail "closing the moved, minimized clock saved $(reg_wp), not its user's place $OUT_OF_SIGHT"
grow_screen
