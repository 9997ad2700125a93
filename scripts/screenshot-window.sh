#!/usr/bin/env bash
# Takes a screenshot of the player's window (the extension module tonquil.dll)
# showing a playlist of a few dozen tracks, beside the tray icon, on a Wine
# virtual desktop under an Xvfb of its own.
# Usage: screenshot-window.sh OUT_PNG [BUILD_DIR]
#
# Uses the real engine build/bin/bass.dll when it is there (then the tracks
# are short silent MP3 files), otherwise the recording double, for which any
# bytes with an .mp3 name do.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUT_PNG [BUILD_DIR]" >&2
    exit 2
fi
out=$(realpath -m "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${2:-$root/build}")
for file in "$build/bin/tonquil.exe" "$build/bin/tonquil.dll"; do
    [ -f "$file" ] || { echo "missing $file: build first" >&2; exit 1; }
done
engine="$build/bin/bass.dll"
real_engine=1
if [ ! -f "$engine" ]; then
    engine="$build/tests/doubles/bass/bass.dll"
    real_engine=0
fi
[ -f "$engine" ] || { echo "missing bass.dll: build first" >&2; exit 1; }

work="$build/screenshot-window"
prefix="$work/prefix"
player="$work/player"
rm -rf "$player"
mkdir -p "$player/music/Aurora Lane - Quiet Harbour" "$player/music/The Long Evenings - Field Notes"
cp "$build/bin/tonquil.exe" "$build/bin/tonquil.dll" "$player/"
cp "$engine" "$player/bass.dll"

export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
quiet() { "$@" </dev/null >/dev/null 2>&1; }
winpath() { echo "Z:${1//\//\\}"; }

# The tracks: any bytes do for the double; the real engine gets silence.
sample="$work/sample.mp3"
if [ "$real_engine" = 1 ]; then
    sox -n -r 44100 -c 2 "$work/sample.wav" trim 0 20
    lame --quiet -b 128 "$work/sample.wav" "$sample"
else
    printf 'not really audio' >"$sample"
fi
titles=("Morning Tide" "Salt and Cedar" "Lanterns" "Paper Boats" "The Quiet Pier" "Low Clouds"
        "North Light" "Driftwood" "Harbour Bells" "Slow Current" "Gull Song" "Evening Ferry"
        "Sea Glass" "Last Mooring" "Fog Horn Waltz" "Home Port" "Tidewater" "Anchor Line")
: >"$work/tonquil.m3u"
add_album() {
    local folder=$1 n=1
    for title in "${titles[@]}"; do
        local file
        file=$(printf '%s/%02d %s.mp3' "$folder" "$n" "$title")
        cp "$sample" "$file"
        printf '%s\r\n' "$(winpath "$file")" >>"$work/tonquil.m3u"
        n=$((n + 1))
    done
}
add_album "$player/music/Aurora Lane - Quiet Harbour"
add_album "$player/music/The Long Evenings - Field Notes"
mv "$work/tonquil.m3u" "$player/tonquil.m3u"
printf '[Client]\r\nTrackNo=5\r\nPlayMode=1\r\nVolume=80\r\nShowInfo=1\r\n' >"$player/tonquil.ini"

# A display and a prefix of our own, with Japanese fonts.
numfile=$(mktemp)
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" </dev/null >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$numfile" ] && break; sleep 0.05; done
export DISPLAY=":$(tr -dc 0-9 <"$numfile")"
rm -f "$numfile"
cleanup() {
    quiet wineserver -k || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

if [ ! -f "$prefix/.ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    quiet wineserver -p
    quiet wine wineboot -i
    quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ \
        /d 'Noto Sans CJK JP' /f
    quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Tahoma' /t REG_SZ \
        /d 'Noto Sans CJK JP' /f
    quiet wineserver -k
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$prefix/.ready"
fi
setsid wineserver -p </dev/null >/dev/null 2>&1

exe=$(winpath "$player/tonquil.exe")
# Later starts forward their switch to the running player; they must run on
# the same virtual desktop to find it.
on_desktop() { (cd "$player" && setsid wine explorer /desktop=shell,1024x768 "$exe" "$@" </dev/null >/dev/null 2>&1 &); }
on_desktop
sleep 6
on_desktop /play
sleep 2
on_desktop /showwindow
sleep 4
import -window root "$out"
on_desktop /exit
sleep 2
echo "$out"
