#!/usr/bin/env bash
# Builds the release packages from a build tree made by scripts/build.sh:
#   Vintrel-<version>-x86.msi and Vintrel-<version>-x86.zip   the release (32-bit program)
#   Vintrel-<version>-SHA256SUMS.txt                           checksums of the release
# usage: scripts/package.sh [--version X.Y.Z.W] [--out DIR] [--exe Vintrel.exe] BUILD
# The version defaults to project()'s VERSION as CMake recorded it in the build tree; the
# packages go to BUILD/package unless --out names another folder; --exe packages another
# build of the program (the tests' older version).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    echo "usage: $0 [--version X.Y.Z.W] [--out DIR] [--exe Vintrel.exe] BUILD" >&2
    exit 2
}

version=""
out=""
exe_override=""
build=""
while [ $# -gt 0 ]; do
    case $1 in
    --version) version=${2:-}; shift 2 || usage ;;
    --out) out=${2:-}; shift 2 || usage ;;
    --exe) exe_override=${2:-}; shift 2 || usage ;;
    -*) usage ;;
    *) [ -z "$build" ] || usage; build=$1; shift ;;
    esac
done
[ -n "$build" ] || usage
build=$(cd "$build" && pwd)
out=${out:-$build/package}

# project()'s VERSION, as CMake wrote it into the build tree's cache.
cmake_version() {
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt" 2>/dev/null
}

# A GUID derived from the upgrade code, version and architecture, so that rebuilding the
# same version gives the same product code.
product_code() {
    local h variant
    h=$(printf 'D1771EE0-F451-4D4E-88B7-0AA736BDD007/%s/%s' "$1" "$2" | sha1sum | cut -c1-32)
    variant=$(printf '%x' $(((16#${h:16:1} & 3) | 8)))
    printf '%s-%s-5%s-%s%s-%s' "${h:0:8}" "${h:8:4}" "${h:13:3}" "$variant" "${h:17:3}" \
        "${h:20:12}" | tr 'a-f' 'A-F'
}

# Text for Windows users: CRLF line ends.
crlf() {
    sed 's/\r$//; s/$/\r/' "$1" >"$2"
}

# stage ARCH_BUILD_DIR STAGE_DIR: the files the packages carry, under their package names.
stage() {
    local exe=$1/app/Vintrel.exe dir=$2
    [ -f "$exe" ] || { echo "package: $exe is missing: build first (make build)" >&2; exit 1; }
    mkdir -p "$dir"
    cp "${exe_override:-$exe}" "$dir/Vintrel.exe"
    cp "$1/packaging/closer/VintrelCloser.exe" "$dir/VintrelCloser-x86.exe"
    cp "$build/x86_64/packaging/closer/VintrelCloser.exe" "$dir/VintrelCloser-x64.exe"
    cp "$top/res/icons/Vintrel.ico" "$dir/Vintrel.ico"
    crlf "$top/LICENSE" "$dir/LICENSE.txt"
    crlf "$top/packaging/README.txt" "$dir/README.txt"
}

# msi ARCH STAGE_DIR OUTPUT
msi() {
    local arch=$1 dir=$2 output=$3 code log
    code=$(product_code "$version" "$arch")
    log="$dir/wixl.log"
    # wixl reads the files named in the source relative to the current directory.
    if ! (cd "$dir" && wixl -a "$arch" -D Version="$version" -D ProductCode="$code" \
        -o "$output.tmp" "$top/packaging/Vintrel.wxs") >"$log" 2>&1; then
        cat "$log" >&2
        echo "package: wixl failed for $arch" >&2
        exit 1
    fi
    # msibuild leaves the package's binary streams in the current folder as well.
    (cd "$dir" && add_closer_actions "$output.tmp") ||
        { echo "package: msibuild failed for $arch" >&2; exit 1; }
    mv "$output.tmp" "$output"
}

# The closer's actions, which wixl does not write: type 2 (an EXE from the Binary table) with
# 0x40 (its result ignored).
add_closer_actions() {
    local id
    for id in X86 X64; do
        msibuild "$1" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('CloseClocks$id', 66, 'Closer$id', '')" ||
            return 1
    done
}

# zip_release STAGE_DIR OUTPUT
zip_release() {
    local dir=$1 output=$2
    rm -f "$output.tmp"
    (cd "$dir" && zip -q -X "$output.tmp" Vintrel.exe LICENSE.txt README.txt)
    mv "$output.tmp" "$output"
}

command -v wixl >/dev/null || { echo "package: wixl is missing (Debian package wixl)" >&2; exit 1; }
command -v zip >/dev/null || { echo "package: zip is missing (Debian package zip)" >&2; exit 1; }

if [ -z "$version" ]; then
    version=$(cmake_version "$build/i686")
    [ -n "$version" ] || { echo "package: no version in $build/i686/CMakeCache.txt" >&2; exit 1; }
fi
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+(\.[0-9]+)?$ ]] || { echo "package: bad version $version" >&2; exit 1; }

mkdir -p "$out"
out=$(cd "$out" && pwd)
staging=$(mktemp -d "$out/.staging.XXXXXX")
trap 'rm -rf "$staging"' EXIT

stage "$build/i686" "$staging/x86"
name="Vintrel-$version"
msi x86 "$staging/x86" "$out/$name-x86.msi"
zip_release "$staging/x86" "$out/$name-x86.zip"
(cd "$out" && sha256sum "$name-x86.msi" "$name-x86.zip" >"$name-SHA256SUMS.txt")

echo "packaged: $out/$name-x86.msi $out/$name-x86.zip"
