#!/usr/bin/env bash
# Builds the last commit a second and a third time, somewhere else, later and otherwise, and
# compares each with the first byte for byte: the release files (installer, zip, SHA256SUMS),
# and both builds of Vintrel.exe and of the installer's closer.
#   first:  this checkout's build tree BUILD, packaged into BUILD/reproducible/first
#   second: a clone of the commit in BUILD/reproducible/elsewhere/vintrel-second, built three
#           days later (faketime), with umask 077, another time zone and locale, packaged into
#           BUILD/reproducible/second
#   third:  the source archive of make dist, unpacked into a temporary folder outside any git
#           repository and built there with make package, as a packager without git would
# usage: scripts/reproducible.sh [BUILD]
# A mismatch is shown by diffoscope when it is installed, otherwise by msidiff and cmp.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-build}"
build=$(cd "${1:-build}" && pwd)
work=$build/reproducible

die() {
    echo "reproducible: $*" >&2
    exit 1
}

# The first build is this checkout's: it must be the commit the clone gets.
[ -z "$(git -C "$top" status --porcelain --untracked-files=no)" ] ||
    die "the checkout has uncommitted changes; the second build is of the last commit: commit first"
commit=$(git -C "$top" rev-parse HEAD)
command -v faketime >/dev/null || die "faketime is missing (Debian package faketime)"

rm -rf "$work"
mkdir -p "$work"

# build_and_package SOURCE BUILD_DIR PACKAGE_DIR: prints when and where it built.
build_and_package() {
    echo "  folder $1, umask $(umask), TZ=${TZ:-unset}, started $(date -u '+%Y-%m-%d %H:%M:%S UTC')"
    "$1/scripts/build.sh" "$2" >"$3.log" 2>&1 || { cat "$3.log"; die "build in $1 failed"; }
    "$1/scripts/package.sh" --out "$3" "$2" >>"$3.log" 2>&1 || { cat "$3.log"; die "packaging in $1 failed"; }
}

echo "first build:"
build_and_package "$top" "$build" "$work/first"

second_src=$work/elsewhere/vintrel-second
git clone -q "$top" "$second_src"
git -C "$second_src" checkout -q --detach "$commit"
echo "second build (three days later by faketime):"
(
    umask 077
    export TZ=Pacific/Kiritimati LANG=C LC_ALL=C
    export -f build_and_package die
    faketime -f +3d bash -c 'build_and_package "$@"' _ "$second_src" "$second_src/build" "$work/second"
)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
name=Vintrel-$version
echo "third build (from the source archive, outside any repository):"
"$top/scripts/dist.sh" "$build" >"$work/dist.log" 2>&1 || { cat "$work/dist.log"; die "make dist failed"; }
outside=$(mktemp -d "${TMPDIR:-/tmp}/vintrel-dist.XXXXXX")
trap 'rm -rf "$outside"' EXIT
! git -C "$outside" rev-parse --git-dir >/dev/null 2>&1 || die "$outside lies inside a git repository"
tar -xzf "$build/dist/vintrel-$version.tar.gz" -C "$outside"
third_src=$outside/vintrel-$version
echo "  folder $third_src, started $(date -u '+%Y-%m-%d %H:%M:%S UTC')"
make -C "$third_src" package BUILD=build >"$work/third.log" 2>&1 || { cat "$work/third.log"; die "make package from the source archive failed"; }

# The files compared: name in the report, path in the first build, paths in the others.
pairs=()
for f in "$name-x86.msi" "$name-x86.zip" "$name-SHA256SUMS.txt"; do
    pairs+=("$f" "$work/first/$f" "$work/second/$f" "$third_src/build/package/$f")
done
for f in i686/app/Vintrel.exe x86_64/app/Vintrel.exe i686/packaging/closer/VintrelCloser.exe \
    x86_64/packaging/closer/VintrelCloser.exe; do
    pairs+=("$f" "$build/$f" "$second_src/build/$f" "$third_src/build/$f")
done

# explain A B: where two files differ.
explain() {
    if command -v diffoscope >/dev/null; then
        diffoscope "$1" "$2" | head -n 60
    else
        case $1 in *.msi) msidiff "$1" "$2" 2>&1 | head -n 30 ;; esac
        cmp -l "$1" "$2" | head -n 10
    fi
}

mismatches=0
for ((i = 0; i < ${#pairs[@]}; i += 4)); do
    for other in 2 3; do
        label=$([ "$other" = 2 ] && echo second || echo third)
        if cmp -s "${pairs[i + 1]}" "${pairs[i + other]}"; then
            echo "same in the $label build: ${pairs[i]} $(sha256sum "${pairs[i + 1]}" | cut -c1-64)"
        else
            echo "DIFFERENT in the $label build: ${pairs[i]}"
            explain "${pairs[i + 1]}" "${pairs[i + other]}" || true
            mismatches=$((mismatches + 1))
        fi
    done
done
for sums in "first:$work/first" "second:$work/second" "third:$third_src/build/package"; do
    echo "SHA256SUMS of the ${sums%%:*} build:"
    sed 's/^/  /' "${sums#*:}/$name-SHA256SUMS.txt"
done
[ "$mismatches" -eq 0 ] || die "$mismatches file(s) differ from the first build"
echo "reproducible: all three builds of $commit, the source archive's included, agree byte for byte"
