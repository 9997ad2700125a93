#!/usr/bin/env bash
# Installs what building and testing Tonquil needs on Debian 12, as root.
# Quiet and quick when everything is there already.
# Usage: setup.sh [x64]   (x64: what the x64 build adds)
set -eu

# The engine and the plug-in decode through FFmpeg, built from Debian's
# source package (scripts/build-ffmpeg.sh: apt-get source needs a deb-src
# entry and dpkg-dev, FFmpeg's assembly nasm). vorbis-tools, flac, ffmpeg (with libopus),
# lame, twolame, wavpack, sox and jmac (Monkey's Audio, on a Java runtime) make
# the format tests' fixtures; ffmpeg also decodes the lossy references. The gapless test
# captures through a private PulseAudio, which 32-bit Wine reaches through the
# 32-bit client library. The native fuzz test (tests/fuzz) builds with clang
# and libFuzzer, its FFmpeg glue harness against Debian's own FFmpeg 5.1.
packages=(g++-mingw-w64-i686 wine wine32 wine64 xvfb xauth googletest cmake make python3
          imagemagick xdotool x11-utils fonts-noto-cjk fonts-wine sox lame twolame alsa-utils
          pulseaudio libpulse0:i386 libasound2-plugins:i386
          dpkg-dev nasm vorbis-tools flac wavpack ffmpeg libjmac-java default-jre-headless
          clang libfuzzer-14-dev pkg-config libavformat-dev libavcodec-dev libavutil-dev
          eyed3 kid3-cli id3v2 python3-mutagen)
[ "${1:-}" = x64 ] && packages=(g++-mingw-w64-x86-64)

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

missing=()
for package in "${packages[@]}"; do
    name=$package
    [ "$package" = wine32 ] && name=wine32:i386
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "${missing[@]}" >/dev/null
fi

# FFmpeg's source comes from the suites this machine installs from, security
# updates included, so that it matches the ffmpeg command.
sources=/etc/apt/sources.list.d/tonquil-deb-src.sources
deb_src=$(python3 "$(dirname "$0")/lib/deb_src.py" 2>/dev/null || true)
if [ -n "$deb_src" ]; then
    echo "Adding deb-src entries for FFmpeg's source package: $sources"
    echo "$deb_src" | $sudo tee "$sources" >/dev/null
    $sudo apt-get update -qq
fi

