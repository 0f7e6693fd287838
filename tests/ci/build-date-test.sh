#!/usr/bin/env bash
# Where a build's date comes from (cmake/BuildDate.cmake), in order: $SOURCE_DATE_EPOCH, the
# date a source archive records, the last commit only where the source folder is the top of
# its own repository.
# usage: build-date-test.sh
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=../package/common.sh
. "$here/../package/common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH

# repo DIR DATE: a repository at DIR whose one commit is dated DATE.
repo() {
    mkdir -p "$1" && git -C "$1" init -q && echo x >"$1/file" && git -C "$1" add file &&
        GIT_COMMITTER_DATE="@$2 +0000" git -C "$1" -c user.name=t -c user.email=t@invalid \
            commit -q -m t
}
repo "$work/enclosing" 1700000000
repo "$work/own" 1750000000
mkdir -p "$work/enclosing/unpacked" "$work/enclosing/archive" "$work/elsewhere"
echo 1760000000 >"$work/enclosing/archive/SOURCE_DATE_EPOCH"
echo 1760000000 >"$work/elsewhere/SOURCE_DATE_EPOCH"

# The rows: what is set, the source folder, the date it must give ("" for none).
rows=(
    "-|own|1750000000"
    "-|elsewhere|1760000000"
    "-|enclosing/archive|1760000000"
    "-|enclosing/unpacked|"
    "SOURCE_DATE_EPOCH=1234567890|own|1234567890"
    "SOURCE_DATE_EPOCH=1234567890|enclosing/archive|1234567890"
)
for row in "${rows[@]}"; do
    IFS='|' read -r env dir want <<<"$row"
    [ "$env" != - ] || env=
    got=$(env $env cmake -DSOURCE_DIR="$work/$dir" -P "$top/cmake/BuildDate.cmake")
    check "${env:-nothing set}, $dir: date '${want}' (got '$got')" test "$got" = "$want"
done
finish
