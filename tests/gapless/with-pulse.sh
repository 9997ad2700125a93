#!/usr/bin/env bash
# Runs a command beside a private PulseAudio whose only sink writes what it
# plays, on the system clock, into DIR/capture.raw (16-bit stereo at 44.1 kHz):
# a real-time capture of what Wine plays. The command sees PULSE_SERVER and
# TONQUIL_CAPTURE (DIR, ending in a slash). It may stop the server and start
# it again, as a sound device goes and comes back: it writes the file
# DIR/stop or DIR/start and waits until the file is gone (either is
# nothing when the server already is so).
# Usage: with-pulse.sh DIR command [arguments...]
set -u
dir=$(realpath -m "$1")
shift
rm -rf "$dir"
mkdir -p "$dir"
mkfifo "$dir/fifo"
cat >"$dir/capture.pa" <<CONFIG
load-module module-native-protocol-unix socket=$dir/native auth-anonymous=1
load-module module-pipe-sink sink_name=capture file=$dir/fifo format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes
set-default-sink capture
CONFIG
# Read and write: the reader sees no end of file while the server is away.
cat <>"$dir/fifo" >"$dir/capture.raw" &
reader=$!
pulse=

start_pulse() {
    [ -z "$pulse" ] || return 0
    HOME=$dir XDG_RUNTIME_DIR=$dir XDG_CONFIG_HOME=$dir \
        pulseaudio -n -F "$dir/capture.pa" --daemonize=no --exit-idle-time=-1 \
        --log-target="file:$dir/pulse.log" </dev/null >/dev/null 2>&1 &
    pulse=$!
    for _ in $(seq 100); do
        [ -S "$dir/native" ] && return 0
        sleep 0.05
    done
    return 1
}

stop_pulse() {
    [ -n "$pulse" ] || return 0
    kill "$pulse" 2>/dev/null
    wait "$pulse" 2>/dev/null
    pulse=
    rm -f "$dir/native"
}

status=1
if start_pulse; then
    PULSE_SERVER="unix:$dir/native" TONQUIL_CAPTURE="$dir/" "$@" &
    command=$!
    while kill -0 "$command" 2>/dev/null; do
        if [ -e "$dir/stop" ]; then
            stop_pulse
            rm -f "$dir/stop"
        fi
        if [ -e "$dir/start" ]; then
            start_pulse
            rm -f "$dir/start"
        fi
        sleep 0.05
    done
    wait "$command"
    status=$?
else
    echo "PulseAudio did not start: see $dir/pulse.log" >&2
fi
stop_pulse
kill "$reader" 2>/dev/null
wait "$reader" 2>/dev/null
exit $status
