#!/usr/bin/env bash
# Runs a Windows program of a build under Wine in that build's own prefix.
# Usage: wine-run.sh [--arch x86|x64] --prefix DIR program.exe [arguments...]
#
# x86 (the default) runs under 32-bit Wine, x64 under 64-bit Wine. The prefix
# is made once (under a lock: CTest may start two tests at once that hold no
# common resource, and the fuzz and check tests hold none), the
# wineserver is kept warm between runs, and an Xvfb of our own is started
# when there is no display.
set -u

arch=x86
if [ "${1:-}" = "--arch" ] && [ $# -ge 2 ]; then
    arch=$2
    shift 2
fi
if [ "${1:-}" != "--prefix" ] || [ $# -lt 3 ] || { [ "$arch" != x86 ] && [ "$arch" != x64 ]; }; then
    echo "usage: $0 [--arch x86|x64] --prefix DIR program.exe [arguments...]" >&2
    exit 2
fi
prefix=$(realpath -m "$2")
shift 2

. "$(dirname "$0")/lib/wine.sh"
wine_use "$arch" "$prefix"

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -n "${DISPLAY:-}" ] || wine_start_xvfb "$prefix.display"
wine_make_prefix
# A running server makes this a no-op; a new one stays warm for the next test.
setsid wineserver -p </dev/null >/dev/null 2>&1 9>&-
quiet "$WINE" wineboot
flock -u 9
exec 9>&-

exec "$WINE" "$@"
