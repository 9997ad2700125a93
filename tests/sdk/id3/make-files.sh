#!/usr/bin/env bash
# Makes the ID3 reader's test files in DIR, each with what Mutagen reads from
# it (expected-texts.py):
#   taggers/*.mp3: one short MP3 per tagger Debian ships, each naming a
#     Japanese artist and a title longer than ID3v1's 30 bytes;
#   taglib/*: the test files of Debian's taglib source package, fetched once
#     with apt-get source and kept in DIR/taglib-source;
#   taggers.expected, taglib.expected: one line per file that carries a title.
# Usage: make-files.sh DIR
set -eu
dir=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir/taggers" "$dir/taglib" "$dir/taglib-source"
cd "$dir"

artist='凪のうたびと'
title() { echo "凪の歌 (Nagi no Uta, the long version) by $1"; }

sox -V1 -n -r 44100 -c 2 -b 16 tone.wav synth 1.5 sine 523 vol 0.5
lame --quiet -b 128 tone.wav tone.mp3
# A cover of some kilobytes: its frame's size needs more than one byte.
convert -size 64x64 plasma:fractal -seed 29 cover.png 2>/dev/null ||
    convert -size 64x64 xc:gray +noise Random cover.png
tagged() { cp tone.mp3 "taggers/$1.mp3"; echo "taggers/$1.mp3"; }

eyeD3 --quiet --to-v2.3 -a "$artist" -t "$(title 'eyeD3 v2.3')" \
    --add-image cover.png:FRONT_COVER "$(tagged eyed3-v2.3)" >/dev/null
eyeD3 --quiet --to-v2.4 --encoding utf16-be -a "$artist" -t "$(title 'eyeD3 v2.4')" \
    --add-image cover.png:FRONT_COVER "$(tagged eyed3-v2.4)" >/dev/null
kid3-cli -c "set artist '$artist'" -c "set title '$(title kid3-cli)'" "$(tagged kid3-cli)"
# id3lib writes single-byte text only: Shift_JIS, as Japanese Windows taggers
# did, with the ID3v1 tag beside it.
id3v2 -a "$(echo -n "$artist" | iconv -t CP932)" -t "$(title id3v2 | iconv -t CP932)" \
    "$(tagged id3v2)"
mid3v2 -a "$artist" -t "$(title mid3v2)" "$(tagged mid3v2)"
for version in 3 4; do
    ffmpeg -v error -y -i tone.mp3 -i cover.png -map 0 -map 1 -c copy -id3v2_version $version \
        -metadata artist="$artist" -metadata title="$(title "ffmpeg v2.$version")" \
        -metadata:s:v comment="Cover (front)" "taggers/ffmpeg-v2.$version.mp3"
done
lame --quiet -b 128 --tt "$(title lame)" --ta "$artist" --ti cover.png tone.wav taggers/lame.mp3

if [ ! -d taglib-source/tests ]; then
    (cd taglib-source && apt-get source --download-only taglib >/dev/null 2>&1 &&
        tar xzf taglib_*.orig.tar.gz --strip-components=1 --wildcards '*/tests/data/*')
fi
# Only kinds the player opens: it never reads the tags of a file the engine
# cannot play (Musepack, say).
for file in taglib-source/tests/data/*; do
    case "${file##*.}" in
    mp1 | mp2 | mp3 | wav | ogg | opus | flac | fla | ape | tta | wma | mp4 | m4a | aac) cp "$file" taglib/ ;;
    esac
done

/usr/bin/python3 "$here/expected-texts.py" taggers/* >taggers.expected
/usr/bin/python3 "$here/expected-texts.py" taglib/* >taglib.expected
touch files.stamp
