#!/usr/bin/env bash
# Builds the minimal, static, audio-only FFmpeg that the engine and the
# decoder plug-in link, from Debian's source package, for one architecture.
# Usage: build-ffmpeg.sh DIR TRIPLE ARCH
#   DIR     the folder in the build tree that keeps source, objects and result
#   TRIPLE  the mingw-w64 target, such as i686-w64-mingw32
#   ARCH    FFmpeg's name of the machine: x86 or x86_64
# Every step is skipped when its result is there already, so a rebuild of the
# build tree costs nothing; a changed configure line configures afresh.
set -eu
dir=$1 triple=$2 arch=$3
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

# The source package of the same version as the ffmpeg command the tests
# compare against, with Debian's patches applied by dpkg-source.
if [ ! -f "$dir/source/configure" ]; then
    package=ffmpeg
    version=$(dpkg-query -W -f='${Version}' ffmpeg 2>/dev/null || true)
    [ -z "$version" ] || package="ffmpeg=$version"
    rm -rf "$dir/fetch" "$dir/source"
    mkdir -p "$dir/fetch"
    (cd "$dir/fetch" && apt-get source -qq "$package" >/dev/null 2>"$dir/fetch.log") || {
        cat "$dir/fetch.log"
        echo "build-ffmpeg.sh: apt-get source ffmpeg failed; scripts/setup.sh adds the deb-src entry it needs" >&2
        exit 1
    }
    mv "$dir"/fetch/ffmpeg-*/ "$dir/source"
    rm -rf "$dir/fetch"
fi

# Only what Tonquil decodes: MPEG audio layers 1-3, Vorbis and Opus in Ogg,
# FLAC, TTA, Monkey's Audio, WMA (1, 2, Pro, Lossless), AAC (in MP4 and ADTS),
# ALAC, WavPack, TAK, DSD (DSF and DFF, DST-compressed too), AC-3 and E-AC-3
# (in MP4), and WAV in every coding its demuxer reads (PCM, float, A-law,
# mu-law; RF64 and Wave64 too). No programs, no protocols (input comes through our own I/O
# context), no system libraries, nothing under the GPL or non-free. The Opus
# decoder needs libswresample. Assembly (nasm) stays in: its SIMD routines,
# chosen at run time, decode MP3 about 1.7 times as fast in the 32-bit build.
options=(
    --prefix="$dir/install" --enable-cross-compile --target-os=mingw32 --arch="$arch"
    --cross-prefix="$triple-" --cc="$triple-gcc-posix"
    --enable-static --disable-shared --disable-autodetect --disable-everything
    --disable-programs --disable-doc --disable-network --disable-debug
    --disable-avdevice --disable-avfilter --disable-swscale
    --disable-postproc --disable-pthreads --enable-w32threads
    --enable-decoder=mp1float,mp2float,mp3float,vorbis,opus,flac,tta,ape
    --enable-decoder=wmav1,wmav2,wmapro,wmalossless,aac,alac
    --enable-decoder=wavpack,tak,dsd_lsbf,dsd_lsbf_planar,dsd_msbf,dsd_msbf_planar,dst,ac3,eac3
    --enable-decoder=pcm_u8,pcm_s16le,pcm_s24le,pcm_s32le,pcm_f32le,pcm_f64le,pcm_alaw,pcm_mulaw
    --enable-demuxer=mp3,ogg,flac,tta,ape,asf,mov,aac,wv,tak,dsf,iff,wav,w64
    --enable-parser=mpegaudio,vorbis,opus,flac,aac,tak,ac3
)
line="${options[*]}"
if [ ! -f "$dir/build/config.h" ] || [ "$(cat "$dir/configured" 2>/dev/null)" != "$line" ]; then
    rm -rf "$dir/build" "$dir/install" "$dir/configured"
    mkdir -p "$dir/build"
    (cd "$dir/build" && "$dir/source/configure" "${options[@]}" >"$dir/configure.log" 2>&1) || {
        tail -30 "$dir/configure.log"
        exit 1
    }
    echo "$line" >"$dir/configured"
fi
jobs=$(nproc 2>/dev/null || echo 2)
make -C "$dir/build" -j"$jobs" install >"$dir/make.log" 2>&1 || { tail -40 "$dir/make.log"; exit 1; }
