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

# run_tree DIR TIMEOUT [32]: ctest in one build tree, in an environment of its own.
run_tree() (
    # shellcheck source=wine-env.sh
    . "$top/scripts/wine-env.sh"
    trap wine_env_stop EXIT
    if [ "${3:-}" = 32 ]; then
        wine32_use
        echo "== i686 build (the shipped program) under the 32-bit Wine, $VINTREL_WINE32_MODE"
        [ "$VINTREL_WINE32_MODE" = native ] ||
            echo "i686 GoogleTest programs skipped: this kernel runs no 32-bit code, so they would run under emulation, about a minute per program start"
    else
        echo "== x86_64 build under wine64"
    fi
    wine_env_start "$1"
    wine_env_hold "$build/x86_64/tests/tools/vintrel_probe.exe"
    cd "$1" && ctest --output-on-failure --timeout "$2" ${CTEST_ARGS:-}
)

report32="$build/i686.test.log"
run_tree "$build/i686" 900 32 >"$report32" 2>&1 &
pid32=$!
trap 'kill "$pid32" 2>/dev/null || true' EXIT

status=0
run_tree "$build/x86_64" 300 || status=1
wait "$pid32" || status=1
trap - EXIT
cat "$report32"
exit "$status"
