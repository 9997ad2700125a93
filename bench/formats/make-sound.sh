#!/usr/bin/env bash
# Makes the formats benchmark's sound in DIR: a minute of pink noise as
# formats-minute.<ext> for every format the benchmark measures, and with
# --hour also an hour of music-like sound as formats-hour.<ext>.
# Usage: make-sound.sh DIR [--hour]
set -eu
dir=$1
hour=${2:-}
mkdir -p "$dir"
cd "$dir"

encode() { # source wav, base name
    lame --quiet -b 192 "$1" "$2.mp3"
    twolame --quiet "$1" "$2.mp2"
    ffmpeg -v error -y -i "$1" -c:a libopus -b:a 128k "$2.opus"
    java -jar /usr/share/java/jmac.jar c2 "$1" "$2.ape" >/dev/null 2>&1
    ffmpeg -v error -y -i "$1" -c:a alac "$2.mp4"
    oggenc -Q -q 4 -o "$2.ogg" "$1"
    flac -s -f -o "$2.flac" "$1" 2>/dev/null
    ffmpeg -v error -y -i "$1" -c:a tta "$2.tta"
    ffmpeg -v error -y -i "$1" -c:a aac -b:a 192k "$2.m4a"
    ffmpeg -v error -y -i "$1" -c:a aac -b:a 192k "$2.aac"
    ffmpeg -v error -y -i "$1" -c:a wmav2 -b:a 192k "$2.wma"
}

sox -V1 -R -r 44100 -c 2 -n -b 16 -t wavpcm minute.wav synth 60 pinknoise vol 0.5
encode minute.wav formats-minute
rm -f minute.wav
if [ "$hour" = --hour ]; then
    sox -V1 -R -r 44100 -c 2 -n -b 16 -t wavpcm hour.wav synth 3600 sine 220-880 sine 330 pinknoise vol 0.4
    encode hour.wav formats-hour
    rm -f hour.wav
fi
touch formats-sound.stamp
