#!/usr/bin/env bash
# Makes the engine tests' audio files in DIR with sox, lame and twolame:
#   wav-<encoding>-<bits>-<channels>ch-<rate>.wav and .raw: the same samples
#     inside a WAV file and bare, for every sample layout the engine reads;
#   *.mp3 / *.mp2 with <name>.ref.raw: what lame --decode makes of them, and
#     <name>.skip: the frames lame says it skipped at the start.
# Usage: make-fixtures.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"

rates=(8000 11025 22050 44100 48000 96000 32000 16000)
for layout in "unsigned-integer 8" "signed-integer 16" "signed-integer 24" \
              "signed-integer 32" "floating-point 32"; do
    read -r encoding bits <<<"$layout"
    for channels in 1 2 3 4 5 6 7 8; do
        rate=${rates[$((channels - 1))]}
        name="wav-$encoding-$bits-${channels}ch-$rate"
        # White noise reaches every bit of a sample; -R makes it the same every run.
        sox -V1 -R -r "$rate" -c "$channels" -n -e "$encoding" -b "$bits" "$name.wav" \
            synth 0.05 whitenoise vol 0.5
        sox -V1 "$name.wav" -e "$encoding" -b "$bits" -t raw "$name.raw"
    done
done

sox -V1 -R -r 44100 -c 2 -n -b 16 tone.wav synth 1.0 sine 440 sine 660 vol 0.5
sox -V1 -R -r 22050 -c 1 -n -b 16 tone-mono.wav synth 0.7 sine 330 vol 0.5
sox -V1 -R -r 48000 -c 2 -n -b 16 tone-48k.wav synth 0.8 sine 500 sine 700 vol 0.5

encode_mp3() { # name, source, lame options...
    local name=$1 source=$2
    shift 2
    lame --quiet "$@" "$source" "$name"
}
encode_mp3 tagged.mp3 tone.wav -b 128 --tt "Test Title" --ta "Test Artist" --add-id3v2
encode_mp3 mono-22k.mp3 tone-mono.wav -b 64 -m m
encode_mp3 vbr-48k.mp3 tone-48k.wav -V 2
encode_mp3 untagged.mp3 tone.wav -b 96 -t # no Info frame: nothing states the delay
twolame --quiet tone.wav layer2.mp2

for name in tagged.mp3 mono-22k.mp3 vbr-48k.mp3 untagged.mp3 layer2.mp2; do
    input=()
    [ "${name##*.}" = mp2 ] && input=(--mp2input)
    lame --decode "${input[@]}" "$name" "$name.ref.wav" 2>"$name.log"
    sox -V1 "$name.ref.wav" -t raw "$name.ref.raw"
    sed -n 's/.*skipping initial \([0-9]*\) samples.*/\1/p' "$name.log" >"$name.skip"
    rm -f "$name.ref.wav" "$name.log"
done
rm -f tone.wav tone-mono.wav tone-48k.wav
touch fixtures.stamp
