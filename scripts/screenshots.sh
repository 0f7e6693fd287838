#!/usr/bin/env bash
# Makes the README pictures from the built clock on a virtual display (make screenshots):
#   docs/clock-transparent.png   the transparent clock over the desktop
#   docs/clock-framed-menu.png   the framed clock with its File menu open
#   docs/properties-dialog.png   the Properties dialog
#   docs/clock-150-percent.png   the framed clock, the screen at 150 %
# and, beside the full screenshots in the build tree's e2e-artifacts/screenshots/, the
# Properties dialog at 150 % (properties-dialog-150-percent.png).
#   screenshots.sh [BUILD]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source=wine-env.sh
. "$top/scripts/wine-env.sh"
# shellcheck source=../tests/e2e/lib.sh
. "$top/tests/e2e/lib.sh"

trap wine_env_stop EXIT
wine_env_start "$build/x86_64"
# With no window manager on the virtual display, Wine draws the frames of all windows itself
# only when it manages none of them; otherwise dialogs would show without their caption.
x11_key='HKCU\Software\Wine\X11 Driver'
managed_before=$(reg query "$x11_key" /v Managed | awk '$1 == "Managed" { print $3 }' || true)
reg add "$x11_key" /v Managed /t REG_SZ /d N /f >/dev/null
# The screen's DPI, which each program reads as it starts.
desktop_key='HKCU\Control Panel\Desktop'
dpi_before=$(reg query "$desktop_key" /v LogPixels | awk '$1 == "LogPixels" { print $3 }' || true)
restore_and_stop() {
    if [ -n "$managed_before" ]; then
        reg add "$x11_key" /v Managed /t REG_SZ /d "$managed_before" /f >/dev/null
    else
        reg delete "$x11_key" /v Managed /f >/dev/null || true
    fi
    if [ -n "$dpi_before" ]; then
        reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi_before" /f >/dev/null
    else
        reg delete "$desktop_key" /v LogPixels /f >/dev/null || true
    fi
    wine_env_stop
}
E2E_AFTER_CLEANUP=restore_and_stop
e2e_init screenshots "$build/x86_64/app/Vintrel.exe" "$build/x86_64/tests/tools/vintrel_probe.exe"
docs="$top/docs"
margin=16

# crop NAME L T R B: the screen rectangle with a margin, saved as NAME.png in $crop_dir.
crop_dir=$docs
crop() {
    local l=$(($2 - margin)) t=$(($3 - margin)) r=$(($4 + margin)) b=$(($5 + margin))
    "$CONVERT" "$SHOT" -crop "$((r - l))x$((b - t))+$l+$t" +repage -strip "$crop_dir/$1.png"
    echo "$crop_dir/$1.png"
}

# properties_dialog NAME: opens the Properties dialog from the open File menu, crops it and
# closes it.
properties_dialog() {
    menu_item 3
    dialog="Vintrel (Properties)"
    eval "$(probe window "$dialog" 5000)"
    [ "$found" = 1 ] || fail "the Properties dialog did not open"
    # Away from the clock, which stays on top of it, and from the tray balloon.
    probe place "$dialog" 120 "$1" >/dev/null
    sleep 1
    eval "$(probe window "$dialog" 0)"
    shot "$2"
    crop "$2" "$win_left" "$win_top" "$win_right" "$win_bottom"
    probe closewindow "$dialog" >/dev/null
    wait_for 5 eval '[ "$(probe window "$dialog" 0 | head -n 1)" = found=0 ]' ||
        fail "the Properties dialog did not close"
}

set_wp $TEST_RECT
clock_start
wait_for 5 clock_clipped || fail "the clock did not clip its window"
sleep 1
clock_info
shot transparent
crop clock-transparent "$win_left" "$win_top" "$win_right" "$win_bottom"

click_digits
open_file_menu
shot framed-menu
crop clock-framed-menu "$win_left" "$win_top" "$((popup_right > win_right ? popup_right : win_right))" \
    "$((popup_bottom > win_bottom ? popup_bottom : win_bottom))"
properties_dialog 470 properties-dialog
probe close >/dev/null
clock_expect_exit

# At 150 %: the clock at a saved place of 315 by 165, the size its built-in place has there.
reg add "$desktop_key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
set_wp 400 300 715 465
clock_start
wait_for 5 clock_clipped || fail "the clock did not clip its window at 150 %"
sleep 1
click_digits at150
sleep 1
shot framed-150
crop clock-150-percent "$win_left" "$win_top" "$win_right" "$win_bottom"
open_file_menu at150-menubar
crop_dir=$ART
properties_dialog 520 properties-dialog-150-percent
probe close >/dev/null
clock_expect_exit
