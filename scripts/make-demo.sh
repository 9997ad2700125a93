#!/usr/bin/env bash
# Fills DIR (the folder tonquil.exe runs in) with a small demo: five short
# tracks made here with sox and lame, oggenc and flac (MP3, Ogg Vorbis, FLAC),
# tagged with artist and title, the playlist tonquil.m3u naming them by their
# Windows path (drive Z:), and a tonquil.ini that starts playing at once and
# shows artist and title.
# Writes only what is missing, so edits to DIR survive the next run.
# Usage: make-demo.sh DIR
set -eu
dir=$(cd "${1:?usage: make-demo.sh DIR}" && pwd)
. "$(dirname "$0")/lib/tone.sh"

# name|title|sox synth arguments
tracks=(
    "01-morning.mp3|Morning Chord|sine 261.6 sine 329.6 sine 392.0"
    "02-drift.mp3|Drift|sine 220-440 sine 330-660"
    "03-tide.mp3|Tide|pinknoise tremolo 0.5 80"
    "04-harbour.ogg|Harbour Lights|sine 196.0 sine 293.7 sine 392.0 tremolo 3 40"
    "05-lantern.flac|Lantern|sine 349.2-174.6 sine 523.3"
)

for track in "${tracks[@]}"; do
    IFS='|' read -r name title synth <<<"$track"
    [ -f "$dir/$name" ] && continue
    wav=$(mktemp --suffix=.wav)
    # shellcheck disable=SC2086 # the synth arguments are words
    tone_wav "$wav" 6 $synth vol 0.3 fade 0.3 6 0.8
    case $name in
    *.ogg) oggenc -Q -t "$title" -a "Tonquil Demo" -l "Made by make-demo.sh" -o "$dir/$name" "$wav" ;;
    *.flac)
        flac -s -f -T "TITLE=$title" -T "ARTIST=Tonquil Demo" -T "ALBUM=Made by make-demo.sh" \
            -o "$dir/$name" "$wav"
        ;;
    *)
        wav_to_mp3 "$wav" "$dir/$name" --tt "$title" --ta "Tonquil Demo" \
            --tl "Made by make-demo.sh" --add-id3v2
        ;;
    esac
    rm -f "$wav"
done

if [ ! -f "$dir/tonquil.m3u" ]; then
    windows_dir="Z:${dir//\//\\}"
    for track in "${tracks[@]}"; do
        printf '%s\\%s\r\n' "$windows_dir" "${track%%|*}"
    done | iconv -f UTF-8 -t WINDOWS-1252 >"$dir/tonquil.m3u"
fi

if [ ! -f "$dir/tonquil.ini" ]; then
    printf '[Client]\r\nPlayRun=1\r\nShowInfo=2\r\n' >"$dir/tonquil.ini"
fi
