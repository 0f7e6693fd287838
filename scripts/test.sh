#!/usr/bin/env bash
# Runs the whole suite through ctest, on a private virtual display and Wine prefix per build
# tree, both trees at the same time: the x86_64 tree (unit tests, checks of the built files,
# end-to-end tests of the 64-bit build) and the i686 tree (the shipped program end to end,
# and the installer users get) through the private Wine for 32-bit programs. The i686
# tree's report follows the x86_64 one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)

case $(uname -s) in
MINGW* | MSYS* | CYGWIN*)
    cd "$build/${MSYSTEM_CARCH:?run in the MINGW32 or UCRT64 shell of MSYS2}"
    exec ctest --output-on-failure --timeout 300 --no-tests=error -LE wine ${CTEST_ARGS:-}
    ;;
esac
export VINTREL_SHIPPED_BUILD="$build/i686"

# run_tree DIR TIMEOUT [32] [ENV]: ctest in one build tree, in an environment of its own (a
# display, and a prefix in DIR, or in DIR/ENV with CTEST_ARGS choosing the tests for it).
run_tree() (
    # shellcheck source=wine-env.sh
    . "$top/scripts/wine-env.sh"
    trap wine_env_stop EXIT
    if [ "${3:-}" = 32 ]; then
        wine32_use
        echo "== i686 build (the shipped program) under the 32-bit Wine, $VINTREL_WINE32_MODE${4:+, $4}"
        [ "$VINTREL_WINE32_MODE" = native ] || [ -n "${4:-}" ] ||
            echo "i686 GoogleTest programs skipped: this kernel runs no 32-bit code, so they would run under emulation, about a minute per program start"
    else
        echo "== x86_64 build under wine64"
    fi
    wine_env_start "$1${4:+/$4}"
    wine_env_hold "$build/x86_64/tests/tools/vintrel_probe.exe"
    cd "$1" && ctest --output-on-failure --timeout "$2" ${CTEST_ARGS:-}
)

# Under emulation the shipped program's tests take several times as long as the x86_64 tree's:
# the packages' tests then run beside its end-to-end tests, in a second prefix on a second
# display, so that both cores stay busy.
split32=""
if [ "$(. "$top/scripts/wine-env.sh" && wine32_use >/dev/null && echo "$VINTREL_WINE32_MODE")" = qemu ]; then
    split32="packages"
fi

reports=()
pids=()
run_in_background() {
    local report=$1
    shift
    "$@" >"$report" 2>&1 &
    pids+=($!)
    reports+=("$report")
}
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
if [ -n "$split32" ]; then
    CTEST_ARGS="${CTEST_ARGS:-} -E ^package_" run_in_background "$build/i686.test.log" \
        run_tree "$build/i686" 900 32
    CTEST_ARGS="${CTEST_ARGS:-} -R ^package_" run_in_background "$build/i686.$split32.test.log" \
        run_tree "$build/i686" 900 32 "$split32"
else
    run_in_background "$build/i686.test.log" run_tree "$build/i686" 900 32
fi

status=0
run_tree "$build/x86_64" 300 || status=1
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done
trap - EXIT
cat "${reports[@]}"
exit "$status"
