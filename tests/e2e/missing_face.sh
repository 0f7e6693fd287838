#!/usr/bin/env bash
# The stored face exists nowhere and the default face is not installed either (stock Wine has
# no Arial; on Windows a removed font, or settings roamed from another machine): the clock
# still shows its digits, in transparent and in framed mode, and the stored face is kept for
# when it is installed again.
#   missing_face.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init missing_face "$1" "$2"

# The prefix's Arial mapping is taken away for the test and put back on every way out: by the
# cleanup, and, when this script is killed (no trap runs then), by a watcher outside its
# process tree that waits for its end. Without the mapping the other tests would draw in a
# stand-in face without saying so.
FONTS_KEY='HKCU\Software\Wine\Fonts\Replacements'
arial=$(reg query "$FONTS_KEY" /v Arial | awk '$1 == "Arial" && $2 == "REG_SZ" {
    sub(/^[ \t]*Arial[ \t]+REG_SZ[ \t]+/, ""); print }') || true
[ -n "$arial" ] ||
    fail "the prefix maps no face to Arial ($FONTS_KEY): a run stopped before it put the mapping back; the tests draw in a stand-in face until $WINEPREFIX is made anew"
restored=$ART/arial-restored
put_arial_back() {
    reg add "$FONTS_KEY" /v Arial /t REG_SZ /d "$arial" /f >/dev/null && touch "$restored"
}
(setsid bash -c 'tail --pid="$1" -f /dev/null
    [ -e "$2" ] || "$WINE64" reg add "$3" /v Arial /t REG_SZ /d "$4" /f' \
    _ $$ "$restored" "$FONTS_KEY" "$arial" </dev/null >/dev/null 2>&1 &)
E2E_AFTER_CLEANUP=put_arial_back
reg delete "$FONTS_KEY" /v Arial /f >/dev/null || true

# A LOGFONTW of 92 bytes whose face is "No Such Face".
face_hex=$(printf '%056d' 0)
for c in N o ' ' S u c h ' ' F a c e; do
    face_hex+=$(printf '%02X00' "'$c")
done
face_hex+=$(printf '%0*d' $((184 - ${#face_hex})) 0)
reg add "$SETTINGS_KEY" /v DISPLAYFONT /t REG_BINARY /d "$face_hex" /f >/dev/null
stored_font() {
    reg query "$SETTINGS_KEY" /v DISPLAYFONT | awk '$1 == "DISPLAYFONT" { print $3 }'
}

digits_shown() {
    clock_info
    shot "$1"
    scan "$SHOT" "$2" "$3" "$4" "$5"
    [ "$px_clock" -ge 600 ] && [ "$bands" = 2 ]
}

set_wp $TEST_RECT
clock_start
wait_for 5 clock_clipped ||
    fail "transparent clock without its face: the window region is empty (type $(probe info | sed -n 's/^region_type=//p'))"
wait_for 3 digits_shown transparent $win_left $win_top $win_right $win_bottom ||
    fail "transparent clock without its face: clock pixels $px_clock, rows $band_list"
note "transparent, no face found: clock pixels $px_clock, rows $band_list"
click_digits
wait_for 3 digits_shown framed $client_left $client_top $client_right $client_bottom ||
    fail "framed clock without its face: clock pixels $px_clock, rows $band_list"
note "framed, no face found: clock pixels $px_clock, rows $band_list"
probe close >/dev/null
clock_expect_exit
[ "$(stored_font)" = "$face_hex" ] || fail "the stored face changed: $(stored_font)"
