#!/usr/bin/env bash
# Runs a GoogleTest executable (behind any wrapper command it needs) and, when
# it fails, runs each failed case that captures sound in real time once more,
# alone. Only such a case may pass on its second run: a loaded machine can
# spoil a real-time capture. Any other failed case, a crash, or a capture case
# that fails twice fails the test. Each retry is printed with its reason and
# noted, one line, in LOG.
# Usage: retry-capture.sh NAME CAPTURE_CASES LOG command [arguments...]
#   CAPTURE_CASES: the cases that may be retried, as for --gtest_filter
#   (Suite.*:Other.Case).
set -u
name=$1 capture_cases=$2 log=$3
shift 3
output=$(mktemp)
trap 'rm -f "$output"' EXIT

"$@" 2>&1 | tee "$output"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] && exit 0

is_capture_case() {
    local pattern patterns
    IFS=: read -ra patterns <<<"$capture_cases"
    for pattern in "${patterns[@]}"; do
        # shellcheck disable=SC2053 # the pattern is a glob
        [[ $1 == $pattern ]] && return 0
    done
    return 1
}

# The first failure message of the case, on one line.
reason() {
    awk -v run="[ RUN      ] $1" -v failed="[  FAILED  ] $1" '
        $0 == run { inside = 1; next }
        index($0, failed) == 1 { exit }
        inside && /Failure$/ { taking = 4 }
        inside && taking > 0 { printf "%s ", $0; --taking }' "$output" | tr -s ' ' | sed 's/ *$//'
}

mapfile -t failed < <(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_/]*\.[A-Za-z0-9_/]*\).*/\1/p' \
    "$output" | sort -u)
if [ ${#failed[@]} -eq 0 ]; then
    echo "$name: ended with $status and no failed case listed (a crash or a time-out): no retry"
    exit "$status"
fi
for case in "${failed[@]}"; do
    if ! is_capture_case "$case"; then
        echo "$name: $case failed and does not capture sound: no retry"
        exit "$status"
    fi
done
for case in "${failed[@]}"; do
    why=$(reason "$case")
    echo "$name: retrying $case, which failed: $why"
    "$@" --gtest_filter="$case" 2>&1
    again=$?
    outcome="passed on its second run"
    [ "$again" -eq 0 ] || outcome="failed again"
    echo "retry: $name $case ($why): $outcome" | tee -a "$log"
    [ "$again" -eq 0 ] || exit "$again"
done
exit 0
