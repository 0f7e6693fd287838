# shellcheck shell=bash
# Sourced by the end-to-end scripts: drives the built clock under Wine on the X display of
# the test run, as a person would, and looks at what the screen shows. A 64-bit program runs
# under wine64, a 32-bit one through scripts/wine32-run.sh; the probe is always 64-bit.
# Needs WINE64, WINEPREFIX and DISPLAY in the environment (scripts/test.sh exports them).

CLOCK_RGB="0 0 100"
DESKTOP_RGB="58 110 165"
DESKTOP_HEX="#3a6ea5"
SETTINGS_KEY='HKCU\Software\SOFTWARE\ZOREREV\Vintrel\SETTINGS'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# Where the tests place the clock: clear of Wine's tray window and balloon at the top left.
TEST_RECT="400 300 610 410"

CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || CONVERT=convert-im6.q16

NOTEPAD_TITLE="Untitled - Notepad"
DIALOG="Vintrel (Properties)"

CLOCK_PID=""
NOTEPAD_PID=""
TYPER_PID=""
SHELL_STOPPED=""
_keeper_pid=""
_saved_settings=""
_saved_run=""
_had_run_value=0
_had_run_key=1
_registry_saved=0
_home_prefix=""
_cleaning=0

fail() {
    echo "FAIL: $*" >&2
    # From a subshell (a $(...) or a pipe) exit alone would end only that: the test ends too.
    # During the clean-up a failure is only reported.
    [ "$BASHPID" = "$$" ] || [ "$_cleaning" = 1 ] || kill -USR1 $$
    exit 1
}

note() {
    echo "-- $*"
}

# e2e_init NAME EXE PROBE: checks the environment and saves what the test will change.
e2e_init() {
    E2E_NAME=$1
    EXE=$2
    PROBE=$3
    trap 'exit 1' USR1
    [ -n "${WINE64:-}" ] && [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] ||
        fail "WINE64, WINEPREFIX and DISPLAY must be set (run through scripts/test.sh)"
    [ -f "$EXE" ] || fail "no program at $EXE"
    [ -f "$PROBE" ] || fail "no probe at $PROBE"
    pick_runner
    ART=$(cd "$(dirname "$EXE")/.." && pwd)/e2e-artifacts/$E2E_NAME
    rm -rf "$ART"
    mkdir -p "$ART"
    trap e2e_cleanup EXIT
    [ -z "$(probe info | grep found=1)" ] || fail "a clock window is already open"
    save_registry
    hold_display
    paint_desktop
}

# The program's own Wine. Under emulation a 32-bit process starts in about a minute
# and reacts several times slower: every wait is stretched by SLOW.
pick_runner() {
    RUNNER=("$WINE64")
    SLOW=1
    case $(file -b "$EXE") in
    PE32\ *)
        RUNNER=(bash "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine32-run.sh")
        [ "${VINTREL_WINE32_MODE:-}" != qemu ] || SLOW=20
        ;;
    esac
}

# Xvfb starts afresh, with a black root, whenever its last client leaves; an idle client
# keeps it (and the desktop colour) for the whole test.
hold_display() {
    xev -root -event property >/dev/null 2>&1 </dev/null &
    _keeper_pid=$!
}

# Runs the probe; its output is shell assignments (see tests/tools/probe.cpp), which tell
# what it found, so an exit code of 1 (not found) is not passed on. A probe that answers
# nothing, or ends with another code, failed: the test fails, saying how.
probe() {
    local out code=0
    out=$("$WINE64" "$PROBE" "$@" 2>"$(helper_errors probe)" </dev/null) || code=$?
    out=${out//$'\r'/}
    if [ -z "$out" ] || [ "$code" -gt 1 ]; then
        helper_failed "probe $1" "$code" "$out"
        return 1
    fi
    answer "$out"
}

# reg's answer and exit code. An exit code of 1 saying "Unable to find" is an answer: the key or
# value is absent (Wine's reg writes that to standard output when its input is no console).
# Any other failure fails the test, with what reg said.
reg() {
    local out code=0
    out=$("$WINE64" reg "$@" </dev/null 2>"$(helper_errors reg)") || code=$?
    out=${out//$'\r'/}
    if [ "$code" = 0 ] || { [ "$code" = 1 ] && grep -q 'Unable to find' <<<"$out"; }; then
        answer "$out"
        return "$code"
    fi
    helper_failed "reg $1" "$code" "$out"
}

# A helper's answer, in one write by another process: a reader that stops at the line it looks
# for (grep -q) then never ends this shell with a broken pipe, as bash's own line-buffered
# printf would, line by line.
answer() {
    cat <<<"$1" || true
}

# Where a helper's error output goes: the test's artifacts, or the temporary folder for the
# scripts that use these helpers outside a test (make screenshots).
helper_errors() {
    echo "${ART:-${TMPDIR:-/tmp}}/vintrel-$1.err"
}

# helper_failed WHAT CODE OUTPUT: a Wine helper process failed; fails the test, naming its exit
# code, output and error output (only reports it during the clean-up).
helper_failed() {
    local what="$1 ended with exit code $2, output '$3', error output '$(tr -d '\r' <"$(helper_errors "${1%% *}")")'"
    if [ "$_cleaning" = 1 ]; then
        note "$what"
        return 1
    fi
    fail "$what"
}

# The desktop colour behind the windows, so that a clipped window shows what lies behind it.
paint_desktop() {
    local pixel
    pixel=$(root_pixel 2 799)
    [ "$pixel" = "$DESKTOP_RGB" ] && return 0
    "$CONVERT" -size 8x8 "xc:$DESKTOP_HEX" "$ART/desktop.png"
    display -window root "$ART/desktop.png" >/dev/null 2>&1 || true
    pixel=$(root_pixel 2 799)
    [ "$pixel" = "$DESKTOP_RGB" ] || fail "could not paint the desktop (root shows $pixel)"
}

# shot_pixel X Y, root_pixel X Y: the colour of a pixel of the last shot, or of the screen now,
# as "r g b".
shot_pixel() {
    "$CONVERT" "$SHOT" -crop "1x1+$1+$2" +repage -depth 8 -compress none ppm:- 2>/dev/null | ppm_rgb
}

root_pixel() {
    import -window root -crop "1x1+$1+$2" +repage -depth 8 -compress none ppm:- 2>/dev/null | ppm_rgb
}

ppm_rgb() {
    awk 'NR > 3 || (NR == 3 && NF > 1) { for (i = 1; i <= NF; i++) printf "%s ", $i }' | sed 's/ $//'
}

save_registry() {
    local winfile
    _saved_settings="$ART/settings-before.reg"
    winfile="Z:${_saved_settings}"
    reg export "$SETTINGS_KEY" "$winfile" /y >/dev/null || _saved_settings=""
    reg query "$RUN_KEY" >/dev/null || _had_run_key=0
    _saved_run=$(run_value || true)
    [ -n "$_saved_run" ] && _had_run_value=1
    reg delete "$SETTINGS_KEY" /f >/dev/null || true
    [ "$_had_run_key" = 1 ] || reg add "$RUN_KEY" /f >/dev/null
    _registry_saved=1
}

restore_registry() {
    [ "$_registry_saved" = 1 ] || return 0
    reg delete "$SETTINGS_KEY" /f >/dev/null || true
    [ -n "$_saved_settings" ] && reg import "Z:${_saved_settings}" >/dev/null
    if [ "$_had_run_key" = 0 ]; then
        reg delete "$RUN_KEY" /f >/dev/null || true
    elif [ "$_had_run_value" = 1 ]; then
        reg add "$RUN_KEY" /v Vintrel /t REG_SZ /d "$_saved_run" /f >/dev/null
    else
        reg delete "$RUN_KEY" /v Vintrel /f >/dev/null || true
    fi
}

e2e_cleanup() {
    local rc=$?
    _cleaning=1
    if [ -n "$CLOCK_PID" ] && kill -0 "$CLOCK_PID" 2>/dev/null; then
        note "clock still running: closing it"
        probe closewindow "Vintrel (Properties)" >/dev/null || true
        probe close >/dev/null || true
        wait_pid_exit 5 || kill -9 "$CLOCK_PID" 2>/dev/null || true
        wait "$CLOCK_PID" 2>/dev/null || true
    fi
    [ -z "$SHELL_STOPPED" ] || shell_continue
    [ -z "$TYPER_PID" ] || kill "$TYPER_PID" 2>/dev/null || true
    [ -z "$_home_prefix" ] || leave_virtual_desktop
    if [ -n "$NOTEPAD_PID" ]; then
        kill -9 "$NOTEPAD_PID" 2>/dev/null || true
        wait "$NOTEPAD_PID" 2>/dev/null || true
    fi
    restore_registry
    if [ -n "$_keeper_pid" ]; then
        kill "$_keeper_pid" 2>/dev/null || true
        wait "$_keeper_pid" 2>/dev/null || true
    fi
    [ "$rc" = 0 ] && echo "PASS: $E2E_NAME" || echo "artifacts: $ART"
    [ -z "${E2E_AFTER_CLEANUP:-}" ] || $E2E_AFTER_CLEANUP
    exit "$rc"
}

# The data of the value "Vintrel" in the Run key, or nothing.
run_value() {
    reg query "$RUN_KEY" /v Vintrel | awk '$1 == "Vintrel" && $2 == "REG_SZ" {
        sub(/^[ \t]*Vintrel[ \t]+REG_SZ[ \t]+/, ""); print }'
}

# An awk function for hexadecimal digits (Debian's awk has no strtonum).
AWK_HEX='function hex(s,  i, d) {
    d = 0
    for (i = 1; i <= length(s); i++)
        d = d * 16 + index("0123456789abcdef", tolower(substr(s, i, 1))) - 1
    return d
}'

reg_dword() {
    reg query "$SETTINGS_KEY" /v "$1" | awk -v n="$1" "$AWK_HEX"'
        $1 == n && $2 == "REG_DWORD" { sub(/^0[xX]/, "", $3); print hex($3) }'
}

# WP as four signed numbers: left top right bottom.
reg_wp() {
    reg query "$SETTINGS_KEY" /v WP | awk "$AWK_HEX"'
        $1 == "WP" && $2 == "REG_BINARY" && length($3) == 32 {
        for (i = 0; i < 4; i++) {
            v = 0
            for (b = 3; b >= 0; b--)
                v = v * 256 + hex(substr($3, i * 8 + b * 2 + 1, 2))
            if (v >= 2147483648) v -= 4294967296
            printf "%s%d", (i ? " " : ""), v
        }
        print "" }'
}

# set_wp L T R B: the rectangle the clock opens at.
set_wp() {
    local hex="" v
    for v in "$@"; do
        hex+=$(printf '%08x' "$((v & 0xffffffff))" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/')
    done
    reg add "$SETTINGS_KEY" /v WP /t REG_BINARY /d "$hex" /f >/dev/null
}

# Starts the clock (in the folder CLOCK_CWD, the artifacts' folder unless set) and waits
# (bounded) for its window to be shown; sets the probe's variables.
clock_start() {
    (cd "${CLOCK_CWD:-$ART}" && exec "${RUNNER[@]}" "$EXE" >"$ART/clock.log" 2>&1 </dev/null) &
    CLOCK_PID=$!
    wait_for 15 clock_visible || fail "no visible window of class vintrel titled Vintrel"
    clock_info
}

clock_visible() {
    probe info | grep '^visible=1$' >/dev/null
}

clock_info() {
    local out
    out=$(probe info || true)
    echo "$out" | grep '^found=1$' >/dev/null || fail "the clock window is gone"
    eval "$out"
}

# wait_for SECONDS COMMAND...: polls the command every 0.2 s until it succeeds (the limit is
# stretched by SLOW).
wait_for() {
    local limit=$(($1 * SLOW)) start
    shift
    start=$(date +%s.%N)
    while ! "$@"; do
        awk -v s="$start" -v e="$(date +%s.%N)" -v l="$limit" 'BEGIN { exit !(e - s > l) }' &&
            return 1
        sleep 0.2
    done
}

# Seconds since a time taken with date +%s.%N.
since() {
    awk -v s="$1" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }'
}

wait_pid_exit() {
    local i
    for _ in $(seq 1 $(($1 * SLOW * 10))); do
        kill -0 "$CLOCK_PID" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Waits (bounded) for the clock process to end and checks its exit code.
clock_expect_exit() {
    wait_pid_exit 10 || fail "the clock process did not end"
    local code=0
    wait "$CLOCK_PID" || code=$?
    CLOCK_PID=""
    [ "$code" = 0 ] || fail "the clock ended with exit code $code"
}

shot() {
    import -window root "$ART/$1.png" || fail "screenshot failed"
    SHOT="$ART/$1.png"
}

# scan FILE L T R B: counts the pixels of the rectangle by colour and finds the rows of
# clock-coloured pixels. Sets px_total, px_clock, px_desktop, px_white, px_other, bands
# (groups of rows holding clock pixels), band_list, clock_minx, clock_maxx, and click_x,
# click_y: a clock pixel whose eight neighbours are clock pixels too (screen coordinates).
scan() {
    local file=$1 l=$2 t=$3 r=$4 b=$5
    eval "$("$CONVERT" "$file" -crop "$((r - l))x$((b - t))+$l+$t" +repage -depth 8 \
        -compress none ppm:- | awk -v l="$l" -v t="$t" -v clock="$CLOCK_RGB" \
        -v desk="$DESKTOP_RGB" -f "$(dirname "${BASH_SOURCE[0]}")/scan.awk")"
}

# text_bands FILE L T R B AXIS: groups of rows (AXIS=rows) or columns (AXIS=cols) of the
# rectangle that hold dark text pixels; prints "start end" per group, screen coordinates.
# Groups less than three pixels apart are one (a letter and its underline, the letters of
# a word).
text_bands() {
    "$CONVERT" "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage -depth 8 -compress none \
        ppm:- | awk -v l="$2" -v t="$3" -v axis="$6" '
        { for (i = 1; i <= NF; i++) v[n++] = $i }
        END {
            w = v[1]; h = v[2]; p = 4
            for (y = 0; y < h; y++) for (x = 0; x < w; x++) {
                if (v[p] + v[p + 1] + v[p + 2] < 200) hit[axis == "rows" ? y : x] = 1
                p += 3
            }
            m = axis == "rows" ? h : w; o = axis == "rows" ? t : l; s = -1
            for (i = 0; i < m; i++) {
                if (!hit[i]) continue
                if (s >= 0 && i - e > 3) { print o + s, o + e; s = -1 }
                if (s < 0) s = i
                e = i
            }
            if (s >= 0) print o + s, o + e
        }'
}

click_at() {
    xdotool mousemove "$1" "$2" sleep 0.2 click 1
}

# Clicks the digits of the transparent clock and waits for the framed window. Now and then
# the first click on a fresh virtual display goes nowhere; a person would click once more.
click_digits() {
    local try
    for try in 1 2; do
        clock_info
        shot "${1:-before-click}-$try"
        scan "$SHOT" "$win_left" "$win_top" "$win_right" "$win_bottom"
        [ -n "$click_x" ] || fail "no clock-coloured pixel to click"
        # Where Wine keeps earlier outlines on the screen (Wine 10), a digit-coloured pixel may
        # lie outside the outline that takes clicks: a digit inside it is clicked when it shows.
        if [ "$inside_x" -ge 0 ] && [ "$(shot_pixel "$inside_x" "$inside_y")" = "$CLOCK_RGB" ]; then
            click_x=$inside_x click_y=$inside_y
        fi
        click_at "$click_x" "$click_y"
        if wait_for 3 clock_framed; then
            [ "$try" = 1 ] || note "the digits needed a second click"
            clock_info
            return 0
        fi
    done
    fail "clicking the digits did not show the framed window"
}

clock_framed() {
    probe info | grep '^region_type=0$' >/dev/null
}

clock_clipped() {
    probe info | grep '^region_type=[23]$' >/dev/null
}

# Opens the File menu by clicking its title in the menu bar; sets popup_* to the open menu.
open_file_menu() {
    clock_info
    local top=$((client_top - menu_height)) cols
    shot "${1:-menubar}"
    cols=$(text_bands "$SHOT" "$client_left" "$top" "$client_right" "$client_top" cols | head -n 1)
    [ -n "$cols" ] || fail "no File title in the menu bar"
    set -- $cols
    click_at $((($1 + $2) / 2)) $((top + menu_height / 2))
    local out
    out=$(probe popup $((3000 * SLOW)) || true)
    echo "$out" | grep '^found=1$' >/dev/null || fail "the File menu did not open"
    eval "$out"
}

# menu_item N: clicks the N-th item (separators not counted) of the open menu.
menu_item() {
    shot "menu-open-$1"
    local rows
    rows=$(text_bands "$SHOT" "$popup_left" "$popup_top" "$popup_right" "$popup_bottom" rows)
    [ "$(echo "$rows" | wc -l)" = 5 ] || fail "the File menu does not show five items: $rows"
    set -- $(echo "$rows" | sed -n "${1}p")
    click_at $((popup_left + 30)) $((($1 + $2) / 2))
}

# Starts Wine's Notepad clear of the clock and waits (bounded) for its window.
notepad_start() {
    (cd "$ART" && exec "$WINE64" notepad >"$ART/notepad.log" 2>&1 </dev/null) &
    NOTEPAD_PID=$!
    probe window "$NOTEPAD_TITLE" 15000 | grep '^found=1$' >/dev/null || fail "Notepad did not open"
    probe place "$NOTEPAD_TITLE" 680 60 >/dev/null
}

# type_beside_clock WORD: a person clicks into Notepad and types WORD over several ticks of the
# clock. Every letter must arrive, Notepad must keep the keyboard and the clock stay on top.
type_beside_clock() {
    notepad_click
    xdotool type --delay 700 "$1"
    # One more tick after the last letter.
    sleep 1.5
    notepad_got "$1" "beside the clock" "$1"
    [ "$clock_topmost" = 1 ] && [ "$clock_above" = 1 ] ||
        fail "the clock is no longer on top (topmost $clock_topmost, above Notepad $clock_above)"
    note "typed '$1' beside the clock: every letter arrived"
}

# start_while_typing: a person types into Notepad while the clock starts, as at logon, and on
# through its first ticks. Every letter must arrive and Notepad must keep the keyboard.
start_while_typing() {
    local stop=$ART/stop-typing letters
    notepad_click
    rm -f "$stop" "$ART/typed-at-start"
    # A letter every 0.4 s, slower where the clock starts slowly; at most 100 letters, so that
    # the probe (which reads 255) sees them all beside what the test types later.
    local pause=0.4
    [ "$SLOW" = 1 ] || pause=2
    (
        word=startup
        for i in $(seq 0 99); do
            [ -e "$stop" ] && break
            xdotool type --delay 0 "${word:i%7:1}"
            printf '%s' "${word:i%7:1}" >>"$ART/typed-at-start"
            sleep "$pause"
        done
    ) &
    TYPER_PID=$!
    clock_start
    wait_for 5 clock_clipped || fail "the clock did not clip its window"
    sleep 3
    touch "$stop"
    wait "$TYPER_PID"
    TYPER_PID=""
    letters=$(cat "$ART/typed-at-start")
    notepad_got "$letters" "while the clock started" at-start
    note "typed ${#letters} letters while the clock started: every one arrived"
}

# notepad_click: a person clicks into Notepad's text and goes to its end; NOTEPAD_TEXT is the
# text there.
notepad_click() {
    local out
    out=$(probe typing "$NOTEPAD_TITLE")
    echo "$out" | grep '^found=1$' >/dev/null || fail "no edit field in Notepad"
    eval "$out"
    NOTEPAD_TEXT=$typed
    click_at $(((edit_left + edit_right) / 2)) $(((edit_top + edit_bottom) / 2))
    xdotool sleep 0.3 key ctrl+End sleep 0.3
}

# notepad_got LETTERS WHEN SHOT: every letter typed WHEN arrived after NOTEPAD_TEXT, and Notepad
# kept the keyboard; sets the probe's typing variables.
notepad_got() {
    eval "$(probe typing "$NOTEPAD_TITLE")"
    shot "typed-$3"
    [ "$typed" = "$NOTEPAD_TEXT$1" ] || fail "typed '$1' $2; Notepad holds '$typed'"
    [ "$in_front" = 1 ] || fail "Notepad lost the keyboard $2"
}

# click_control ID [TITLE]: clicks the middle of a control of the Properties dialog (or of
# the window titled TITLE).
click_control() {
    local out
    out=$(probe control "${2:-$DIALOG}" "$1" || true)
    echo "$out" | grep '^found=1$' >/dev/null || fail "no control $1 in ${2:-$DIALOG}"
    eval "$out"
    click_at $(((ctl_left + ctl_right) / 2)) $(((ctl_top + ctl_bottom) / 2))
}

control_checked() {
    probe control "$DIALOG" "$1" | grep "^checked=$2\$" >/dev/null
}

dialog_closed() {
    probe window "${1:-$DIALOG}" 0 | grep '^found=0$' >/dev/null
}

# open_chooser BUTTON TITLE: the button opens the chooser (its DLL is loaded on demand), and
# its Cancel closes it again.
open_chooser() {
    click_control "$1"
    probe window "$2" $((5000 * SLOW)) | grep '^found=1$' >/dev/null ||
        fail "the $2 chooser did not open"
    shot "chooser-$2"
    click_control 2 "$2"
    wait_for 5 dialog_closed "$2" || fail "the $2 chooser did not close"
}

# virtual_desktop WxH: from here on the test runs in a copy of its prefix whose desktop is a Wine
# virtual desktop of that size, so that a program can change the display mode (Xvfb has only
# one). The copy has its own Wine server, and no clock in its Run key to start with the session.
virtual_desktop() {
    _home_prefix=$WINEPREFIX
    # Named wineprefix too, so that the checks of the built files pass it by.
    WINEPREFIX=$(dirname "$_home_prefix")/virtual-desktop/wineprefix
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    cp -a "$_home_prefix" "$WINEPREFIX"
    local reg=$WINEPREFIX/user.reg
    awk '/^\[/ { run = ($0 ~ /^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\]/) }
        !(run && /^"Vintrel"=/)' "$reg" >"$reg.new" && mv "$reg.new" "$reg"
    printf '\n[Software\\\\Wine\\\\Explorer]\n"Desktop"="Default"\n' >>"$reg"
    printf '\n[Software\\\\Wine\\\\Explorer\\\\Desktops]\n"Default"="%s"\n' "$1" >>"$reg"
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    # As for the run's own prefix (scripts/wine-env.sh), a program stays on the desktop.
    "$WINE64" "$PROBE" session $((30000 * SLOW)) >"$ART/session.out" 2>&1 </dev/null &
    wait_for 35 grep -q '^session=1' "$ART/session.out" || fail "the virtual desktop's shell did not start"
    reg delete "$SETTINGS_KEY" /f >/dev/null || true
}

leave_virtual_desktop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$(dirname "$WINEPREFIX")"
    WINEPREFIX=$_home_prefix
    _home_prefix=""
}

# The Linux process of this prefix's shell (Wine's explorer, which owns the taskbar).
shell_pid() {
    local pid
    for pid in $(pgrep -f 'explorer.exe' || true); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# The shell stops answering (and answers again), as a busy or hung taskbar does.
shell_stop() {
    SHELL_STOPPED=$(shell_pid) || fail "no shell process in $WINEPREFIX"
    kill -STOP "$SHELL_STOPPED"
}

shell_continue() {
    kill -CONT "$SHELL_STOPPED" 2>/dev/null || true
    SHELL_STOPPED=""
}
