#!/usr/bin/env bash
# Makes the format tests' files in DIR with Debian's encoders, each with the
# reference its decoder is held to:
#   <name>.<ext> and <name>.ref.raw: the file and what it must decode to: the
#     source's own integers (<bits>-bit, as in the name) for the lossless
#     formats, its own 32-bit floats for WavPack's floats (wvf-*),
#     little-endian 32-bit floats from Debian's ffmpeg for the lossy and for
#     the WAV codings other than integer PCM.
#   <name>.frames: for AAC in MP4, the length its edit list states, which
#     ends the track inside the last frame (Debian's ffmpeg 5.1 decodes that
#     frame whole); for MP3 and Opus in MP4, the source's own length.
#   tagged.* : short tracks whose tags name artist and title, one per kind.
#   gains.* : tracks whose tags state ReplayGain (or Opus's R128 gains).
#   changing-<seconds>.flac: tagged tracks that are changed while they play.
# Usage: make-fixtures.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"
jmac() { java -jar /usr/share/java/jmac.jar "$@" >/dev/null 2>&1; }

# A chord with a little noise: every bit of a lossless sample changes, and a
# lossy codec has something to keep. Lengths fall between block sizes. Mono
# and stereo as plain PCM WAV, the only kind jmac takes.
source_wav() { # name, rate, channels, bits, seconds[, encoding]
    local encoding=${6:-signed-integer} type=wavpcm
    [ "$4" = 8 ] && encoding=unsigned-integer
    [ "$3" -gt 2 ] && type=wav
    sox -V1 -R -r "$2" -c "$3" -n -b "$4" -e "$encoding" -t "$type" "$1" \
        synth "$5" sine 440 sine 660 sine 1100 whitenoise vol 0.45
}
raw_of() { # wav, raw
    sox -V1 "$1" -t raw "$2"
}

# Lossless: FLAC (flac), TTA and ALAC (ffmpeg), compared with their source.
for layout in "16 1 44100 1.37" "24 2 48000 0.93" "16 6 48000 0.61" "24 6 96000 0.29" \
              "8 2 22050 0.5"; do
    read -r bits channels rate seconds <<<"$layout"
    name="$bits-${channels}ch-$rate"
    source_wav "src-$name.wav" "$rate" "$channels" "$bits" "$seconds"
    [ "$bits" != 8 ] && flac -s -f -o "flac-$name.flac" "src-$name.wav" &&
        raw_of "src-$name.wav" "flac-$name.ref.raw"
    ffmpeg -v error -y -i "src-$name.wav" -c:a tta "tta-$name.tta"
    raw_of "src-$name.wav" "tta-$name.ref.raw"
    if [ "$channels" -le 2 ] && [ "$bits" != 8 ]; then
        ffmpeg -v error -y -i "src-$name.wav" -c:a alac "alac-$name.m4a"
        raw_of "src-$name.wav" "alac-$name.ref.raw"
        # FFmpeg 5.1 still calls its own writing of FLAC in MP4 experimental.
        ffmpeg -v error -y -i "src-$name.wav" -c:a flac -strict -2 -f mp4 "mp4flac-$name.m4a"
        raw_of "src-$name.wav" "mp4flac-$name.ref.raw"
    fi
    rm -f "src-$name.wav"
done

# WavPack (wavpack): lossless integers of 8, 16 and 24 bits and 32-bit floats
# against their source.
for layout in "8 1 22050 0.5 signed-integer" "16 2 44100 0.77 signed-integer" \
              "24 2 96000 0.31 signed-integer" "16 6 48000 0.29 signed-integer" \
              "32 2 48000 0.6 floating-point"; do
    read -r bits channels rate seconds encoding <<<"$layout"
    name="$bits-${channels}ch-$rate" kind=wv
    [ "$encoding" = floating-point ] && kind=wvf
    source_wav "src-$name.wav" "$rate" "$channels" "$bits" "$seconds" "$encoding"
    wavpack -q -y "src-$name.wav" -o "$kind-$name.wv"
    raw_of "src-$name.wav" "$kind-$name.ref.raw"
    rm -f "src-$name.wav"
done

# WAV in every coding and form FFmpeg's demuxer reads, beside the engine's own
# reader: A-law and mu-law (sox; ffmpeg for WAVE_FORMAT_EXTENSIBLE), 64-bit
# floats (sox; ffmpeg for the extensible form), RF64 (ffmpeg) and BW64 (RF64
# under BW64's name, the same layout). Integer PCM against the source,
# the rest against Debian's ffmpeg decoding the file.
ffmpeg_floats() { # file
    ffmpeg -v error -y -i "$1" -f f32le "${1%.*}.ref.raw"
}
source_wav src-8k.wav 8000 2 16 0.7
source_wav src-44.wav 44100 2 16 0.55
source_wav src-48.wav 48000 3 24 0.45
sox -V1 src-8k.wav -c 1 -e a-law -t wav wava-16-1ch-8000.wav && ffmpeg_floats wava-16-1ch-8000.wav
sox -V1 src-8k.wav -e u-law -t wav wavu-16-2ch-8000.wav && ffmpeg_floats wavu-16-2ch-8000.wav
ffmpeg -v error -y -i src-48.wav -ar 8000 -c:a pcm_mulaw wavxu-16-3ch-8000.wav
ffmpeg_floats wavxu-16-3ch-8000.wav
sox -V1 src-44.wav -e floating-point -b 64 -t wav wavd-64-2ch-44100.wav
ffmpeg_floats wavd-64-2ch-44100.wav
ffmpeg -v error -y -i src-48.wav -c:a pcm_f64le wavxd-64-3ch-48000.wav
ffmpeg_floats wavxd-64-3ch-48000.wav
ffmpeg -v error -y -i src-48.wav -c:a pcm_s24le -rf64 always wavr-24-3ch-48000.wav
raw_of src-48.wav wavr-24-3ch-48000.ref.raw
ffmpeg -v error -y -i src-44.wav -rf64 always wavb-16-2ch-44100.wav
printf 'BW64' | dd of=wavb-16-2ch-44100.wav bs=1 conv=notrunc status=none
raw_of src-44.wav wavb-16-2ch-44100.ref.raw
cp src-48.wav wavx-24-3ch-48000.wav && raw_of src-48.wav wavx-24-3ch-48000.ref.raw
rm -f src-8k.wav src-44.wav src-48.wav

# Monkey's Audio (jmac): every compression level at 8, 16 and 24 bits, mono
# and stereo.
for bits in 8 16 24; do
    for channels in 1 2; do
        name="$bits-${channels}ch-44100"
        source_wav "src-$name.wav" 44100 "$channels" "$bits" 0.41
        for level in 1 2 3 4 5; do
            jmac "c$level" "src-$name.wav" "ape$level-$name.ape"
            raw_of "src-$name.wav" "ape$level-$name.ref.raw"
        done
        rm -f "src-$name.wav"
    done
done

# Lossy, each compared with Debian's ffmpeg decoding the same file.
lossy() { # file, source wav, encoder command...
    local file=$1 source=$2
    shift 2
    "$@"
    ffmpeg -v error -y -i "$file" -f f32le "${file%.*}.ref.raw"
}
source_wav src-44.wav 44100 2 16 1.53
source_wav src-48m.wav 48000 1 16 0.9
source_wav src-22m.wav 22050 1 16 1.21
lossy mp3-2ch-44100.mp3 src-44.wav lame --quiet -b 192 src-44.wav mp3-2ch-44100.mp3
lossy mp3-1ch-22050.mp3 src-22m.wav lame --quiet -V 4 src-22m.wav mp3-1ch-22050.mp3
lossy mp2-2ch-44100.mp2 src-44.wav twolame --quiet src-44.wav mp2-2ch-44100.mp2
# AAC's noise substitution draws from a generator that runs on with every
# frame decoded, so its bands differ after a seek however exact: the AAC
# files are made without it.
lossy aac-2ch-44100.m4a src-44.wav ffmpeg -v error -y -i src-44.wav -c:a aac -aac_pns 0 -b:a 192k aac-2ch-44100.m4a
ffprobe -v error -select_streams a -show_entries stream=duration_ts -of csv=p=0 \
    aac-2ch-44100.m4a >aac-2ch-44100.frames
lossy aac-1ch-48000.aac src-48m.wav ffmpeg -v error -y -i src-48m.wav -c:a aac -aac_pns 0 -b:a 128k aac-1ch-48000.aac
lossy wma2-2ch-44100.wma src-44.wav ffmpeg -v error -y -i src-44.wav -c:a wmav2 -b:a 192k wma2-2ch-44100.wma
lossy wma1-1ch-48000.wma src-48m.wav ffmpeg -v error -y -i src-48m.wav -c:a wmav1 -b:a 96k wma1-1ch-48000.wma
# 32-bit integers, which no float holds, and hybrid lossy WavPack without its
# correction file.
source_wav src-32.wav 44100 2 32 0.6
lossy wv-32-2ch-44100.wv src-32.wav wavpack -q -y src-32.wav -o wv-32-2ch-44100.wv
lossy wvh-16-2ch-44100.wv src-44.wav wavpack -q -y -b320 src-44.wav -o wvh-16-2ch-44100.wv
rm -f src-32.wav
# Codecs in MP4 besides AAC and ALAC, as FFmpeg's own muxer writes them.
lossy mp4ac3-2ch-44100.m4a src-44.wav ffmpeg -v error -y -i src-44.wav -c:a ac3 -b:a 192k -f mp4 mp4ac3-2ch-44100.m4a
lossy mp4eac3-2ch-44100.m4a src-44.wav ffmpeg -v error -y -i src-44.wav -c:a eac3 -b:a 192k -f mp4 mp4eac3-2ch-44100.m4a
# MP3 and Opus in MP4: the edit list cuts the encoder's delay (for MP3 with
# the decoder's 529) and its padding, so the track is the source's length,
# at 48 kHz for Opus. Debian's ffmpeg 5.1 drops the delay but decodes the last
# frame whole: its first frames are the reference.
lossy mp4mp3-2ch-44100.m4a src-44.wav ffmpeg -v error -y -i src-44.wav -c:a libmp3lame -b:a 192k -f mp4 mp4mp3-2ch-44100.m4a
soxi -s src-44.wav >mp4mp3-2ch-44100.frames
lossy mp4opus-2ch-48000.m4a src-44.wav ffmpeg -v error -y -i src-44.wav -c:a libopus -b:a 128k -f mp4 mp4opus-2ch-48000.m4a
echo $(($(soxi -s src-44.wav) * 48000 / 44100)) >mp4opus-2ch-48000.frames
lossy opus-2ch-48000.opus src-44.wav ffmpeg -v error -y -i src-44.wav -c:a libopus -b:a 128k opus-2ch-48000.opus
lossy opus-1ch-48000.opus src-22m.wav ffmpeg -v error -y -i src-22m.wav -c:a libopus -b:a 64k opus-1ch-48000.opus
for layout in "1 22050 1.21" "2 44100 1.53" "3 32000 0.6" "6 48000 0.77" "8 48000 0.41"; do
    read -r channels rate seconds <<<"$layout"
    name="ogg-${channels}ch-$rate"
    source_wav "src-$name.wav" "$rate" "$channels" 16 "$seconds"
    lossy "$name.ogg" "src-$name.wav" oggenc -Q -q 4 -o "$name.ogg" "src-$name.wav"
    rm -f "src-$name.wav"
done
rm -f src-44.wav src-48m.wav src-22m.wav

# An APEv2 tag (footer only, as at the end of Monkey's Audio files) of the
# items given as KEY=VALUE.
apev2() { # file, item...
    python3 - "$@" <<'PY'
import struct, sys
items = b""
for item in sys.argv[2:]:
    key, value = item.split("=", 1)
    value = value.encode()
    items += struct.pack("<II", len(value), 0) + key.encode() + b"\0" + value
size = len(items) + 32
footer = b"APETAGEX" + struct.pack("<IIII", 2000, size, len(sys.argv) - 2, 0) + b"\0" * 8
with open(sys.argv[1], "ab") as out:
    out.write(items + footer)
PY
}

# Tagged tracks for the artist and title, one of each kind, each a tone of
# its own frequency (tagged-<ext>.hz) so that a capture tells which played.
tone() { # ext, frequency
    sox -V1 -R -r 44100 -c 2 -n -b 16 -t wavpcm "tagged-$1.wav" synth 1.2 sine "$2" vol 0.5
    echo "$2" >"tagged-$1.hz"
}
tone ogg 330 && oggenc -Q -a "Ogg Artist" -t "Ogg Title ü" -o tagged.ogg tagged-ogg.wav
tone flac 440 && flac -s -f -T "ARTIST=Flac Artist" -T "TITLE=Flac Title" -o tagged.flac tagged-flac.wav
tone fla 495 && flac -s -f -T "ARTIST=Fla Artist" -T "TITLE=Fla Title" -o tagged.fla tagged-fla.wav
for kind in "tta tta 550" "m4a aac 660" "wma wmav2 770" "aac aac 880" "mp4 alac 605" \
            "opus libopus 935"; do
    read -r ext codec hz <<<"$kind"
    tone "$ext" "$hz"
    ffmpeg -v error -y -i "tagged-$ext.wav" -metadata artist="${ext^^} Artist" \
        -metadata title="${ext^^} Title" -c:a "$codec" "tagged.$ext"
done
tone ape 715 && jmac c2 tagged-ape.wav tagged.ape && apev2 tagged.ape "Artist=APE Artist" "Title=APE Title"
tone wv 1452 && wavpack -q -y -w "Artist=WV Artist" -w "Title=WV Title" tagged-wv.wav -o tagged.wv
tone wav 990 && mv tagged-wav.wav tagged.wav
tone mp3 1210 && lame --quiet -b 160 tagged-mp3.wav tagged.mp3
tone mp2 1100 && twolame --quiet tagged-mp2.wav tagged.mp2
# No Debian package encodes MPEG layer 1; this track is layer 2 under the
# name .mp1, which the engine decodes by what it is.
tone mp1 1320 && twolame --quiet tagged-mp1.wav tagged.mp1

# A track a tagger changes while it plays, and the longer file that replaces
# it; noise makes each some megabytes, read over many reads.
for seconds in 3 5; do
    sox -V1 -R -r 44100 -c 2 -n -b 16 -t wavpcm "changing-$seconds.wav" \
        synth "$seconds" sine 440 whitenoise vol 0.45
    flac -s -f -T "ARTIST=Changing Artist" -T "TITLE=Changing Title" \
        -o "changing-$seconds.flac" "changing-$seconds.wav"
done
rm -f changing-*.wav

# ReplayGain as each kind of tag states it.
sox -V1 -R -r 44100 -c 2 -n -b 16 -t wavpcm gains.wav synth 0.5 sine 500 vol 0.5
flac -s -f -T "REPLAYGAIN_TRACK_GAIN=-6.48 dB" -T "REPLAYGAIN_TRACK_PEAK=0.988553" \
    -T "REPLAYGAIN_ALBUM_GAIN=+1.25 dB" -T "REPLAYGAIN_ALBUM_PEAK=0.5" -o gains.flac gains.wav
ffmpeg -v error -y -i gains.wav -metadata REPLAYGAIN_TRACK_GAIN="-3.10 dB" \
    -metadata REPLAYGAIN_TRACK_PEAK=0.75 gains.mp3
ffmpeg -v error -y -i gains.wav -c:a libopus -metadata R128_TRACK_GAIN=-512 \
    -metadata R128_ALBUM_GAIN=256 gains.opus
wavpack -q -y -w "REPLAYGAIN_TRACK_GAIN=-4.75 dB" -w "REPLAYGAIN_ALBUM_PEAK=0.8125" \
    gains.wav -o gains.wv
jmac c2 gains.wav gains.ape && apev2 gains.ape "REPLAYGAIN_TRACK_GAIN=nan dB" \
    "REPLAYGAIN_TRACK_PEAK=-1" "REPLAYGAIN_ALBUM_GAIN=2.5" "REPLAYGAIN_ALBUM_PEAK=1e999"

# An MP4 with a video track and no audio: refused.
ffmpeg -v error -y -f lavfi -i testsrc=duration=0.5:size=64x48:rate=10 -c:v mpeg4 video.m4a
rm -f tagged-*.wav gains.wav
touch fixtures.stamp
