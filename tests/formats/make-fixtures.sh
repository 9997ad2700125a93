#!/usr/bin/env bash
# Makes the format tests' files in DIR with Debian's encoders, each with the
# reference its decoder is held to:
#   <name>.<ext> and <name>.ref.raw: the file and what it must decode to, as
#     little-endian 32-bit floats for ffmpeg's references and as the source's
#     own integers (<bits>-bit) for the lossless formats and oggdec.
#   tagged.* : short tracks whose tags name artist and title.
# Usage: make-fixtures.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"

# A chord with a little noise: every bit of a lossless sample changes, and a
# lossy codec has something to keep. Lengths fall between block sizes.
source_wav() { # name, rate, channels, bits, seconds
    local encoding=signed-integer
    [ "$4" = 8 ] && encoding=unsigned-integer
    sox -V1 -R -r "$2" -c "$3" -n -b "$4" -e "$encoding" "$1" \
        synth "$5" sine 440 sine 660 sine 1100 whitenoise vol 0.45
}
raw_of() { # wav, raw
    sox -V1 "$1" -t raw "$2"
}

# Lossless: FLAC (flac) and TTA (ffmpeg), compared with their source samples.
for layout in "16 1 44100 1.37" "24 2 48000 0.93" "16 6 48000 0.61" "24 6 96000 0.29" \
              "8 2 22050 0.5"; do
    read -r bits channels rate seconds <<<"$layout"
    name="$bits-${channels}ch-$rate"
    source_wav "src-$name.wav" "$rate" "$channels" "$bits" "$seconds"
    [ "$bits" != 8 ] && flac -s -f -o "flac-$name.flac" "src-$name.wav" &&
        raw_of "src-$name.wav" "flac-$name.ref.raw"
    ffmpeg -v error -y -i "src-$name.wav" -c:a tta "tta-$name.tta"
    raw_of "src-$name.wav" "tta-$name.ref.raw"
    rm -f "src-$name.wav"
done

# Vorbis (oggenc), compared with what oggdec makes of it as 16-bit integers
# in WAV's channel order. oggdec 1.4.2 writes 8-channel WAV output wrong:
# that layout is held to ffmpeg's decoding instead.
for layout in "1 22050 1.21" "2 44100 1.53" "3 32000 0.6" "6 48000 0.77" "8 48000 0.41"; do
    read -r channels rate seconds <<<"$layout"
    name="ogg-${channels}ch-$rate"
    source_wav "src-$name.wav" "$rate" "$channels" 16 "$seconds"
    oggenc -Q -q 4 -o "$name.ogg" "src-$name.wav"
    if [ "$channels" = 8 ]; then
        ffmpeg -v error -y -i "$name.ogg" -f s16le "$name.ref.raw"
    else
        oggdec -Q -o "$name.ref.wav" "$name.ogg"
        raw_of "$name.ref.wav" "$name.ref.raw"
    fi
    rm -f "src-$name.wav" "$name.ref.wav"
done

# AAC in MP4 and in ADTS, and WMA (ffmpeg), compared with ffmpeg's decoding.
source_wav src-lossy.wav 44100 2 16 1.3
source_wav src-lossy-mono.wav 48000 1 16 0.9
ffmpeg -v error -y -i src-lossy.wav -c:a aac -b:a 192k aac-2ch-44100.m4a
ffmpeg -v error -y -i src-lossy-mono.wav -c:a aac -b:a 128k aac-1ch-48000.aac
ffmpeg -v error -y -i src-lossy.wav -c:a wmav2 -b:a 192k wma-2ch-44100.wma
for name in aac-2ch-44100.m4a aac-1ch-48000.aac wma-2ch-44100.wma; do
    ffmpeg -v error -y -i "$name" -f f32le "${name%.*}.ref.raw"
done
rm -f src-lossy.wav src-lossy-mono.wav

# Tagged tracks for the artist and title, one of each kind, each a tone of
# its own frequency (tagged-<ext>.hz) so that a capture tells which played.
tone() { # ext, frequency
    sox -V1 -R -r 44100 -c 2 -n -b 16 "tagged-$1.wav" synth 1.2 sine "$2" vol 0.5
    echo "$2" >"tagged-$1.hz"
}
tone ogg 330 && oggenc -Q -a "Ogg Artist" -t "Ogg Title ü" -o tagged.ogg tagged-ogg.wav
tone flac 440 && flac -s -f -T "ARTIST=Flac Artist" -T "TITLE=Flac Title" -o tagged.flac tagged-flac.wav
for kind in "tta tta 550" "m4a aac 660" "wma wmav2 770" "aac aac 880"; do
    read -r ext codec hz <<<"$kind"
    tone "$ext" "$hz"
    ffmpeg -v error -y -i "tagged-$ext.wav" -metadata artist="${ext^^} Artist" \
        -metadata title="${ext^^} Title" -c:a "$codec" "tagged.$ext"
done
tone wav 990 && mv tagged-wav.wav tagged.wav
tone mp3 1210 && lame --quiet -b 160 tagged-mp3.wav tagged.mp3
# An MP4 with a video track and no audio, and Ogg that holds Opus, not
# Vorbis: both refused.
ffmpeg -v error -y -f lavfi -i testsrc=duration=0.5:size=64x48:rate=10 -c:v mpeg4 video.m4a
ffmpeg -v error -y -i tagged-ogg.wav -c:a libopus opus.ogg
rm -f tagged-*.wav
touch fixtures.stamp
