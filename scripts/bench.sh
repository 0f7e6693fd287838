#!/usr/bin/env bash
# Measures the clock against two references in one run under Wine on a virtual display, and
# prints the table that it also leaves in BUILD/bench/results.md:
#   floor  the clock's per-second work and nothing else: a one-second timer at the turn of
#          the second, the time turned into a GDI+ glyph region that clips the window, and a
#          notification-area icon;
#   bare   the cheapest window that shows the time: a plain one-second timer and two lines
#          of DrawTextW.
#   bench.sh [BUILD [ARCH]] BENCH_TICKS (60) and BENCH_PAINTS (2000) change the counts.
# ARCH is x86_64 (the default) or i686. After the x86_64 builds the i686 ones are measured as
# well where this machine runs 32-bit programs natively (under emulation the figures would
# be qemu's, not the programs').
# The three programs run at once for the ticking phase; their timed paints run one after the
# other, so that none slows another's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
arch=${2:-x86_64}
ticks=${BENCH_TICKS:-60}
paints=${BENCH_PAINTS:-2000}
out=$build/bench
[ "$arch" = x86_64 ] || out=$build/bench-$arch
run=$out/run
clock_exe=$build/$arch/bench/vintrel_bench_clock.exe
floor_exe=$build/$arch/bench/vintrel_bench_floor.exe
bare_exe=$build/$arch/bench/vintrel_bench_bare.exe
clock_ship=$build/i686/app/Vintrel.exe
floor_ship=$build/i686/bench/FloorClock.exe
bare_ship=$build/i686/bench/BareClock.exe
names="clock floor bare"
for f in "$clock_exe" "$floor_exe" "$bare_exe" "$clock_ship" "$floor_ship" "$bare_ship"; do
    [ -f "$f" ] || { echo "bench.sh: $f is missing (make build first)" >&2; exit 1; }
done
# shellcheck source=wine-env.sh
. "$top/scripts/wine-env.sh"

declare -A pid launched
stop_all() {
    local name
    for name in "${!pid[@]}"; do
        kill -0 "${pid[$name]}" 2>/dev/null && kill -9 "${pid[$name]}" 2>/dev/null || true
    done
    wine_env_stop
}
trap stop_all EXIT

mkdir -p "$run"
rm -f "$run"/*
runner=$WINE64
runner_name=wine64
if [ "$arch" = i686 ]; then
    wine32_use
    runner=$WINE32
    runner_name="the 32-bit Wine ($VINTREL_WINE32_MODE)"
fi
# A prefix of its own: the clock's saved place and the tests' prefix stay apart.
wine_env_start "$out"
winrun=$(printf 'Z:%s' "${run//\//\\}")

now_us() { echo $(($(date +%s%N) / 1000)); }

launch() {
    local name=$1 exe=$2
    launched[$name]=$(now_us)
    "$runner" "$exe" "$winrun" "$name" "$ticks" "$paints" >"$run/$name.log" 2>&1 </dev/null &
    pid[$name]=$!
}

# wait_for FILE SECONDS
wait_for() {
    local file=$1 limit=$(($2 * 10)) i
    for ((i = 0; i < limit; i++)); do
        [ -e "$file" ] && return 0
        sleep 0.1
    done
    echo "bench.sh: $(basename "$file") did not appear within $2 s" >&2
    return 1
}

echo "bench: $ticks ticks of each program side by side (about $ticks s), then $paints timed paints each"
launch clock "$clock_exe"
launch floor "$floor_exe"
launch bare "$bare_exe"
for name in $names; do
    wait_for "$run/$name.ticked" $((ticks + 120))
done
for name in bare floor clock; do
    touch "$run/$name.paint"
    wait_for "$run/$name.txt" 600
done

# Both are alive and waiting: their peak resident set, as the kernel counts it.
# The kernel's count of CPU time for the whole run is kept beside Wine's for comparison.
declare -A hwm_kb
ticks_per_s=$(getconf CLK_TCK)
for name in $names; do
    hwm_kb[$name]=$(awk '/^VmHWM:/ { print $2 }' "/proc/${pid[$name]}/status")
    {
        echo "linux_process_name=$(cat "/proc/${pid[$name]}/comm")"
        sed 's/^.*) //' "/proc/${pid[$name]}/stat" |
            awk -v hz="$ticks_per_s" '{ printf "linux_cpu_total_s=%.2f\n", ($12 + $13) / hz }'
    } >>"$run/$name.txt"
    touch "$run/$name.exit"
done
for name in $names; do
    for _ in $(seq 1 100); do
        kill -0 "${pid[$name]}" 2>/dev/null || break
        sleep 0.1
    done
    wait "${pid[$name]}" || echo "bench.sh: the $name program ended with an error" >&2
    unset "pid[$name]"
done

# The programs write text-mode files: CR LF line ends.
value() { awk -F= -v k="$2" '$1 == k { sub(/\r$/, "", $2); print $2 }' "$run/$1.txt"; }
# div A B DIGITS: A / B rounded to DIGITS decimals.
div() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { if (b + 0 == 0) print "-"; else printf "%.*f", d, a / b }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0) print "-"; else printf "%.3g", a / b }'; }
# row MEASURE CLOCK FLOOR BARE
row() {
    printf '| %s | %s | %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4" "$(ratio "$2" "$3")" \
        "$(ratio "$2" "$4")"
}
# figure_row MEASURE KEY: the row of a figure that each program wrote under KEY.
figure_row() { row "$1" "$(value clock "$2")" "$(value floor "$2")" "$(value bare "$2")"; }

declare -A startup_ms cpu_s hwm_mib wine_peak_mib size_kib
for name in $names; do
    startup_ms[$name]=$(div "$(($(value $name first_paint_unix_us) - ${launched[$name]}))" 1000 0)
    cpu_s[$name]=$(awk -v u="$(value $name tick_phase_cpu_user_s)" \
        -v k="$(value $name tick_phase_cpu_kernel_s)" 'BEGIN { printf "%.3f", u + k }')
    hwm_mib[$name]=$(div "${hwm_kb[$name]}" 1024 1)
    wine_peak_mib[$name]=$(div "$(value $name peak_working_set_kb)" 1024 1)
done
size_kib[clock]=$(div "$(stat -c %s "$clock_ship")" 1024 0)
size_kib[floor]=$(div "$(stat -c %s "$floor_ship")" 1024 0)
size_kib[bare]=$(div "$(stat -c %s "$bare_ship")" 1024 0)
late=$(value clock ticks_at_or_over_20ms)

# The clock alone while the shell does not answer for 30 s: the shell is stopped just as it
# tells the clock it has started again, so each of the clock's adds of its icon meets a shell
# that does not answer. No Wine process starts while the shell is stopped: the probe that
# tells the clock starts first and waits.
probe_exe=$build/x86_64/tests/tools/vintrel_probe.exe
stall_ticks=45
shell_pid() {
    local p
    for p in $(pgrep -f 'explorer.exe' || true); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            { echo "$p"; return 0; }
    done
    return 1
}
stall_phase() {
    echo "bench: the clock alone, $stall_ticks ticks, the shell stopped for 30 s of them"
    "$runner" "$clock_exe" "$winrun" stalled "$stall_ticks" 10 >"$run/stalled.log" 2>&1 </dev/null &
    pid[stalled]=$!
    "$WINE64" "$probe_exe" wait 60000 >/dev/null 2>&1 </dev/null || true
    "$WINE64" "$probe_exe" stall 3000 32000 >"$run/stall-probe.txt" 2>/dev/null </dev/null &
    local watcher=$! shell
    sleep 2
    shell=$(shell_pid) || { echo "bench.sh: no shell process" >&2; return 1; }
    kill -STOP "$shell"
    sleep 30
    kill -CONT "$shell"
    wait "$watcher" || true
    wait_for "$run/stalled.ticked" $((stall_ticks + 120))
    touch "$run/stalled.paint"
    wait_for "$run/stalled.txt" 120
    touch "$run/stalled.exit"
    wait "${pid[stalled]}" || true
    unset "pid[stalled]"
}
stall_phase
stalled_lags=$(value stalled tick_lags_ms | tr ' ' '\n' | awk '$1 >= 20 { printf "%s%s ms", sep, $1; sep = ", " }')
stood_still=$(awk -F= '$1 == "longest_unchanged_ms" { sub(/\r$/, "", $2); print $2 }' \
    "$run/stall-probe.txt")

{
    echo "| Measure ($arch builds, sizes i686) | Vintrel | floor | bare window | clock/floor | clock/bare |"
    echo "|---|---:|---:|---:|---:|---:|"
    figure_row "paint, median (µs, $(value clock paints) paints)" paint_median_us
    figure_row "paint, 95th percentile (µs)" paint_p95_us
    figure_row "tick lag, max (ms, $(value clock ticks) ticks)" tick_lag_max_ms
    figure_row "tick lag, median (ms)" tick_lag_median_ms
    row "CPU while ticking (s in $(value clock tick_phase_s) s)" \
        "${cpu_s[clock]}" "${cpu_s[floor]}" "${cpu_s[bare]}"
    row "peak resident set, VmHWM (MiB)" "${hwm_mib[clock]}" "${hwm_mib[floor]}" "${hwm_mib[bare]}"
    row "start-up to first paint (ms)" \
        "${startup_ms[clock]}" "${startup_ms[floor]}" "${startup_ms[bare]}"
    row "32-bit release .exe (KiB)" "${size_kib[clock]}" "${size_kib[floor]}" "${size_kib[bare]}"
    echo
    echo "Clock ticks painted 20 ms or more after their second: $late of $(value clock ticks)."
    echo "While the shell did not answer for 30 s (stopped just as it told the clock it had" \
        "started again): $(value stalled ticks_at_or_over_20ms) of $(value stalled ticks) ticks" \
        "painted 20 ms or more after their second (${stalled_lags:-none}); the digits stood" \
        "still for at most ${stood_still:-?} ms."
    echo "Clock ticks reached the window at a median $(value clock tick_arrival_median_ms) ms" \
        "into the second (the timer aims at 5 ms)."
    echo "Paints while ticking: clock $(value clock paints_while_ticking)," \
        "floor $(value floor paints_while_ticking), bare $(value bare paints_while_ticking)."
    echo "Peak working set as Wine reports it (GetProcessMemoryInfo): clock" \
        "${wine_peak_mib[clock]} MiB, floor ${wine_peak_mib[floor]} MiB, bare ${wine_peak_mib[bare]} MiB."
    echo "CPU for the whole run, GetProcessTimes against the kernel's count:" \
        "clock $(value clock cpu_total_s) / $(value clock linux_cpu_total_s) s," \
        "floor $(value floor cpu_total_s) / $(value floor linux_cpu_total_s) s," \
        "bare $(value bare cpu_total_s) / $(value bare linux_cpu_total_s) s."
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores with $("$WINE64" --version)," \
        "$arch builds under $runner_name; sizes are of the i686 builds."
} >"$out/results.md"
cat "$out/results.md"
echo "bench: per-tick lags and raw figures in $run/*.txt; table in $out/results.md"

[ "$arch" = x86_64 ] || exit 0
stop_all
trap - EXIT
wine32_use
if [ "$VINTREL_WINE32_MODE" = native ]; then
    echo "bench: the same for the i686 builds, which users run"
    exec "$0" "$build" i686
fi
echo "bench: the i686 builds are not measured here: this kernel runs no 32-bit code, and under emulation the figures would be qemu's"
