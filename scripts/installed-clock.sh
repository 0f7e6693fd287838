#!/usr/bin/env bash
# The installer users get, checked as a user's machine would have it: one step per call, so
# that each is one step of the Windows job of .github/workflows/ci.yml. The same calls run on
# a hosted Windows runner (under MSYS2's bash) and, in make test, under Wine
# (tests/ci/hosted-steps-test.sh runs the workflow's own lines); only the way a Windows program
# is started differs.
#   installed-clock.sh install BUILD      msiexec /i the x86 installer in BUILD/package, silent,
#                                         for this user, with a verbose log
#   installed-clock.sh check BUILD        the installed clock runs: one window of the installed
#                                         program, topmost, a non-empty window region, its
#                                         notification-area icon, the Run value that starts it
#   installed-clock.sh screenshot BUILD   a picture of the whole desktop
#   installed-clock.sh uninstall BUILD    msiexec /x, silent, with a verbose log
#   installed-clock.sh leftovers BUILD    nothing is left: no window or process of the clock,
#                                         no Run value, no program folder, no shortcut
# The checks are BUILD's probe's (tests/tools/probe.cpp), or those of the program VINTREL_PROBE
# names; the logs and the picture go to BUILD/installed-clock/. Under Wine, WINE64 and
# WINEPREFIX come from scripts/test.sh.
set -euo pipefail

fail() {
    echo "installed-clock: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: $0 install|check|screenshot|uninstall|leftovers BUILD"
step=$1
build=$(cd "$2" && pwd)
out=$build/installed-clock
mkdir -p "$out"

# Every wait is bounded; a 32-bit program under emulation starts about eight times slower.
slow=1
[ "${VINTREL_WINE32_MODE:-}" != qemu ] || slow=8

case $(uname -s) in
MINGW* | MSYS* | CYGWIN*)
    # MSYS2 would turn arguments that look like paths (/i, /qn) into Windows paths.
    export MSYS2_ARG_CONV_EXCL='*'
    windows() { "$@"; }
    win_path() { cygpath -w "$1"; }
    ;;
*)
    : "${WINE64:?not on Windows: run through scripts/test.sh, which sets up Wine}"
    : "${WINEPREFIX:?not on Windows: run through scripts/test.sh, which sets up Wine}"
    windows() { "$WINE64" "$@"; }
    win_path() { "$WINE64" winepath -w "$1" 2>/dev/null </dev/null | tr -d '\r'; }
    ;;
esac

probe() {
    local p
    for p in ${VINTREL_PROBE:+"$VINTREL_PROBE"} "$build"/x86_64/tests/tools/vintrel_probe.exe \
        "$build"/i686/tests/tools/vintrel_probe.exe; do
        [ ! -f "$p" ] || { windows "$p" "$@" </dev/null; return; }
    done
    fail "no probe in $build/x86_64 or $build/i686 (tests/tools): build first"
}

# msi ACTION NAME: msiexec ACTION on the installer, silent; its log is NAME.log in $out, its
# output (which a clock started by it would hold open) goes to a file. (A function named
# msiexec would call itself on Windows, where msiexec is the command word.)
msi() {
    local msis log=$out/$2.log rc=0
    msis=("$build"/package/Vintrel-*-x86.msi)
    [ ${#msis[@]} = 1 ] && [ -f "${msis[0]}" ] ||
        fail "expected one installer in $build/package, found: ${msis[*]}"
    rm -f "$log"
    windows msiexec "$1" "$(win_path "${msis[0]}")" /qn '/l*v' "$(win_path "$log")" \
        >"$out/$2.out" 2>&1 </dev/null || rc=$?
    if [ "$rc" != 0 ]; then
        echo "msiexec $1 ${msis[0]} ended with $rc; from its log $log:" >&2
        tr -d '\000' <"$log" 2>/dev/null | grep -aiE 'return value 3|error [0-9]' | tail -n 10 >&2
        exit 1
    fi
    echo "msiexec $1 $(basename "${msis[0]}"): done (log: $log)"
}

case $step in
install) msi /i install ;;
check) probe installed $((60000 * slow)) ;;
screenshot) probe screenshot "$(win_path "$out/desktop.bmp")" ;;
uninstall) msi /x uninstall ;;
leftovers) probe leftovers $((30000 * slow)) ;;
*) fail "unknown step '$step'" ;;
esac
