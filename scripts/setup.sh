#!/usr/bin/env bash
# Installs what building and testing Tonquil needs on Debian 12, as root.
# Quiet and quick when everything is there already.
set -eu

# libstb-dev gives the engine stb_vorbis; vorbis-tools, flac and ffmpeg make
# the format tests' fixtures. Media Foundation under 32-bit Wine decodes WMA,
# FLAC and AAC through the 32-bit GStreamer plug-ins (-ugly holds ASF, so WMA).
packages=(g++-mingw-w64-i686 wine wine32 wine64 xvfb xauth googletest cmake make python3
          imagemagick xdotool x11-utils fonts-noto-cjk fonts-wine sox lame twolame alsa-utils
          libstb-dev vorbis-tools flac ffmpeg
          gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
          gstreamer1.0-plugins-bad:i386 gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386)

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
