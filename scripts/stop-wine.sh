#!/usr/bin/env bash
# Ends the warm wineserver and the Xvfb that the test runner kept for a build.
# Usage: stop-wine.sh BUILD_DIR
set -u
. "$(dirname "$0")/lib/wine.sh"
prefix=$(realpath -m "${1:-build}/wineprefix")
WINEPREFIX="$prefix" quiet wineserver -k
wine_stop_xvfb "$prefix.display"
exit 0
