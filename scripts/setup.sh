#!/usr/bin/env bash
# Installs what building and testing Tonquil needs on Debian 12, as root.
# Quiet and quick when everything is there already.
# Usage: setup.sh [x64]   (x64: what the x64 build adds)
set -eu

# libstb-dev gives the engine stb_vorbis; vorbis-tools, flac and ffmpeg make
# the format tests' fixtures. Media Foundation under Wine decodes WMA, FLAC
# and AAC through the GStreamer plug-ins of the Wine's own architecture
# (-ugly holds ASF, so WMA). The gapless test captures through a private
# PulseAudio, which 32-bit Wine reaches through the 32-bit client library.
gstreamer=(gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
           gstreamer1.0-plugins-ugly gstreamer1.0-libav)
packages=(g++-mingw-w64-i686 wine wine32 wine64 xvfb xauth googletest cmake make python3
          imagemagick xdotool x11-utils fonts-noto-cjk fonts-wine sox lame twolame alsa-utils
          pulseaudio libpulse0:i386 libasound2-plugins:i386
          libstb-dev vorbis-tools flac ffmpeg "${gstreamer[@]/%/:i386}")
[ "${1:-}" = x64 ] && packages=(g++-mingw-w64-x86-64 "${gstreamer[@]/%/:amd64}")

missing=()
for package in "${packages[@]}"; do
    name=$package
    [ "$package" = wine32 ] && name=wine32:i386
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "${missing[@]}" >/dev/null
