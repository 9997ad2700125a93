#!/usr/bin/env bash
# Makes the gapless test's tracks in DIR with sox and lame: a stereo sweep at
# 44.1 kHz (whole.raw) cut at two odd frame counts into piece-1..3, each as
# WAV (piece-N.wav, its samples in piece-N.raw) and as MP3 (piece-N.mp3, what
# lame --decode makes of it in piece-N.mp3.raw), and a 48 kHz sweep
# (other.wav) for a change of format; and six seconds of tone (long.wav) that
# a sound server can go away in the middle of.
# Usage: make-pieces.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"

# A sweep, not a steady tone: a gap or a repeat of any length changes it.
sox -V1 -r 44100 -c 2 -n -b 16 whole.wav synth 2.4 sine 200:2000 sine 300:1500 vol 0.5
sox -V1 whole.wav -t raw whole.raw
cuts=("0 37193s" "37193s 40111s" "77304s")
for n in 1 2 3; do
    # shellcheck disable=SC2086
    sox -V1 whole.wav "piece-$n.wav" trim ${cuts[$((n - 1))]}
    sox -V1 "piece-$n.wav" -t raw "piece-$n.raw"
    lame --quiet -b 256 "piece-$n.wav" "piece-$n.mp3"
    lame --quiet --decode "piece-$n.mp3" "piece-$n.mp3.wav"
    sox -V1 "piece-$n.mp3.wav" -t raw "piece-$n.mp3.raw"
    rm -f "piece-$n.mp3.wav"
done
sox -V1 -r 48000 -c 2 -n -b 16 other.wav synth 1.0 sine 500:900 sine 700:1100 vol 0.5
sox -V1 -r 44100 -c 2 -n -b 16 long.wav synth 6.0 sine 440 vol 0.5
rm -f whole.wav
touch pieces.stamp
