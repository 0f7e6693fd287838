#!/usr/bin/env bash
# Runs the whole suite through ctest, every Windows test program under wine64 on a
# private virtual display and Wine prefix.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source=wine-env.sh
. "$top/scripts/wine-env.sh"

wine_env_start "$build/x86_64"
trap wine_env_stop EXIT
export VINTREL_SHIPPED_BUILD="$build/i686"

cd "$build/x86_64"
ctest --output-on-failure --timeout 300 ${CTEST_ARGS:-}
