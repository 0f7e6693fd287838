#!/usr/bin/env bash
# Runs the whole suite of an already built tree N times back to back, both trees at once as
# make test runs them, and counts the runs and tests that failed: how flakes are shown gone.
#   scripts/test-loop.sh N [BUILD]
# Each run's report stays in BUILD/test-loop/run-K.log; CTEST_ARGS passes on to ctest.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:?usage: test-loop.sh N [BUILD]}
build=${2:-build}
logs="$build/test-loop"
mkdir -p "$logs"

failed_runs=0
: >"$logs/failed-tests"
for k in $(seq 1 "$runs"); do
    start=$(date +%s)
    if "$top/scripts/test.sh" "$build" >"$logs/run-$k.log" 2>&1; then
        verdict=passed
    else
        verdict=FAILED
        failed_runs=$((failed_runs + 1))
    fi
    # ctest lists a failed test as "  NUMBER - NAME (Failed)" after "The following tests FAILED:".
    tests=$(awk '/tests FAILED:/ { on = 1; next } on && /^\t *[0-9]+ - / { print $3 } !/^\t/ { on = 0 }' \
        "$logs/run-$k.log" | tr '\n' ' ')
    [ -z "$tests" ] || printf '%s\n' $tests >>"$logs/failed-tests"
    echo "run $k of $runs: $verdict in $(($(date +%s) - start)) s ${tests:+($tests)}"
done
echo "$failed_runs of $runs runs failed; failed tests: $(sort "$logs/failed-tests" | uniq -c |
    awk '{ printf "%s%s x%s", (NR > 1 ? ", " : ""), $2, $1 }')"
[ "$failed_runs" = 0 ]
