#!/usr/bin/env bash
# Installs, starts, reinstalls, upgrades and removes the release installer (the 32-bit
# program) in the test prefix with msiexec /qn, and checks what each step leaves behind.
# usage: install-test.sh PACKAGE_DIR VERSION BUILD_ROOT PROBE_EXE
# Needs WINE64, WINEPREFIX and DISPLAY as scripts/test.sh sets them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=common.sh
. "$here/common.sh"

packages=$(cd "$1" && pwd) version=$2 build=$(cd "$3" && pwd) probe=$4
: "${WINE64:?run through scripts/test.sh}" "${WINEPREFIX:?run through scripts/test.sh}"
msi="$packages/Vintrel-$version-x86.msi"
work=$(mktemp -d "$build/i686/package-test.XXXXXX")
# Under emulation every 32-bit process takes about forty seconds to start.
slow=1
[ "${VINTREL_WINE32_MODE:-}" != qemu ] || slow=8
out="$work/wine.out"

RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
SETTINGS_ROOT='HKCU\Software\SOFTWARE'
SETTINGS='HKCU\Software\SOFTWARE\ZOREREV\Vintrel\SETTINGS'
# The 32-bit program's installer writes its entry to the registry's 32-bit view.
UNINSTALL='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
PRODUCTS='HKCU\Software\Microsoft\Installer\Products'

# Wine's output goes to a file: its helper processes can hold a pipe open.
wine() {
    "$WINE64" "$@" >"$out" 2>&1 </dev/null
}

# reg_value KEY NAME: prints the value's data; fails when the value does not exist.
reg_value() {
    wine reg query "$1" /v "$2" || return 1
    sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" "$out" | tr -d '\r'
}

key_exists() {
    wine reg query "$1"
}

value_exists() {
    wine reg query "$1" /v "$2"
}

# count_entries KEY NAME DATA: how many values NAME=DATA lie anywhere below KEY.
count_entries() {
    wine reg query "$1" /s || { echo 0; return; }
    tr -d '\r' <"$out" | grep -cx " *$2 \{4\}REG_SZ \{4\}$3"
}

# One Add/Remove Programs entry and one registered product, or none.
installed_copies() {
    local entries products
    entries=$(count_entries "$UNINSTALL" DisplayName Vintrel)
    products=$(count_entries "$PRODUCTS" ProductName Vintrel)
    [ "$entries" = "$products" ] || { echo "entries:$entries/products:$products"; return; }
    echo "$entries"
}

# installed_version: DisplayVersion of the installed entry.
installed_version() {
    wine reg query "$UNINSTALL" /s
    tr -d '\r' <"$out" | awk '/^HKEY/ { key = $0 }
        $1 == "DisplayName" && $3 == "Vintrel" && NF == 3 { hit[key] = 1 }
        $1 == "DisplayVersion" { version[key] = $3 }
        END { for (k in hit) print version[k] }'
}

# same_text A B: the files match apart from carriage returns.
same_text() {
    cmp -s <(tr -d '\r' <"$1") <(tr -d '\r' <"$2")
}

# Each run keeps its log; a failed run shows what the log says went wrong.
msi_runs=0
msiexec() {
    local log="$work/msiexec-$((msi_runs += 1)).log" rc=0
    "$WINE64" msiexec "$@" /qn /l*v "Z:$log" >"$out" 2>&1 </dev/null || rc=$?
    [ "$rc" = 0 ] ||
        { echo "msiexec $* ended with $rc:"; grep -aiE 'return value 3|error [0-9]' "$log" | tail -n 5; } >&2
    return "$rc"
}

win_path() {
    wine winepath -w "$1"
    tr -d '\r\n' <"$out"
}

unix_path() {
    wine winepath -u "$1"
    tr -d '\r\n' <"$out"
}

# Windows folder of a variable such as LOCALAPPDATA, as a Unix path.
unix_folder() {
    wine cmd /c echo "%$1%"
    unix_path "$(tr -d '\r\n' <"$out")"
}

lower_version() {
    local -a f
    IFS=. read -r -a f <<<"$1"
    local i
    for ((i = ${#f[@]} - 1; i >= 0; i--)); do
        if [ "${f[i]}" -gt 0 ]; then
            f[i]=$((f[i] - 1))
            break
        fi
    done
    (IFS=.; echo "${f[*]}")
}

installdir="$(unix_folder LOCALAPPDATA)/Programs/Vintrel"
shortcut="$(unix_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Vintrel.lnk"
win_exe="$(win_path "$installdir")\\Vintrel.exe"
expected_run=$win_exe
case $win_exe in *' '*) expected_run="\"$win_exe\"" ;; esac

# What the test changes is put back afterwards: the Run value and the settings section.
run_saved=$(reg_value "$RUN" Vintrel) && had_run_value=1 || had_run_value=0
key_exists "$RUN" && had_run_key=1 || had_run_key=0
key_exists "$SETTINGS_ROOT" && had_settings_root=1 || had_settings_root=0
settings_saved="$work/settings.reg"
wine reg export 'HKCU\Software\SOFTWARE\ZOREREV\Vintrel' "$(win_path "$settings_saved")" /y &&
    had_settings=1 || had_settings=0
lower_msi=""

cleanup() {
    "$WINE64" "$probe" close $((20000 * slow)) >/dev/null 2>&1 </dev/null
    [ -n "$lower_msi" ] && msiexec /x "$lower_msi"
    msiexec /x "$msi"
    if [ "$had_settings_root" = 0 ]; then
        wine reg delete "$SETTINGS_ROOT" /f
    elif [ "$had_settings" = 1 ]; then
        wine reg delete 'HKCU\Software\SOFTWARE\ZOREREV\Vintrel' /f
        wine reg import "$(win_path "$settings_saved")"
    fi
    if [ "$had_run_key" = 0 ]; then
        wine reg delete "$RUN" /f
    elif [ "$had_run_value" = 1 ]; then
        wine reg add "$RUN" /v Vintrel /t REG_SZ /d "$run_saved" /f
    else
        wine reg delete "$RUN" /v Vintrel /f
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A profile where the clock has run before: a Run key without our value, saved settings.
[ "$had_run_key" = 1 ] || wine reg add "$RUN" /f
wine reg delete "$RUN" /v Vintrel /f
wine reg add "$SETTINGS" /v DISPLAYCOLOR /t REG_DWORD /d 0x00123456 /f

# lower_file_version EXE OUT VERSION: a copy of the program whose file version is VERSION.
lower_file_version() {
    local -a f
    IFS=. read -r -a f <<<"$3"
    perl -e 'my ($in, $out, $ms, $ls) = @ARGV;
        local $/; open(my $i, "<:raw", $in) or die; my $d = <$i>;
        my $at = index($d, pack("V", 0xFEEF04BD)); die "no version block\n" if $at < 0;
        substr($d, $at + 8, 16) = pack("VVVV", $ms, $ls, $ms, $ls);
        open(my $o, ">:raw", $out) or die; print $o $d;' \
        "$1" "$2" $(((f[0] << 16) | f[1])) $(((f[2] << 16) | ${f[3]:-0}))
}

# clock_running VERSION: exactly one clock window is shown, and its program has that file
# version; sets the probe's variables (win_left ... for its place).
clock_running() {
    eval "$("$WINE64" "$probe" wait $((60000 * slow)) 2>/dev/null </dev/null | tr -d '\r')"
    [ "${found:-0}" = 1 ] && [ "$clocks" = 1 ] && [ "$file_version" = "$1" ]
}

# clock_at L T R B: the clock window stands there.
clock_at() {
    [ "$win_left $win_top $win_right $win_bottom" = "$*" ]
}

move_clock() {
    "$WINE64" "$probe" move "$@" >"$out" 2>&1 </dev/null
    sleep 1
    clock_running "$file_version"
}

# saved_place_is L T R B: WP holds that rectangle.
saved_place_is() {
    local hex="" v
    for v in "$@"; do
        hex+=$(printf '%08x' "$((v & 0xffffffff))" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/')
    done
    [ "$(reg_value "$SETTINGS" WP | tr 'A-F' 'a-f')" = "$hex" ]
}

# LocalAppData\Programs goes at uninstall when the install made it.
[ -e "$(dirname "$installdir")" ] && had_programs=1 || had_programs=0
lower=$(lower_version "$version")
lower_file_version "$build/i686/app/Vintrel.exe" "$work/Vintrel-older.exe" "$lower"

echo "-- install an older version"
check "older package $lower built" bash "$top/scripts/package.sh" --version "$lower" \
    --exe "$work/Vintrel-older.exe" --out "$work/older" "$build"
lower_msi="$work/older/Vintrel-$lower-x86.msi"
check "msiexec /i installs silently" msiexec /i "$lower_msi"
check "program installed in LocalAppData\\Programs\\Vintrel" \
    cmp -s "$installdir/Vintrel.exe" "$work/Vintrel-older.exe"
check "licence installed" test -s "$installdir/LICENSE.txt"
check "Start-menu shortcut \"Vintrel\" exists" test -s "$shortcut"
check "one installed copy" test "$(installed_copies)" = 1
check "entry shows the version" test "$(installed_version)" = "$lower"
check "entry shows the publisher" test "$(count_entries "$UNINSTALL" Publisher ZOREREV)" = 1
wine reg query "$PRODUCTS" /s
icon=$(tr -d '\r' <"$out" | sed -n 's/^ *ProductIcon \{4\}REG_SZ \{4\}//p' | head -n 1)
icon_unix=$(unix_path "${icon:-C:\\none}")
check "entry shows the program's icon" cmp -s "$icon_unix" "$top/res/icons/Vintrel.ico"
check "the installer starts the installed clock" clock_running "$lower"
check "program closes cleanly on WM_CLOSE" wine "$probe" close $((30000 * slow))

echo "-- start from the Start menu"
refute "no clock window before the start" wine "$probe" wait 0
wine start "$(win_path "$shortcut")"
check "installed program shows its window" clock_running "$lower"
check "Run value points at the installed program" test "$(reg_value "$RUN" Vintrel)" = "$expected_run"
check "the clock can be moved" move_clock 420 330 230 120
check "the clock stands where it was moved" clock_at 420 330 650 450

echo "-- upgrade while the clock runs"
check "msiexec /i upgrades" msiexec /i "$msi"
check "one installed copy after the upgrade" test "$(installed_copies)" = 1
check "the new version is the installed one" test "$(installed_version)" = "$version"
check "upgraded program in place" cmp -s "$installdir/Vintrel.exe" "$build/i686/app/Vintrel.exe"
check "exactly one clock runs afterwards, of the new version" clock_running "$version"
check "it stands where the old one was moved" clock_at 420 330 650 450

echo "-- same version again"
check "msiexec /i of the installed version succeeds" msiexec /i "$msi"
check "still one installed copy" test "$(installed_copies)" = 1
check "program still installed" test -f "$installdir/Vintrel.exe"
check "exactly one clock runs afterwards" clock_running "$version"

echo "-- uninstall while the clock runs"
check "the clock can be moved" move_clock 440 350 230 120
check "msiexec /x removes silently" msiexec /x "$msi"
check "no clock runs afterwards" wine "$probe" gone $((10000 * slow))
check "the clock saved its place when it was closed" saved_place_is 440 350 670 470
check "program files removed" test ! -e "$installdir/Vintrel.exe" -a ! -e "$installdir/LICENSE.txt"
check "install folder removed" test ! -e "$installdir"
[ "$had_programs" = 1 ] ||
    check "LocalAppData\\Programs, made by the install, removed" test ! -e "$(dirname "$installdir")"
check "shortcut removed" test ! -e "$shortcut"
refute "Run value removed" value_exists "$RUN" Vintrel
check "Run key kept" key_exists "$RUN"
check "settings kept" test "$(reg_value "$SETTINGS" DISPLAYCOLOR)" = 0x123456
check "no installed copy" test "$(installed_copies)" = 0
finish
