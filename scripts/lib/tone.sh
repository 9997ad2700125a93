# Sourced by the scripts that make music for the player to play.

# tone_wav OUT SECONDS EFFECT...: 16-bit stereo at 44.1 kHz from sox's synth
# effect and whatever effects follow it ("sine 440 vol 0.2").
tone_wav() {
    local out=$1 seconds=$2
    shift 2
    sox -V1 -R -r 44100 -c 2 -n -b 16 "$out" synth "$seconds" "$@"
}

# wav_to_mp3 IN OUT [LAME_OPTION...]: 128 kbit/s MP3, tags as the options say.
wav_to_mp3() {
    local in=$1 out=$2
    shift 2
    lame --quiet -b 128 "$@" "$in" "$out"
}
