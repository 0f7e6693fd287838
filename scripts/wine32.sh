#!/usr/bin/env bash
# Builds the private Wine that runs the shipped i686 program: Debian's i386 packages of
# exactly the installed wine64 version (the 32-bit half), plus that version's own amd64
# wine64 and libwine (the 64-bit half), downloaded with a private apt configuration and
# unpacked with dpkg -x into a cache folder outside the source tree. The 64-bit half is a
# copy of the system's: a 64-bit Wine process looks for the 32-bit loader only beside its
# own, so msiexec, start.exe or wineboot can start 32-bit programs only from such a tree.
# Nothing is installed system-wide: no foreign dpkg architecture, no :i386 package, no
# binfmt handler; the system's wine stays as it is.
#   wine32.sh            builds the tree when it is missing; prints nothing when it is there
#   wine32.sh --print    prints the tree's folder (building it first when needed)
# The cache folder is $VINTREL_CACHE (default ~/.cache/vintrel); the tree is keyed by the
# Wine version and reused by every build.
set -euo pipefail

fail() {
    echo "wine32: $*" >&2
    exit 1
}

version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) ||
    fail "step 'find Wine version': wine64 is not installed"
cache=${VINTREL_CACHE:-${XDG_CACHE_HOME:-${HOME:-/var/tmp}/.cache}/vintrel}
tree="$cache/wow64-${version//[^A-Za-z0-9.+-]/_}"

packages=(
    "wine32=$version" "libwine=$version" "wine32-preloader=$version" fonts-wine libz-mingw-w64
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1
    libxxf86vm1 libgnutls30
)
# Only these: their dependencies are the system's wine64's own. The preloader, as for the
# system's wine64 (deps.sh).
packages64=("wine64:amd64=$version" "libwine:amd64=$version" "wine64-preloader:amd64=$version")

# The system's apt sources, each line or stanza limited to i386.
write_sources() {
    local out=$1 f n=0
    : >"$out/sources.list"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -nE 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?/deb [arch=i386,amd64] /p' "$f" \
            >>"$out/sources.list"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        n=$((n + 1))
        awk 'BEGIN { IGNORECASE = 1 }
            /^Architectures:/ { next }
            /^Types:/ { print; print "Architectures: i386 amd64"; next }
            { print }' "$f" >"$out/sources.list.d/$n.sources"
    done
    grep -q . "$out/sources.list" || ls "$out/sources.list.d/"*.sources >/dev/null 2>&1 ||
        fail "step 'read apt sources': no Debian mirror configured in /etc/apt"
}

build_tree() {
    local work="$tree.part"
    rm -rf "$work"
    mkdir -p "$work/apt/state/lists/partial" "$work/apt/cache/archives/partial" \
        "$work/apt/sources.list.d" "$work/tree"
    : >"$work/apt/state/status"
    write_sources "$work/apt"
    cat >"$work/apt/apt.conf" <<EOF
APT::Architecture "i386";
APT::Architectures { "i386"; "amd64"; };
Dir::State "$work/apt/state";
Dir::State::status "$work/apt/state/status";
Dir::Cache "$work/apt/cache";
Dir::Etc::SourceList "$work/apt/sources.list";
Dir::Etc::SourceParts "$work/apt/sources.list.d";
Dir::Etc::Preferences "/dev/null";
Dir::Etc::PreferencesParts "/nonexistent";
APT::Install-Recommends "false";
EOF
    export APT_CONFIG="$work/apt/apt.conf"
    echo "wine32: downloading Wine $version for 32-bit programs (about 250 MB, once per machine)" >&2
    # A mirror in the middle of a sync serves lists that do not match their index ("File has
    # unexpected size"); it is whole again a little later. A list that stays broken (a stale
    # proxy) is left out: the download below names any package it then cannot find.
    local try
    for try in 1 2 3; do
        apt-get update -qq >"$work/update.log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' \
            "$work/update.log" && break
        if [ "$try" = 3 ]; then
            grep '^[EW]: Failed to fetch' "$work/update.log" >&2
            echo "wine32: going on without the lists above" >&2
            break
        fi
        echo "wine32: the mirror's lists did not match (try $try of 3); again in $((try * 20)) s" >&2
        sleep $((try * 20))
    done
    ls "$work/apt/state/lists/"*_Packages* >/dev/null 2>&1 ||
        { cat "$work/update.log" >&2; fail "step 'apt-get update' (i386 lists) failed"; }
    apt-get install -d -y -qq "${packages[@]}" >"$work/download.log" 2>&1 ||
        { tail -n 20 "$work/download.log" "$work/update.log" >&2
          fail "step 'download i386 packages' failed"; }
    (cd "$work/apt/cache/archives" && apt-get download -qq "${packages64[@]}") \
        >>"$work/download.log" 2>&1 ||
        { tail -n 20 "$work/download.log" >&2; fail "step 'download amd64 wine64' failed"; }
    local deb
    for deb in "$work/apt/cache/archives/"*.deb; do
        dpkg -x "$deb" "$work/tree" || fail "step 'unpack $(basename "$deb")' failed"
    done
    [ -x "$work/tree/usr/lib/wine/wine" ] && [ -x "$work/tree/usr/lib/wine/wine64" ] ||
        fail "step 'unpack': no Wine loaders in the tree"
    finish_tree "$work/tree"
    rm -rf "$tree"
    mv "$work/tree" "$tree"
    rm -rf "$work"
    touch "$tree/.vintrel-ready-6"
}

# The 32-bit `wine` and `wine-preloader`, through which every 32-bit process starts, become
# scripts that run the real ones natively or under qemu-i386, as VINTREL_WINE32_MODE (native
# or qemu) says.
finish_tree() {
    local t=$1 dir
    mv "$t/usr/lib/wine/wine" "$t/usr/lib/wine/wine.bin"
    # A 32-bit Wine process starts 64-bit ones through its own loader's name with "64" added.
    ln -s wine64 "$t/usr/lib/wine/wine.bin64"
    mv "$t/usr/lib/wine/wine-preloader" "$t/usr/lib/wine/wine-preloader.real"
    : >"$t/etc/ld.so.conf"
    for dir in lib/i386-linux-gnu usr/lib/i386-linux-gnu; do
        [ -d "$t/$dir" ] && echo "/$dir" >>"$t/etc/ld.so.conf"
    done
    ldconfig -r "$t" 2>/dev/null || true
    builtin_zlib "$t/usr/i686-w64-mingw32/lib/zlib1.dll" \
        "$t/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
    builtin_zlib "$t/usr/i686-w64-mingw32/lib/zlib1.dll" \
        "$t/usr/lib/x86_64-linux-gnu/wine/i386-windows/zlib1.dll"
    builtin_zlib "$t/usr/x86_64-w64-mingw32/lib/zlib1.dll" \
        "$t/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/zlib1.dll"
    write_starters "$t"
}

# The starter scripts of the tree, written again whenever they change; each replaces the old
# at once (a run beside this one may be starting a process through it).
write_starters() {
    local t=$1 name
    {
        starter_head
        echo 'start "$here/wine.bin" "$@"'
    } >"$t/usr/lib/wine/wine.new"
    {
        starter_head
        cat <<'EOF'
# Called as: wine-preloader LOADER ARGS...; the loader may be named by its starter script.
loader=$1
shift
case $loader in */wine) loader=$loader.bin ;; esac
start "$loader" "$@"
EOF
    } >"$t/usr/lib/wine/wine-preloader.new"
    for name in wine wine-preloader; do
        chmod +x "$t/usr/lib/wine/$name.new"
        mv -f "$t/usr/lib/wine/$name.new" "$t/usr/lib/wine/$name"
    done
    touch "$t/.vintrel-starters-2"
}

# Wine's own DLLs need zlib1.dll beside them, marked as a Wine builtin; the package's
# configure step makes it, which dpkg -x does not run.
builtin_zlib() {
    [ -f "$1" ] || fail "step 'unpack': no zlib1.dll from libz-mingw-w64"
    {
        head -c 64 "$1"
        printf 'Wine builtin DLL'
        head -c 16 /dev/zero
        tail -c +97 "$1"
    } >"$2"
}

starter_head() {
    cat <<'EOF'
#!/bin/sh
# Starts a 32-bit Wine process natively or under qemu-i386, as VINTREL_WINE32_MODE says.
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/../../.." && pwd)
# Natively the kernel starts the loader the programs name, the system's /lib/ld-linux.so.2
# (libc6-i386), and a loader works only with the C library of its own build: the system's
# 32-bit C library comes before the tree's, which is for qemu-i386 with the tree's loader.
system=""
[ -e /lib/ld-linux.so.2 ] && system="$(dirname "$(readlink -f /lib/ld-linux.so.2)"):"
libs="$system$tree/lib/i386-linux-gnu:$tree/usr/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
# Without a choice: native where this kernel runs the 32-bit loader.
if [ -z "${VINTREL_WINE32_MODE:-}" ]; then
    VINTREL_WINE32_MODE=qemu
    LD_LIBRARY_PATH=$libs "$here/wine.bin" --version >/dev/null 2>&1 && VINTREL_WINE32_MODE=native
    export VINTREL_WINE32_MODE
fi
start() {
    if [ "$VINTREL_WINE32_MODE" = qemu ]; then
        WINELOADERNOEXEC=1 exec qemu-i386 -L "$tree" "$@"
    fi
    LD_LIBRARY_PATH=$libs
    export LD_LIBRARY_PATH
    case $(basename "$0") in
    wine-preloader) exec "$here/wine-preloader.real" "$@" ;;
    *) exec "$@" ;;
    esac
}
EOF
}

[ -f "$tree/.vintrel-ready-6" ] || build_tree
[ -f "$tree/.vintrel-starters-2" ] || write_starters "$tree"
[ "${1:-}" != --print ] || echo "$tree"
