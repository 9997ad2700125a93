#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the build's own prefix.
# Usage: wine-run.sh --prefix DIR program.exe [arguments...]
#
# The prefix is made once (under a lock, since CTest runs tests in parallel),
# the wineserver is kept warm between runs, and an Xvfb of our own is started
# when there is no display. Every helper is started with its standard streams
# on /dev/null: otherwise Wine's service processes inherit the caller's pipes
# and CTest waits for them to exit.
set -u

if [ "${1:-}" != "--prefix" ] || [ $# -lt 3 ]; then
    echo "usage: $0 --prefix DIR program.exe [arguments...]" >&2
    exit 2
fi
prefix=$(realpath -m "$2")
shift 2

export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

quiet() { "$@" </dev/null >/dev/null 2>&1; }

start_display() {
    local state="$prefix.display" pid num
    if [ -f "$state" ]; then
        read -r pid num <"$state"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$num"
            return
        fi
    fi
    local numfile
    numfile=$(mktemp)
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        [ -s "$numfile" ] && break
        sleep 0.05
    done
    num=$(tr -dc 0-9 <"$numfile")
    rm -f "$numfile"
    echo "$pid $num" >"$state"
    export DISPLAY=":$num"
}

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -n "${DISPLAY:-}" ] || start_display
ready="$prefix/.tonquil-prefix-4"
if [ ! -f "$ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    quiet wineserver -p
    quiet wine wineboot -i
    # A crashing program must end at once, not wait in the debugger that Wine
    # would start for it (a test run would hang until its time-out): the
    # "debugger" here exits straight away and the program is ended.
    quiet wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /t REG_SZ /d 'cmd.exe /c exit' /f
    # With no window manager on the display, Wine waits two seconds for one
    # each time it hides or destroys a top-level window; windows it does not
    # hand to a window manager spare that wait.
    quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    quiet wineserver -k
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null
    touch "$ready"
fi
# A running server makes this a no-op; a new one stays warm for the next test.
setsid wineserver -p </dev/null >/dev/null 2>&1
quiet wine wineboot
flock -u 9
exec 9>&-

exec wine "$@"
