#!/usr/bin/env bash
# Runs a command beside a private PulseAudio whose only sink writes what it
# plays, on the system clock, into DIR/capture.raw (16-bit stereo at 44.1 kHz):
# a real-time capture of what Wine plays. The command sees PULSE_SERVER and
# TONQUIL_CAPTURE (DIR, ending in a slash).
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
cat "$dir/fifo" >"$dir/capture.raw" &
reader=$!
HOME=$dir XDG_RUNTIME_DIR=$dir XDG_CONFIG_HOME=$dir \
    pulseaudio -n -F "$dir/capture.pa" --daemonize=no --exit-idle-time=-1 \
    --log-target="file:$dir/pulse.log" </dev/null >/dev/null 2>&1 &
pulse=$!
for _ in $(seq 100); do
    [ -S "$dir/native" ] && break
    sleep 0.05
done
status=1
if [ -S "$dir/native" ]; then
    PULSE_SERVER="unix:$dir/native" TONQUIL_CAPTURE="$dir/" "$@"
    status=$?
else
    echo "PulseAudio did not start: see $dir/pulse.log" >&2
fi
kill "$pulse" 2>/dev/null
wait "$pulse" 2>/dev/null
kill "$reader" 2>/dev/null
wait "$reader" 2>/dev/null
exit $status
