#!/usr/bin/env bash
# Images whose sheet Debian's own tools embed, for the embedded-sheet table:
#   flac-block.flac  flac --cuesheet: FLAC's binary CUESHEET block
#   flac-tag.flac    the sheet's text as a CUESHEET Vorbis comment
#   wavpack.wv       wavpack -w: the text as the APEv2 Cuesheet item
# Three tracks of one second each, tracks 2 and 3 with a pregap.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
sox -V1 -R -r 44100 -c 2 -n -b 16 image.wav synth 3.0 sine 440 vol 0.5
cat > sheet.cue <<'SHEET'
PERFORMER "Band"
FILE "image.wav" WAVE
  TRACK 01 AUDIO
    TITLE "One"
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    TITLE "Two"
    INDEX 00 00:00:50
    INDEX 01 00:01:00
  TRACK 03 AUDIO
    TITLE "Three"
    INDEX 00 00:01:70
    INDEX 01 00:02:00
SHEET
flac -s -f --cuesheet=sheet.cue -o flac-block.flac image.wav
flac -s -f --tag-from-file=CUESHEET=sheet.cue -o flac-tag.flac image.wav
wavpack -q -y -w "Cuesheet=@sheet.cue" image.wav -o wavpack.wv
rm -f image.wav
touch fixtures.stamp
