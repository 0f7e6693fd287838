#!/usr/bin/env bash
# Runs the whole suite through ctest, on a private virtual display and Wine prefix per build
# tree: first the x86_64 tree (unit tests, checks of the built files, end-to-end tests of the
# 64-bit build), then the i686 tree (the shipped program end to end, and the installer users
# get) through the private 32-bit half of Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source=wine-env.sh
. "$top/scripts/wine-env.sh"
trap wine_env_stop EXIT
export VINTREL_SHIPPED_BUILD="$build/i686"

run_tree() {
    (cd "$1" && ctest --output-on-failure --timeout "$2" ${CTEST_ARGS:-})
}

status=0
echo "== x86_64 build under wine64"
wine_env_start "$build/x86_64"
run_tree "$build/x86_64" 300 || status=1
wine_env_stop

wine32_use
echo "== i686 build (the shipped program) under the 32-bit Wine, $VINTREL_WINE32_MODE"
[ "$VINTREL_WINE32_MODE" = native ] ||
    echo "i686 GoogleTest programs skipped: this kernel runs no 32-bit code, and under emulation each would take minutes"
wine_env_start "$build/i686"
run_tree "$build/i686" 900 || status=1
exit "$status"
