#!/usr/bin/env bash
# Runs a make target in a fresh clone of the last commit inside a Debian 13 (trixie) tree,
# as a contributor with a fresh Debian 13 machine would: the target does its own set-up
# there (deps.sh, wine32.sh).
#   debian13.sh [TARGET]     TARGET defaults to test; the exit status is make's
# The tree is made once with debootstrap (about 4 minutes) and reused; the clone is made
# afresh at every run. Its folder is $VINTREL_DEBIAN13 (default debian13 in the cache
# folder, ~/.cache/vintrel). Needs root (or sudo): debootstrap, mounts and chroot.
# This machine's extra CA certificates (/usr/local/share/ca-certificates) are handed on to
# the tree, and the mirror is the one this machine's apt uses ($VINTREL_DEBIAN_MIRROR).
set -euo pipefail

fail() {
    echo "debian13: $*" >&2
    exit 1
}

target=${1:-test}
top=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$top" rev-parse HEAD) || fail "step 'find commit': $top is not a git checkout"
cache=${VINTREL_CACHE:-${XDG_CACHE_HOME:-${HOME:-/var/tmp}/.cache}/vintrel}
tree=${VINTREL_DEBIAN13:-$cache/debian13}

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=VINTREL_CACHE,VINTREL_DEBIAN13,VINTREL_DEBIAN_MIRROR \
        VINTREL_CACHE="$cache" VINTREL_DEBIAN13="$tree" "$0" "$@"
fi

# The first Debian mirror this machine's apt uses.
mirror() {
    local m
    m=${VINTREL_DEBIAN_MIRROR:-$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }')}
    [ -n "$m" ] || m=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }')
    echo "${m:-http://deb.debian.org/debian}"
}

make_tree() {
    local part="$tree.part" need=()
    command -v debootstrap >/dev/null || need+=(debootstrap)
    [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] || need+=(debian-archive-keyring)
    if [ ${#need[@]} -gt 0 ]; then
        echo "Installing: ${need[*]}"
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
            --no-install-recommends "${need[@]}"; } >/dev/null ||
            fail "step 'install ${need[*]}' failed"
    fi
    echo "debian13: making the Debian 13 tree in $tree (once)"
    rm -rf "$part"
    mkdir -p "$part"
    debootstrap --variant=minbase --include=ca-certificates,git,make \
        --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
        trixie "$part" "$(mirror)" >"$part.log" 2>&1 ||
        { tail -n 20 "$part.log" >&2; fail "step 'debootstrap trixie' failed (log: $part.log)"; }
    rm -f "$part.log"
    mv "$part" "$tree"
    touch "$tree/.vintrel-ready"
}

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" 2>/dev/null || true
    done
    mounted=()
}

# proc, sys and dev of this machine inside the tree; unmounting them there must not reach
# this machine's own, hence rslave.
mount_all() {
    local d
    for d in proc sys dev; do
        mkdir -p "$tree/$d"
        mountpoint -q "$tree/$d" && continue
        mount --rbind "/$d" "$tree/$d"
        mounted+=("$tree/$d")
        mount --make-rslave "$tree/$d"
    done
}

[ -f "$tree/.vintrel-ready" ] || make_tree
trap unmount_all EXIT
trap 'exit 130' INT TERM
mount_all
cp -L /etc/resolv.conf "$tree/etc/resolv.conf"
mkdir -p "$tree/usr/local/share/ca-certificates"
cp -r /usr/local/share/ca-certificates/. "$tree/usr/local/share/ca-certificates/" 2>/dev/null || true
chroot "$tree" update-ca-certificates >/dev/null 2>&1 || fail "step 'update-ca-certificates' failed"

clone=/root/vintrel
rm -rf "${tree:?}$clone"
git clone -q --no-local --no-checkout "$top" "$tree$clone" || fail "step 'clone' failed"
git -C "$tree$clone" -c advice.detachedHead=false checkout -q "$commit" ||
    fail "step 'check out $commit' failed"
echo "debian13: make $target in a fresh clone of ${commit:0:7}"
set +e
chroot "$tree" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    sh -c 'cd "$1" && exec make "$2"' sh "$clone" "$target"
status=$?
set -e
exit "$status"
