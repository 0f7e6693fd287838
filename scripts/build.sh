#!/usr/bin/env bash
# Configures and builds both targets: i686 (the shipped program) and x86_64 (the twin the
# GoogleTest programs run in). The i686 tree gets its GoogleTest programs only where this
# machine runs 32-bit programs natively.
# On Windows, in MSYS2's MINGW32 or MINGW64 shell (the CI workflow's Windows job), it builds
# the one tree of that toolchain natively with the same CMakeLists, GoogleTest programs
# included: BUILD/i686 or BUILD/x86_64.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
jobs=$(nproc 2>/dev/null || echo 2)

# configure DIR UNIT_TESTS CMAKE_ARGS...
configure() {
    local dir=$1 unit=$2
    shift 2
    cmake -S "$top" -B "$dir" "$@" \
        -DCMAKE_BUILD_TYPE=Release -DVINTREL_TESTS=ON -DVINTREL_UNIT_TESTS="$unit" \
        >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
}

mkdir -p "$build"
case $(uname -s) in
MINGW* | MSYS* | CYGWIN*)
    : "${MSYSTEM_CARCH:?run in the MINGW32 or MINGW64 shell of MSYS2}"
    trees=("$build/$MSYSTEM_CARCH")
    configure "${trees[0]}" ON -G Ninja
    ;;
*)
    # shellcheck source=wine-env.sh
    . "$top/scripts/wine-env.sh"
    wine32_use
    unit32=OFF
    [ "$VINTREL_WINE32_MODE" != native ] || unit32=ON
    trees=("$build/i686" "$build/x86_64")
    configure "$build/i686" "$unit32" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686.cmake"
    configure "$build/x86_64" ON -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-x86_64.cmake"
    ;;
esac
for dir in "${trees[@]}"; do
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
if [ ${#trees[@]} = 1 ]; then
    echo "built: ${trees[0]}"
else
    echo "built: $build/i686 (shipped, 32-bit) and $build/x86_64 (tests)"
fi
