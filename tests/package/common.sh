# Sourced by the package tests: checks that count failures instead of stopping at the first.
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# check DESCRIPTION COMMAND...: runs the command, records a failure when it fails.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        fail "$what"
    fi
}

# refute DESCRIPTION COMMAND...: records a failure when the command succeeds.
refute() {
    local what=$1
    shift
    if "$@"; then
        fail "$what"
    else
        echo "ok: $what"
    fi
}

# contains FILE TEXT: the file holds the text as a fixed string.
contains() {
    grep -qF -- "$2" "$1"
}

finish() {
    if [ "$failures" -gt 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}
