#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test (the
# include check of the folders among them) under Wine:
# the 32-bit build, or the x64 build where 32-bit programs cannot start here
# (or TONQUIL_TEST_ARCH=x64 says so).
set -eu
cd "$(dirname "$0")/.."
. scripts/lib/build.sh
tonquil_build
tonquil_arch_line
status=0
retries=$BUILD_DIR/test-retries.log
rm -f "$retries"
ctest --preset "$PRESET" || status=$?
scripts/stop-wine.sh "$BUILD_DIR"
tonquil_arch_line
# Only cases that capture sound in real time are ever run twice.
if [ -s "$retries" ]; then
    echo "Tonquil: $(wc -l <"$retries") capture case(s) retried:"
    sed 's/^/  /' "$retries"
else
    echo "Tonquil: no test case retried."
fi
exit $status
