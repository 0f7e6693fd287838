#!/usr/bin/env bash
# The File menu used with the mouse: Options... opens both choosers and changes what the clock
# shows, Make Transparent clips it again, Exit ends it with its place saved and its icon gone.
#   menu.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init menu "$1" "$2"

# The digits in the client area of the framed window (where the last clock_info found it):
# sets the scan variables. Only a screenshot, so that polling it is quick.
scan_client() {
    shot "$1"
    scan "$SHOT" "$client_left" "$client_top" "$client_right" "$client_bottom"
    why="clock $px_clock, rows $band_list, columns $clock_minx-$clock_maxx"
}

one_short_line() {
    scan_client one-line
    [ "$bands" = 1 ] && [ "$px_clock" -ge 300 ] &&
        [ "$(((clock_maxx - clock_minx) * 100))" -le "$((two_line_width * 85))" ]
}

clipped_again() {
    shot transparent-again
    scan "$SHOT" "$win_left" "$win_top" "$win_right" "$win_bottom"
    why="clock $px_clock, desktop $px_desktop, rows $band_list"
    [ "$bands" = 1 ] && [ "$px_clock" -ge 300 ] && [ "$((px_desktop * 2))" -ge "$px_total" ]
}

set_wp $TEST_RECT
clock_start
wait_for 5 clock_clipped || fail "the clock did not clip its window"
click_digits
clock_info
wait_for 3 eval 'scan_client two-lines; [ "$bands" = 2 ]' || fail "no two lines: $why"
two_line_width=$((clock_maxx - clock_minx))
note "two lines: $why"

note "File > Options..."
open_file_menu
menu_item 3
probe window "$DIALOG" $((5000 * SLOW)) | grep '^found=1$' >/dev/null || fail "the Properties dialog did not open"
control_checked 1004 1 || fail "Show GMT and Local Time is not on at first"
control_checked 1007 1 || fail "the suffix box is not on at first"
shot properties
open_chooser 1000 Color
open_chooser 1001 Font
click_control 1005
wait_for 2 control_checked 1005 1 || fail "Show GMT only did not get checked"
click_control 1007
wait_for 2 control_checked 1007 0 || fail "the suffix box did not get cleared"
click_control 1
# Without a window manager Wine takes up to two seconds to withdraw a closed dialog.
wait_for 5 dialog_closed || fail "the Properties dialog did not close"
closed_time=$(date +%s.%N)
wait_for 2 one_short_line || fail "no single line without suffix after OK: $why"
note "one line $(since "$closed_time") s after the dialog closed: $why"
[ "$(reg_dword DISPLAYTYPE)" = 1 ] || fail "DISPLAYTYPE is '$(reg_dword DISPLAYTYPE)', expected 1"
[ "$(reg_dword DISPLAYSTRINGS)" = 0 ] ||
    fail "DISPLAYSTRINGS is '$(reg_dword DISPLAYSTRINGS)', expected 0"

note "File > Make Transparent"
open_file_menu
menu_item 2
chosen_time=$(date +%s.%N)
wait_for 2 clipped_again || fail "the window was not clipped again: $why"
note "clipped $(since "$chosen_time") s after the menu choice: $why"
clock_clipped || fail "the window has no region"

note "File > Exit"
click_digits before-exit
clock_hwnd=$hwnd
open_file_menu
menu_item 5
last="$win_left $win_top $win_right $win_bottom"
clock_expect_exit
[ "$(reg_wp)" = "$last" ] || fail "WP is '$(reg_wp)', expected '$last'"
[ "$(probe tray "$clock_hwnd")" = "tray=0" ] || fail "the tray icon is still there"
