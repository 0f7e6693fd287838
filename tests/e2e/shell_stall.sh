#!/usr/bin/env bash
# A shell that stops answering (its process stopped) just as it tells the clock it has started
# again: the clock's digits go on changing every second, and once the shell answers again the
# clock's icon is back.
#   shell_stall.sh EXE PROBE
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init shell_stall "$1" "$2"

set_wp $TEST_RECT
clock_start
wait_for 5 clock_clipped || fail "the clock did not clip its window"
clock_hwnd=$hwnd
# No Wine process starts while the shell is stopped: the probe starts first and waits.
probe stall 3000 15000 >"$ART/stall.out" &
watcher=$!
sleep 1.5
shell_stop
sleep 12
shell_continue
wait "$watcher" || true
eval "$(cat "$ART/stall.out")"
[ "${found:-0}" = 1 ] || fail "the probe did not watch the clock"
note "while the shell did not answer, the digits stood still for at most $longest_unchanged_ms ms"
[ "$longest_unchanged_ms" -lt 2500 ] ||
    fail "the clock stood still for $longest_unchanged_ms ms while the shell did not answer"
tray_back() {
    [ "$(probe tray "$clock_hwnd")" = "tray=1" ]
}
wait_for 40 tray_back || fail "the icon did not come back after the shell answered again"
probe close >/dev/null
clock_expect_exit
