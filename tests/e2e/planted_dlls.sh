#!/usr/bin/env bash
# A DLL planted beside the program and in its working folder, under the name of a DLL the clock
# loads (wer, shcore, comdlg32, gdiplus, shell32), is never loaded: not at start, not while it
# ticks, not when the colour and font choosers open.
#   planted_dlls.sh EXE PROBE PLANTED_DLL
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init planted_dlls "$1" "$2"
planted=$3
[ -f "$planted" ] || fail "no planted DLL at $planted"

mkdir -p "$ART/program" "$ART/work"
cp "$1" "$ART/program/Vintrel.exe"
for name in wer shcore comdlg32 gdiplus shell32; do
    cp "$planted" "$ART/program/$name.dll"
    cp "$planted" "$ART/work/$name.dll"
done
EXE="$ART/program/Vintrel.exe"
CLOCK_CWD="$ART/work"
# Wine prefers its own comdlg32, gdiplus and shell32 to a DLL of that name found by a search;
# here, as on Windows, a found one would be loaded.
RUNNER=(env "WINEDLLOVERRIDES=$WINEDLLOVERRIDES;comdlg32,gdiplus,shell32=n,b" "${RUNNER[@]}")

# The planted DLLs that were loaded: each leaves a marker file beside itself.
none_loaded() {
    loaded=$(cd "$ART" && find program work -name '*.loaded' | sed 's/\.loaded$//' | sort |
        tr '\n' ' ')
    [ -z "$loaded" ]
}

set_wp $TEST_RECT
clock_start
none_loaded || fail "planted DLLs were loaded at start: $loaded"
wait_for 5 clock_clipped || fail "the clock did not clip its window"
# A few ticks.
sleep 3
click_digits
open_file_menu
menu_item 3
probe window "$DIALOG" $((5000 * SLOW)) | grep '^found=1$' >/dev/null ||
    fail "the Properties dialog did not open"
open_chooser 1000 Color
open_chooser 1001 Font
click_control 2
wait_for 5 dialog_closed || fail "the Properties dialog did not close"
probe close >/dev/null
clock_expect_exit

none_loaded || fail "planted DLLs were loaded: $loaded"
note "none of the planted DLLs was loaded"
