#!/usr/bin/env bash
# Builds the native fuzz harnesses (tests/fuzz/native/CMakeLists.txt) with clang and
# runs each: first every input under its regressions/ once, then libFuzzer from
# its seeds with its dictionary. Fails on any sanitizer report, crash, leak or
# input slower than 10 s; a failing input is kept under BUILD_DIR/artifacts,
# and belongs in the harness's regressions/ once the fault is mended.
#
# Usage: run-fuzz.sh BUILD_DIR [--long] [HARNESS...]
#   CI: the whole run, build included, keeps within TONQUIL_FUZZ_BUDGET seconds
#   (300), shared out evenly, at most 30 s a harness.
#   --long: TONQUIL_FUZZ_SECONDS (600) for each harness, for a developer's run.
# Exits 77 (CTest's skip) when clang or libFuzzer is missing.
set -u

here=$(cd "$(dirname "$0")" && pwd)
build=$1
shift
long=0
only=()
for argument in "$@"; do
    case $argument in
    --long) long=1 ;;
    *) only+=("$argument") ;;
    esac
done

skip() {
    echo "SKIP: $1 (scripts/setup.sh installs clang and libfuzzer-14-dev)"
    exit 77
}
command -v clang++ >/dev/null || skip "no clang++ on this machine"
echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null ||
    skip "clang++ cannot link libFuzzer"

started=$SECONDS
mkdir -p "$build"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here/native" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    "${launcher[@]}" >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log"
    exit 1
}
cmake --build "$build" -j 2 >"$build/build.log" 2>&1 || {
    cat "$build/build.log"
    exit 1
}
read -r -a harnesses <"$build/harnesses.txt"
IFS=';' read -r -a harnesses <<<"${harnesses[*]}"
[ ${#only[@]} -gt 0 ] && harnesses=("${only[@]}")
echo "Built ${#harnesses[@]} harnesses in $((SECONDS - started)) s"

if [ $long = 1 ]; then
    seconds=${TONQUIL_FUZZ_SECONDS:-600}
else
    left=$((${TONQUIL_FUZZ_BUDGET:-300} - (SECONDS - started)))
    seconds=$((left / ${#harnesses[@]} - 2))
    [ $seconds -gt 30 ] && seconds=30
    [ $seconds -lt 5 ] && seconds=5
fi

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for name in "${harnesses[@]}"; do
    program=$build/$name
    source=$here/$name
    artifacts=$build/artifacts/$name/
    corpus=$build/corpus/$name
    mkdir -p "$artifacts" "$corpus"
    regressions=()
    [ -d "$source/regressions" ] && mapfile -t regressions < <(find "$source/regressions" -type f | sort)
    if [ ${#regressions[@]} -gt 0 ] &&
        ! "$program" -runs=1 "${regressions[@]}" >"$build/$name.regressions.log" 2>&1; then
        cat "$build/$name.regressions.log"
        echo "$name: FAILED on a regression case"
        failed+=("$name")
        continue
    fi
    log=$build/$name.log
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -dict="$source/$name.dict" -artifact_prefix="$artifacts" "$corpus" "$source/seeds" \
        >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]* corp: [0-9]*' "$log" | tail -n 1)
    echo "$name: ${runs:-?} executions in $seconds s, ${coverage:-no coverage line}," \
        "${#regressions[@]} regression cases"
    if [ $status -ne 0 ] || grep -q 'ERROR: \(AddressSanitizer\|LeakSanitizer\|libFuzzer\)\|runtime error:' "$log"; then
        grep -A 40 'ERROR:\|runtime error:' "$log" | head -n 60
        echo "$name: FAILED; the input is in $artifacts (copy it into $source/regressions/)"
        failed+=("$name")
    fi
done
echo "Fuzzing took $((SECONDS - started)) s in all"
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed: ${failed[*]}"
    exit 1
fi
