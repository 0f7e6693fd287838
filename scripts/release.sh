#!/usr/bin/env bash
# The release of a tag v<version>, in the steps of .github/workflows/release.yml:
#   release.sh check TAG     the tag names the version of project() in CMakeLists.txt
#   release.sh package TAG   make package with RELEASE_URL the tag's download address on GitHub
#                            ($GITHUB_SERVER_URL/$GITHUB_REPOSITORY/releases/download/TAG/), the
#                            homepage derived from it. First unsigned: those SHA256SUMS are what
#                            anyone's make package at the tag must reproduce; they are printed
#                            and kept in BUILD/release/. Then, when the repository has the
#                            secrets SIGNING_KEY and SIGNING_CERT (PEM; SIGNING_KEY_PASSPHRASE
#                            when the key is encrypted), signed; without them the log says the
#                            release is not signed.
#   release.sh publish TAG   the GitHub release of the tag with gh (GH_TOKEN): the installer,
#                            the zip, SHA256SUMS and the winget and Scoop manifests; when the
#                            release exists (a re-run), its notes and files are replaced
# BUILD is the build folder (default build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-build}
cd "$top"

fail() {
    echo "release: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: $0 check|package|publish TAG"
step=$1 tag=$2
version=$(sed -n 's/^project(Vintrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
[ "$tag" = "v$version" ] || fail "the tag $tag does not name this commit's version: CMakeLists.txt says $version, so the tag must be v$version"
name=Vintrel-$version
release=$build/release

# say TEXT: a line of the log, and of the run's summary page when there is one.
say() {
    echo "$*"
    [ -z "${GITHUB_STEP_SUMMARY:-}" ] || echo "$*" >>"$GITHUB_STEP_SUMMARY"
}

package() {
    local url keys
    url="${GITHUB_SERVER_URL:-https://github.com}/${GITHUB_REPOSITORY:?the repository (owner/name) is not known: GITHUB_REPOSITORY}/releases/download/$tag/"
    make package BUILD="$build" RELEASE_URL="$url"
    mkdir -p "$release"
    cp "$build/package/$name-SHA256SUMS.txt" "$release/reproducible-SHA256SUMS.txt"
    say "SHA256SUMS that make package at $tag must reproduce (the unsigned files):"
    say "$(sed 's/^/    /' "$release/reproducible-SHA256SUMS.txt")"

    if [ -z "${SIGNING_KEY:-}" ] && [ -z "${SIGNING_CERT:-}" ]; then
        say "NOT SIGNED: the repository has no SIGNING_KEY and SIGNING_CERT secrets, so the release files are the unsigned ones above."
        echo "::warning::Release $tag is not signed: no SIGNING_KEY and SIGNING_CERT secrets"
        return 0
    fi
    [ -n "${SIGNING_KEY:-}" ] && [ -n "${SIGNING_CERT:-}" ] ||
        fail "only one of the secrets SIGNING_KEY and SIGNING_CERT is set: signing needs both"
    keys=$(mktemp -d)
    trap 'rm -rf "$keys"' EXIT
    (
        umask 077
        printf '%s\n' "$SIGNING_KEY" >"$keys/key.pem"
        printf '%s\n' "$SIGNING_CERT" >"$keys/cert.pem"
        [ -z "${SIGNING_KEY_PASSPHRASE:-}" ] || printf '%s' "$SIGNING_KEY_PASSPHRASE" >"$keys/pass"
    )
    local pass=()
    [ ! -f "$keys/pass" ] || pass=(SIGN_PASS_FILE="$keys/pass")
    make package BUILD="$build" RELEASE_URL="$url" SIGN_KEY="$keys/key.pem" \
        SIGN_CERT="$keys/cert.pem" "${pass[@]}"
    say "Signed with the repository's SIGNING_KEY and SIGNING_CERT. SHA256SUMS of the signed release files:"
    say "$(sed 's/^/    /' "$build/package/$name-SHA256SUMS.txt")"
}

publish() {
    local files notes
    command -v gh >/dev/null || fail "gh is missing (Debian package gh)"
    files=("$build/package/$name-x86.msi" "$build/package/$name-x86.zip"
        "$build/package/$name-SHA256SUMS.txt" "$build/package"/winget/*.yaml
        "$build/package/scoop/vintrel.json")
    for f in "${files[@]}" "$release/reproducible-SHA256SUMS.txt"; do
        [ -f "$f" ] || fail "$f is missing: run $0 package $tag first"
    done
    notes=$release/notes.md
    {
        echo "Vintrel $version: the installer (\`$name-x86.msi\`), the zip and their checksums;"
        echo "the winget and Scoop manifests of these files."
        echo
        echo "\`make package\` at $tag rebuilds the unsigned files byte for byte:"
        echo
        echo '```'
        cat "$release/reproducible-SHA256SUMS.txt"
        echo '```'
    } >"$notes"
    local repo=${GITHUB_REPOSITORY:?}
    if gh release view "$tag" --repo "$repo" >/dev/null 2>&1; then
        gh release edit "$tag" --repo "$repo" --title "Vintrel $version" --notes-file "$notes"
        gh release upload "$tag" --repo "$repo" --clobber "${files[@]}"
        say "Replaced the files of the existing release $tag: $(printf '%s ' "${files[@]##*/}")"
    else
        gh release create "$tag" --repo "$repo" --title "Vintrel $version" \
            --notes-file "$notes" "${files[@]}"
        say "Published $tag with: $(printf '%s ' "${files[@]##*/}")"
    fi
}

case $step in
check) echo "release: $tag names version $version" ;;
package) package ;;
publish) publish ;;
*) fail "unknown step '$step'" ;;
esac
