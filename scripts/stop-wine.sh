#!/usr/bin/env bash
# Ends the warm wineserver and the Xvfb that the test runner kept for a build.
# Usage: stop-wine.sh BUILD_DIR
set -u
prefix=$(realpath -m "${1:-build}/wineprefix")
WINEPREFIX="$prefix" wineserver -k </dev/null >/dev/null 2>&1
if [ -f "$prefix.display" ]; then
    read -r pid _ <"$prefix.display"
    kill "$pid" 2>/dev/null
    rm -f "$prefix.display"
fi
exit 0
