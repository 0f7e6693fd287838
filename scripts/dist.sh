#!/usr/bin/env bash
# make dist: the source archive of the last commit, BUILD/dist/vintrel-<version>.tar.gz, for
# packagers who build without git. It holds the commit's tracked files under
# vintrel-<version>/, in name order, every entry dated the build date and owned by root, plus
# the file SOURCE_DATE_EPOCH with that date (cmake/BuildDate.cmake reads it), so that the
# programs and packages built from it are byte for byte those built from the commit.
# usage: scripts/dist.sh [BUILD]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C TZ=UTC
mkdir -p "${1:-build}"
build=$(cd "${1:-build}" && pwd)

die() {
    echo "dist: $*" >&2
    exit 1
}

# git names the top with links resolved, even for a checkout reached through a symbolic link.
[ "$(git -C "$top" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$top" && pwd -P)" ] ||
    die "$top is not the top of a git checkout: the archive is made from its last commit"
commit=$(git -C "$top" rev-parse HEAD)
[ -z "$(git -C "$top" status --porcelain --untracked-files=no)" ] ||
    echo "dist: uncommitted changes are left out: the archive holds the last commit, ${commit:0:12}" >&2
version=$(git -C "$top" show HEAD:CMakeLists.txt |
    sed -n 's/^project(Vintrel VERSION \([0-9.]*\).*/\1/p')
[ -n "$version" ] || die "no version in the commit's CMakeLists.txt"
date=$(cmake -DSOURCE_DIR="$top" -P "$top/cmake/BuildDate.cmake")
[[ $date =~ ^[0-9]+$ ]] || die "no build date for $top"

name=vintrel-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
git -C "$top" archive --format=tar --prefix="$name/" "$commit" | tar -x -C "$stage"
echo "$date" >"$stage/$name/SOURCE_DATE_EPOCH"

mkdir -p "$build/dist"
out=$build/dist/$name.tar.gz
(cd "$stage" && find "$name" -print0 | sort -z |
    tar --null --no-recursion --format=gnu --mtime="@$date" --owner=0 --group=0 \
        --numeric-owner --mode='u+w,go-w,a+rX' -cf - -T -) | gzip -n -9 >"$out.tmp"
mv "$out.tmp" "$out"
echo "dist: $out ($(tar -tzf "$out" | grep -vc '/$') files of ${commit:0:12}, dated $(date -d "@$date" '+%Y-%m-%d %H:%M:%S UTC'))"
