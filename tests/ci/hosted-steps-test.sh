#!/usr/bin/env bash
# The Windows jobs of .github/workflows/ci.yml with Wine in place of Windows: their rule
# (after the toolchain's set-up, each step calls a script that make test runs) and every line
# their steps run on the hosted runner, read from the workflow and run here one by one, as
# the runner's shell would, with BUILD the build folder, and with stand-ins that make this
# host a Windows one as far as the scripts can tell: uname names MSYS2's system, cygpath and
# msiexec are Wine's, and the probe runs under wine64. So the scripts' Windows branches run
# here: the build step configures and builds the x86_64 tree again (nothing is left to
# build), the test step runs one GoogleTest program of it, the installer steps install, check
# and remove the release installer. FUNCNEST turns a script that calls itself into an error.
# usage: hosted-steps-test.sh BUILD_ROOT PROBE_EXE
# Needs WINE64, WINEPREFIX and DISPLAY as scripts/test.sh sets them, and the packages of
# BUILD_ROOT/package.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=../package/common.sh
. "$here/../package/common.sh"

build=$(cd "$1" && pwd) probe=$2
: "${WINE64:?run through scripts/test.sh}" "${WINEPREFIX:?run through scripts/test.sh}"
work=$(mktemp -d "$build/i686/hosted-steps.XXXXXX")
slow=1
[ "${VINTREL_WINE32_MODE:-}" != qemu ] || slow=8

SETTINGS='HKCU\Software\SOFTWARE\ZOREREV\Vintrel'
RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

reg() {
    "$WINE64" reg "$@" >"$work/reg.out" 2>&1 </dev/null
}

# What the steps change in the prefix is put back afterwards: the settings and the Run value.
reg export "$SETTINGS" "Z:$work/settings.reg" /y && had_settings=1 || had_settings=0
reg query "$RUN" /v Vintrel && had_run=1 || had_run=0
run_saved=$(sed -n 's/^ *Vintrel \{4\}REG_SZ \{4\}//p' "$work/reg.out" | tr -d '\r')

cleanup() {
    # A step that failed half-way may leave the clock running or installed.
    "$WINE64" "$probe" close $((20000 * slow)) >/dev/null 2>&1 </dev/null
    for msi in "$build"/package/Vintrel-*-x86.msi; do
        "$WINE64" msiexec /x "$msi" /qn >/dev/null 2>&1 </dev/null
    done
    reg delete "$SETTINGS" /f
    [ "$had_settings" = 0 ] || reg import "Z:$work/settings.reg"
    if [ "$had_run" = 1 ]; then
        reg add "$RUN" /v Vintrel /t REG_SZ /d "$run_saved" /f
    else
        reg delete "$RUN" /v Vintrel /f
    fi
    rm -rf "$work"
}
trap cleanup EXIT

steps=$(/usr/bin/python3 "$here/windows-steps.py" "$top/.github/workflows/ci.yml")
check "after the set-up, each step of the Windows jobs calls a script make test runs" test $? = 0
[ "$failures" = 0 ] || finish

fake=$work/windows
mkdir -p "$fake"
stand_in() {
    printf '#!/bin/sh\n%s\n' "$2" >"$fake/$1" && chmod +x "$fake/$1"
}
stand_in uname 'echo MINGW64_NT-10.0-26100'
stand_in cygpath '[ "$1" = -w ] && "$WINE64" winepath -w "$2" 2>/dev/null </dev/null | tr -d "\r"'
stand_in msiexec 'exec "$WINE64" msiexec "$@"'
stand_in probe.exe "exec \"\$WINE64\" '$probe' \"\$@\""

# The tree's own build date: a commit made since the tree was built must not relink it with
# another (the packages' tests compare both trees' programs with that date).
date=$(sed -n 's/^VINTREL_BUILD_DATE:INTERNAL=//p' "$build/x86_64/CMakeCache.txt")

# run_step LINE: the line as the runner's shell runs it (bash, stopping at the first error).
run_step() {
    (cd "$top" && { [ -z "$date" ] || export SOURCE_DATE_EPOCH=$date; } &&
        PATH=$fake:$PATH FUNCNEST=20 MSYSTEM_CARCH=x86_64 VINTREL_PROBE=$fake/probe.exe \
        CTEST_ARGS="-R ^SettingsKeyTest[.]" BUILD=$build bash -eo pipefail -c "$1")
}
while IFS= read -r line; do
    echo "-- $line"
    check "step: $line" run_step "$line"
    [ "$failures" = 0 ] || { tail -n 5 "$build"/installed-clock/*.out 2>/dev/null; break; }
done <<<"$steps"
picture=$build/installed-clock/desktop.bmp
check "the desktop picture is a bitmap" test "$(head -c 2 "$picture" 2>/dev/null)" = BM
finish
