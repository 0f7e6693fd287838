#!/usr/bin/env bash
# What scripts/package.sh refuses and derives, run from a scratch repository that holds what
# it reads (so that its state can be set per row) on the programs of BUILD_ROOT: a checkout
# with uncommitted changes to tracked files is refused unless ALLOW_DIRTY=1; the manifests'
# homepage is given, derived from a GitHub release address, or the manifests are left out
# with a message. The checkout is also reached through a symbolic link, where it is the top of
# its repository all the same, for package.sh and for make dist.
# usage: package-options-test.sh BUILD_ROOT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=../package/common.sh
. "$here/../package/common.sh"

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
repo=$work/repo
mkdir -p "$repo/scripts" "$repo/res/icons" "$repo/cmake"
cp "$top/scripts/package.sh" "$top/scripts/dist.sh" "$repo/scripts/"
cp "$top/cmake/BuildDate.cmake" "$repo/cmake/"
cp "$top/CMakeLists.txt" "$repo/"
cp -r "$top/packaging" "$repo/"
cp "$top/res/icons/Vintrel.ico" "$repo/res/icons/"
cp "$top/LICENSE" "$repo/"
git -C "$repo" init -q && git -C "$repo" add -A &&
    git -C "$repo" -c user.name=t -c user.email=t@invalid commit -q -m t
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
ln -s "$repo" "$work/link"

github=https://github.com/zorerev/vintrel
# The rows: what the row is, the tree's state (clean, dirty: a tracked file changed, linked:
# the same reached through a symbolic link, untracked: a new file only), the environment, the
# exit status, a text the output must hold, the homepage the manifests must carry ("none": no manifests).
rows=(
    "a tracked file changed|dirty|-|1|has uncommitted changes to tracked files:|none"
    "a tracked file changed, the checkout reached through a link|linked|-|1|has uncommitted changes to tracked files:|none"
    "a tracked file changed, ALLOW_DIRTY=1|dirty|ALLOW_DIRTY=1|0|a development build|none"
    "a new file only|untracked|-|0||none"
    "a GitHub release address|clean|RELEASE_URL=$github/releases/download/v$version/|0||$github"
    "another address and a homepage|clean|RELEASE_URL=https://example.invalid/v$version/ HOMEPAGE_URL=https://example.invalid/vintrel|0||https://example.invalid/vintrel"
    "another address, no homepage|clean|RELEASE_URL=https://example.invalid/v$version/|0|no winget or Scoop manifests written|none"
)

# homepage_is DIR URL: both package managers' manifests in DIR name URL as the homepage.
homepage_is() {
    grep -qxF "    \"homepage\": \"$2\"," "$1/scoop/vintrel.json" &&
        grep -qxF "PackageUrl: '$2'" "$1/winget/ZOREREV.Vintrel.locale.en-US.yaml" &&
        grep -qxF "PublisherUrl: '$2'" "$1/winget/ZOREREV.Vintrel.locale.en-US.yaml"
}

n=0
for row in "${rows[@]}"; do
    IFS='|' read -r what state env want_status want_text want_home <<<"$row"
    [ "$env" != - ] || env=
    git -C "$repo" checkout -q -- . && git -C "$repo" clean -qfd
    script=$repo/scripts/package.sh
    case $state in
    dirty) echo changed >>"$repo/LICENSE" ;;
    linked) echo changed >>"$repo/LICENSE" && script=$work/link/scripts/package.sh ;;
    untracked) echo new >"$repo/notes.txt" ;;
    esac
    out=$work/out$((n += 1))
    echo "-- $what"
    # shellcheck disable=SC2086 # the row's assignments are words
    env -u ALLOW_DIRTY -u RELEASE_URL -u HOMEPAGE_URL -u SIGN_KEY -u SIGN_CERT $env \
        bash "$script" --out "$out" "$build" >"$out.log" 2>&1
    status=$?
    check "exit status $want_status (got $status)" test "$status" = "$want_status"
    [ -z "$want_text" ] || check "says '$want_text'" contains "$out.log" "$want_text"
    if [ "$want_status" = 0 ]; then
        check "the installer is built" test -s "$out/Vintrel-$version-x86.msi"
    else
        check "nothing is built" test ! -e "$out/Vintrel-$version-x86.msi"
    fi
    if [ "$want_home" = none ]; then
        check "no manifests" test ! -e "$out/scoop" -a ! -e "$out/winget"
    else
        check "the manifests' homepage is $want_home" homepage_is "$out" "$want_home"
    fi
    [ "$status" = "$want_status" ] || sed 's/^/    /' "$out.log"
done
git -C "$repo" checkout -q -- .
echo "-- make dist, the checkout reached through a link"
check "the source archive is made" bash "$work/link/scripts/dist.sh" "$work/dist"
finish
