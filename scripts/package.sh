#!/usr/bin/env bash
# Builds the release packages from a build tree made by scripts/build.sh:
#   Vintrel-<version>-x86.msi and Vintrel-<version>-x86.zip   the release (32-bit program)
#   Vintrel-<version>-SHA256SUMS.txt                           checksums of the release
#   winget/ and scoop/                                         manifests, with RELEASE_URL
# usage: scripts/package.sh [--version X.Y.Z.W] [--out DIR] [--exe Vintrel.exe] BUILD
#        scripts/package.sh --preflight     only the checks that need no build (make package
#                                           runs them before it builds)
# The version defaults to project()'s VERSION as CMake recorded it in the build tree; the
# packages go to BUILD/package unless --out names another folder; --exe packages another
# build of the program (the tests' older version).
#
# The packages are the same bytes whoever builds them, wherever and whenever: every time in
# them is the build date CMake recorded ($SOURCE_DATE_EPOCH, a source archive's date or the
# last commit's time), and the installer's codes are derived from the version and that date.
# So a checkout with uncommitted changes to tracked files is refused: its packages would carry
# the last commit's date and codes without being that commit's.
#
# The release files appear in the output folder together, once all of them (signatures
# included) are made; this version's files of an earlier run are removed first, so a failed
# run leaves none.
#
# From the environment (all optional):
#   SIGN_KEY, SIGN_CERT     PEM key and certificate: the programs are signed before they are
#                           packed, then the installer (Authenticode, SHA-256)
#   SIGN_PASS_FILE          file holding the key's pass phrase
#   SIGN_TIMESTAMP_URL      RFC 3161 time-stamp server; without one the build date is the
#                           signing time
#   RELEASE_URL             where the release files will be downloaded from
#                           (https://.../v<version>/): the winget and Scoop manifests are written
#   HOMEPAGE_URL            the project's homepage, for the manifests; derived from a GitHub
#                           RELEASE_URL (https://github.com/OWNER/REPO/releases/download/TAG/)
#                           when not given. Without one no manifest is written.
#   ALLOW_DIRTY=1           package a checkout with uncommitted changes (development builds
#                           only: nobody can rebuild such files)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# Times in the packages are UTC; file modes and sorting do not depend on who builds.
export TZ=UTC LC_ALL=C
umask 022

usage() {
    echo "usage: $0 [--version X.Y.Z.W] [--out DIR] [--exe Vintrel.exe] BUILD | --preflight" >&2
    exit 2
}

die() {
    echo "package: $*" >&2
    exit 1
}

version=""
out=""
exe_override=""
build=""
preflight=0
while [ $# -gt 0 ]; do
    case $1 in
    --preflight) preflight=1; shift ;;
    --version) version=${2:-}; shift 2 || usage ;;
    --out) out=${2:-}; shift 2 || usage ;;
    --exe) exe_override=${2:-}; shift 2 || usage ;;
    -*) usage ;;
    *) [ -z "$build" ] || usage; build=$1; shift ;;
    esac
done
[ "$preflight" = 1 ] || [ -n "$build" ] || usage

# cmake_cache BUILD_DIR NAME: a value CMake wrote into the build tree's cache.
cmake_cache() {
    sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt" 2>/dev/null
}

# name_uuid TEXT: a name-based GUID (SHA-1, in the layout of version 5): the same text always
# gives the same GUID.
name_uuid() {
    local h variant
    h=$(printf '%s' "$1" | sha1sum | cut -c1-32)
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
    [ -f "$exe" ] || die "$exe is missing: build first (make build)"
    mkdir -p "$dir"
    cp "${exe_override:-$exe}" "$dir/Vintrel.exe"
    cp "$1/packaging/closer/VintrelCloser.exe" "$dir/VintrelCloser-x86.exe"
    cp "$build/x86_64/packaging/closer/VintrelCloser.exe" "$dir/VintrelCloser-x64.exe"
    cp "$top/res/icons/Vintrel.ico" "$dir/Vintrel.ico"
    crlf "$top/LICENSE" "$dir/LICENSE.txt"
    crlf "$top/packaging/README.txt" "$dir/README.txt"
    chmod 0644 "$dir"/*
}

# sign FILE...: Authenticode signature (SHA-256) with SIGN_KEY and SIGN_CERT, in place.
sign() {
    local f args=(-certs "$SIGN_CERT" -key "$SIGN_KEY" -h sha256 -n Vintrel)
    [ -z "${SIGN_PASS_FILE:-}" ] || args+=(-readpass "$SIGN_PASS_FILE")
    if [ -n "${SIGN_TIMESTAMP_URL:-}" ]; then
        args+=(-ts "$SIGN_TIMESTAMP_URL")
    else
        args+=(-time "$date")
    fi
    for f; do
        osslsigncode sign "${args[@]}" -in "$f" -out "$f.signed" >"$f.sign.log" 2>&1 ||
            { cat "$f.sign.log" >&2; die "signing $(basename "$f") failed (osslsigncode's words above); no release file was written to $out"; }
        mv "$f.signed" "$f"
        rm -f "$f.sign.log"
    done
}

# msi ARCH STAGE_DIR OUTPUT
msi() {
    local arch=$1 dir=$2 output=$3 log upgrade product package
    upgrade=$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "$top/packaging/Vintrel.wxs")
    product=$(name_uuid "$upgrade/$version/$arch/$date")
    # Whatever differs in the files packed (a signature, another build) gives another package.
    package=$(name_uuid "$upgrade/$version/$arch/$date/$(cd "$dir" && sha256sum -- * | sha256sum)")
    log="$dir/wixl.log"
    # wixl reads the files named in the source relative to the current directory.
    if ! (cd "$dir" && wixl -a "$arch" -D Version="$version" -D ProductCode="$product" \
        -o "$output.tmp" "$top/packaging/Vintrel.wxs") >"$log" 2>&1; then
        cat "$log" >&2
        die "wixl failed for $arch"
    fi
    # msibuild leaves the package's binary streams in the current folder as well.
    (cd "$dir" && add_closer_actions "$output.tmp" && set_summary "$output.tmp" "$package") ||
        die "msibuild failed for $arch"
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

# set_summary MSI PACKAGE_CODE: the package code, and the build date as the creation and
# last-save times (wixl writes a random code and the current time). msibuild reads the
# times in the local time zone, UTC here.
set_summary() {
    local when
    when=$(date -d "@$date" '+%Y/%m/%d %H:%M:%S')
    msiinfo export "$1" _SummaryInformation | tr -d '\r' |
        awk -F'\t' -v OFS='\t' -v code="{$2}" -v when="$when" '
            NR > 3 && $1 == 9 { $2 = code }
            NR > 3 && ($1 == 12 || $1 == 13) { $2 = when }
            { printf "%s\r\n", $0 }' >_SummaryInformation.idt
    [ -s _SummaryInformation.idt ] && msibuild "$1" -i _SummaryInformation.idt
}

# zip_release STAGE_DIR OUTPUT: entries in name order, without extra fields (owner, times
# beyond the DOS one).
zip_release() {
    local dir=$1 output=$2
    rm -f "$output.tmp"
    (cd "$dir" && zip -q -X -D "$output.tmp" LICENSE.txt README.txt Vintrel.exe)
    mv "$output.tmp" "$output"
}

# msi_property MSI NAME
msi_property() {
    msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}

# homepage: HOMEPAGE_URL, or the repository of a GitHub release address; nothing otherwise.
homepage() {
    local github='^https://github\.com/([A-Za-z0-9_.-]+)/([A-Za-z0-9_.-]+)/releases/download/[^/]+$'
    if [ -n "${HOMEPAGE_URL:-}" ]; then
        echo "${HOMEPAGE_URL%/}"
    elif [[ ${RELEASE_URL%/} =~ $github ]]; then
        echo "https://github.com/${BASH_REMATCH[1]}/${BASH_REMATCH[2]}"
    fi
}

# manifests DIR: the winget and Scoop manifests of the release files just built in DIR, from
# the templates in packaging/; the hashes and codes are read from those files.
manifests() {
    local dir=$1 base=${RELEASE_URL%/}/ home
    local msi=$dir/$name-x86.msi zip=$dir/$name-x86.zip
    home=$(homepage)
    if [ -z "$home" ]; then
        echo "package: no winget or Scoop manifests written: both need the project's homepage, and" \
            "HOMEPAGE_URL is not set and RELEASE_URL is no GitHub release address" \
            "(https://github.com/OWNER/REPO/releases/download/TAG/) to derive it from" >&2
        return 0
    fi
    mkdir -p "$dir/winget" "$dir/scoop"
    local subst=(
        -e "s|@VERSION@|$version|g"
        -e "s|@HOMEPAGE@|$home|g"
        -e "s|@RELEASE_DATE@|$(date -d "@$date" +%Y-%m-%d)|g"
        -e "s|@MSI_URL@|$base$name-x86.msi|g"
        -e "s|@MSI_SHA256@|$(sha256sum "$msi" | cut -c1-64)|g"
        -e "s|@PRODUCT_CODE@|$(msi_property "$msi" ProductCode)|g"
        -e "s|@UPGRADE_CODE@|$(msi_property "$msi" UpgradeCode)|g"
        -e "s|@ZIP_URL@|$base$name-x86.zip|g"
        -e "s|@ZIP_SHA256@|$(sha256sum "$zip" | cut -c1-64)|g"
    )
    local t
    for t in "$top"/packaging/winget/*.yaml.in; do
        sed "${subst[@]}" "$t" >"$dir/winget/$(basename "$t" .in)"
    done
    sed "${subst[@]}" "$top/packaging/scoop/vintrel.json.in" >"$dir/scoop/vintrel.json"
}

# check_tree: refuses a checkout with uncommitted changes to tracked files unless ALLOW_DIRTY=1.
# Only the top of a repository counts: a source archive unpacked inside another repository
# has no changes of its own.
check_tree() {
    local changes
    command -v git >/dev/null || return 0
    # git names the top with links resolved: so is $top here, for a checkout reached through
    # a symbolic link.
    [ "$(git -C "$top" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$top" && pwd -P)" ] ||
        return 0
    changes=$(git -C "$top" status --porcelain --untracked-files=no)
    [ -n "$changes" ] || return 0
    if [ "${ALLOW_DIRTY:-}" = 1 ]; then
        echo "package: ALLOW_DIRTY=1: packaging a checkout with uncommitted changes; a development build, not to be published" >&2
        return 0
    fi
    echo "package: $top has uncommitted changes to tracked files:" >&2
    head -n 10 <<<"$changes" | sed 's/^/    /' >&2
    die "release files must be rebuildable from a commit: commit or stash the changes first, or, for a development build, set ALLOW_DIRTY=1 (make package ALLOW_DIRTY=1)"
}

command -v wixl >/dev/null || die "wixl is missing (Debian package wixl)"
command -v zip >/dev/null || die "zip is missing (Debian package zip)"
if [ -n "${SIGN_KEY:-}${SIGN_CERT:-}" ]; then
    [ -n "${SIGN_KEY:-}" ] && [ -n "${SIGN_CERT:-}" ] || die "signing needs both SIGN_KEY and SIGN_CERT"
    command -v osslsigncode >/dev/null || die "osslsigncode is missing (Debian package osslsigncode)"
fi
# The addresses go into the manifests as they are: plain characters only.
plain_url='^https?://[A-Za-z0-9._~/:%+@=-]+$'
[[ -z ${RELEASE_URL:-} || $RELEASE_URL =~ $plain_url ]] ||
    die "RELEASE_URL must be an http(s) address of plain characters, not '$RELEASE_URL'"
[[ -z ${HOMEPAGE_URL:-} || $HOMEPAGE_URL =~ $plain_url ]] ||
    die "HOMEPAGE_URL must be an http(s) address of plain characters, not '$HOMEPAGE_URL'"
check_tree
[ "$preflight" = 0 ] || exit 0
build=$(cd "$build" && pwd)
out=${out:-$build/package}

if [ -z "$version" ]; then
    version=$(cmake_cache "$build/i686" CMAKE_PROJECT_VERSION)
    [ -n "$version" ] || die "no version in $build/i686/CMakeCache.txt"
fi
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+(\.[0-9]+)?$ ]] || die "bad version $version"
date=$(cmake_cache "$build/i686" VINTREL_BUILD_DATE)
[[ $date =~ ^[0-9]+$ ]] ||
    die "no build date in $build/i686/CMakeCache.txt: build from a git checkout or a source archive, or set SOURCE_DATE_EPOCH"

mkdir -p "$out"
out=$(cd "$out" && pwd)
name="Vintrel-$version"
rm -rf "$out/$name-x86.msi" "$out/$name-x86.zip" "$out/$name-SHA256SUMS.txt" "$out/winget" "$out/scoop"
staging=$(mktemp -d "$out/.staging.XXXXXX")
trap 'rm -rf "$staging"' EXIT
new=$staging/release
mkdir "$new"

stage "$build/i686" "$staging/x86"
[ -z "${SIGN_KEY:-}" ] ||
    sign "$staging/x86/Vintrel.exe" "$staging/x86/VintrelCloser-x86.exe" "$staging/x86/VintrelCloser-x64.exe"
touch -d "@$date" "$staging/x86"/*
msi x86 "$staging/x86" "$new/$name-x86.msi"
[ -z "${SIGN_KEY:-}" ] || sign "$new/$name-x86.msi"
zip_release "$staging/x86" "$new/$name-x86.zip"
(cd "$new" && sha256sum "$name-x86.msi" "$name-x86.zip" >"$name-SHA256SUMS.txt")
[ -z "${RELEASE_URL:-}" ] || manifests "$new"
mv "$new"/* "$out"/

echo "packaged: $out/$name-x86.msi $out/$name-x86.zip$([ ! -d "$out/scoop" ] || echo " and their winget and Scoop manifests")"
