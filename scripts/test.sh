#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset mingw >/dev/null
# Quiet when all is well; the whole log when the build fails.
cmake --build --preset mingw >build/build.log 2>&1 || { cat build/build.log; exit 1; }
status=0
ctest --preset mingw || status=$?
scripts/stop-wine.sh build
exit $status
