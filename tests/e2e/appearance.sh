#!/usr/bin/env bash
# What a person sees: the transparent clock shows only its digits over the desktop; a click
# on the digits shows the framed window with caption, menu bar and the digits on white. While
# the clock starts, and in either mode after, the person types into Notepad beside it without
# losing a letter. A program in full screen has the screen to itself while it lasts.
#   appearance.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init appearance "$1" "$2"

# Wine 10 keeps a shaped window's earlier outlines in what it shows: its window surface adds
# the new region's pixels to the shape wherever a paint left something to flush, but clears
# the shape only when the whole surface is flushed (set_surface_shape in dlls/win32u/dce.c).
# Pixels of earlier seconds stay then, black where no paint reached them. Wine 8 shows the
# window region itself.
stale_shape=0
wine_version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null || true)
dpkg --compare-versions "${wine_version:-0}" lt 10 || stale_shape=1

# The digits of both lines over the desktop, and the desktop between and around them; where
# Wine keeps earlier outlines, their black pixels are not counted against it.
transparent_ok() {
    clock_info
    shot transparent
    scan "$SHOT" "$win_left" "$win_top" "$win_right" "$win_bottom"
    why="clock $px_clock, desktop $px_desktop, white $px_white, other $px_other"
    why="$why (black $px_black), rows $band_list"
    [ "$stale_shape" = 1 ] || px_black=0
    [ "$region_type" -ge 2 ] && [ "$px_clock" -ge 600 ] && [ "$bands" -ge 2 ] &&
        [ "$((px_desktop * 10))" -ge "$((px_total * 4))" ] &&
        [ "$((px_white + px_other - px_black))" -le "$((px_total / 50))" ] || return 1
    # Within the first line's box the gaps between the digits show the desktop.
    local first=${band_list%% *}
    scan "$SHOT" "$clock_minx" "${first%-*}" "$((clock_maxx + 1))" "$((${first#*-} + 1))"
    why="$why; first line box: clock $px_clock, desktop $px_desktop"
    [ "$((px_desktop * 10))" -ge "$((px_total * 3))" ] && [ "$((px_clock * 10))" -ge "$px_total" ]
}

# Caption and menu bar at the top, a white client area with the digits of both lines.
framed_ok() {
    clock_info
    shot framed
    scan "$SHOT" "$win_left" "$win_top" "$win_right" "$win_bottom"
    why="window: desktop $px_desktop"
    [ "$region_type" = 0 ] && [ "$px_desktop" = 0 ] || return 1
    local bar=$((client_top - menu_height))
    scan "$SHOT" "$win_left" "$win_top" "$win_right" "$bar"
    why="caption: other $px_other of $px_total"
    [ "$((px_other * 2))" -ge "$px_total" ] || return 1
    why="menu bar: no text"
    [ -n "$(text_bands "$SHOT" "$client_left" "$bar" "$client_right" "$client_top" cols)" ] ||
        return 1
    scan "$SHOT" "$client_left" "$client_top" "$client_right" "$client_bottom"
    why="client: clock $px_clock, white $px_white, other $px_other, rows $band_list"
    [ "$px_clock" -ge 600 ] && [ "$bands" = 2 ] && [ "$((px_white * 2))" -ge "$px_total" ] &&
        [ "$((px_clock + px_white + px_other / 2))" -ge "$px_total" ]
}

set_wp $TEST_RECT
notepad_start
start_while_typing
wait_for 5 transparent_ok || fail "transparent clock: $why"
note "transparent: $why"
type_beside_clock vintre
# A full-screen program in front: the clock goes within 2 s, for good, and the program keeps the
# keyboard; the clock is back within 1.5 s after the program closes.
eval "$(probe fullscreen $((4000 * SLOW)))"
note "full screen: clock aside after $aside_ms ms, shown $shown_after times after, back after $back_ms ms"
[ "$aside_ms" -ge 0 ] && [ "$aside_ms" -le $((2000 * SLOW)) ] && [ "$shown_after$lost_front" = 00 ] &&
    [ "$back_ms" -ge 0 ] && [ "$back_ms" -le $((1500 * SLOW)) ] || fail "beside a full-screen program"
click_digits
wait_for 3 framed_ok || fail "framed clock: $why"
note "framed: $why"
type_beside_clock clocks
probe close >/dev/null
clock_expect_exit
