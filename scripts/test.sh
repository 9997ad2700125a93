#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -- --no-print-directory -s
status=0
ctest --preset mingw || status=$?
scripts/stop-wine.sh build
exit $status
