#!/usr/bin/env bash
# Configures and builds both targets: i686 (the shipped program) and x86_64 (the twin the
# GoogleTest programs run in). The i686 tree gets its GoogleTest programs only where this
# machine runs 32-bit programs natively.
#   build.sh [--no-tests] [BUILD]
#   --no-tests   the programs without the test suite (make package): no GoogleTest, no Wine
# On Windows, in MSYS2's MINGW32 or UCRT64 shell (the CI workflow's Windows job), it builds
# the one tree of that toolchain natively with the same CMakeLists (the generator CMake's
# default or $CMAKE_GENERATOR), GoogleTest programs included: BUILD/i686 or BUILD/x86_64.
# Any compiler warning fails the build, except there with a GCC whose major version is not
# among those seen clean below: its warnings become warning annotations of the workflow run,
# so that a new compiler's new warnings are reported without failing the job.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tests=ON
if [ "${1:-}" = --no-tests ]; then
    tests=OFF
    shift
fi
build=${1:-build}
jobs=$(nproc 2>/dev/null || echo 2)
# GCC major versions that have built the sources without a warning (Debian 12 and 13).
seen_clean=(12 14)

# configure DIR UNIT_TESTS CMAKE_ARGS...
configure() {
    local dir=$1 unit=$2
    shift 2
    cmake -S "$top" -B "$dir" "$@" \
        -DCMAKE_BUILD_TYPE=Release -DVINTREL_TESTS="$tests" -DVINTREL_UNIT_TESTS="$unit" \
        >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
}

# gcc_major DIR: the major version of the tree's C++ compiler, as CMake found it.
gcc_major() {
    sed -n 's/^set(CMAKE_CXX_COMPILER_VERSION "\([0-9]*\)[."].*/\1/p' \
        "$1"/CMakeFiles/*/CMakeCXXCompiler.cmake 2>/dev/null | head -n 1
}

# annotate LOG: each warning of the log as a warning annotation of the workflow run.
annotate() {
    grep 'warning:' "$1" | sort -u | head -n 50 |
        sed -E 's/^(.+):([0-9]+):([0-9]+): warning: (.*)$/::warning file=\1,line=\2,col=\3::\4/; t; s/^/::warning::/'
}

mkdir -p "$build"
lenient=0
case $(uname -s) in
MINGW* | MSYS* | CYGWIN*)
    : "${MSYSTEM_CARCH:?run in the MINGW32 or UCRT64 shell of MSYS2}"
    trees=("$build/$MSYSTEM_CARCH")
    configure "${trees[0]}" ON
    major=$(gcc_major "${trees[0]}")
    [[ " ${seen_clean[*]} " == *" $major "* ]] || lenient=1
    ;;
*)
    unit32=OFF
    if [ "$tests" = ON ]; then
        # shellcheck source=wine-env.sh
        . "$top/scripts/wine-env.sh"
        wine32_use
        [ "$VINTREL_WINE32_MODE" != native ] || unit32=ON
    fi
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
        if [ "$lenient" = 1 ]; then
            annotate "$dir.build.log"
            echo "::warning::GCC $major has not yet built these sources without a warning: $(grep -c 'warning:' "$dir.build.log") warning line(s) in $dir.build.log"
            continue
        fi
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
