#!/usr/bin/env bash
# Configures and builds both targets: i686 (the shipped program) and x86_64 (the twin the
# GoogleTest programs run in). The i686 tree gets its GoogleTest programs only where this
# machine runs 32-bit programs natively.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
jobs=$(nproc 2>/dev/null || echo 2)

configure() {
    local arch=$1 dir=$2 unit=$3
    cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVINTREL_TESTS=ON -DVINTREL_UNIT_TESTS="$unit" \
        >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
}

# shellcheck source=wine-env.sh
. "$top/scripts/wine-env.sh"
wine32_use
unit32=OFF
[ "$VINTREL_WINE32_MODE" != native ] || unit32=ON

mkdir -p "$build"
configure i686 "$build/i686" "$unit32"
configure x86_64 "$build/x86_64" ON
for dir in "$build/i686" "$build/x86_64"; do
    if ! cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1; then
        grep -E -B2 -A6 'error|Error' "$dir.build.log" | head -n 80
        echo "build failed: see $dir.build.log" >&2
        exit 1
    fi
    if grep -q 'warning:' "$dir.build.log"; then
        grep -A3 'warning:' "$dir.build.log" | head -n 40
        echo "build produced warnings: see $dir.build.log" >&2
        exit 1
    fi
done
echo "built: $build/i686 (shipped, 32-bit) and $build/x86_64 (tests)"
