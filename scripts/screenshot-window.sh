#!/usr/bin/env bash
# Takes a picture of the player's window, the extension module tonquil.dll,
# with a playlist of a few dozen tracks, beside the tray icon.
# Usage: scripts/screenshot-window.sh OUT_PNG
#
# Runs the player in a Wine virtual desktop on an Xvfb of its own, in the
# run command's Wine prefix, and ends every process it started.
# The audio engine is bin/bass.dll of the build when it has been built (the tracks
# are then short MP3 files made here), otherwise the recording stand-in of
# the tests, for which any bytes with an .mp3 name do.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 OUT_PNG" >&2
    exit 2
fi
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
root=$PWD

. scripts/screenshot-desktop.sh
. scripts/lib/tone.sh
tonquil_build tonquil tonquil_extension bass bass_double

work=$root/$BUILD_DIR/screenshot-window
rm -rf "$work"
mkdir -p "$work" "$(dirname "$out")"
start_screenshot_desktop "$work"

# The player's folder and three albums of music.
player=$WINEPREFIX/drive_c/Tonquil
music=$WINEPREFIX/drive_c/Music
rm -rf "$player" "$music"
mkdir -p "$player" "$music"
cp "$BUILD_DIR/bin/tonquil.exe" "$BUILD_DIR/bin/tonquil.dll" "$player/"
if [ -f "$BUILD_DIR/bin/bass.dll" ]; then
    cp "$BUILD_DIR/bin/bass.dll" "$player/"
    tone_wav "$work/tone.wav" 30 sine 440 vol 0.2
    wav_to_mp3 "$work/tone.wav" "$work/tone.mp3"
else
    cp "$BUILD_DIR/tests/doubles/bass/bass.dll" "$player/"
    printf 'stands in for audio' >"$work/tone.mp3"
fi
albums=(
    "Aurora Lane|Quiet Harbour|Morning Tide|Salt and Cedar|Lanterns|Paper Boats|The Quiet Pier|Low Clouds|North Light|Driftwood|Harbour Bells|Slow Current|Gull Song|Evening Ferry"
    "The Long Evenings|Field Notes|Sea Glass|Last Mooring|Fog Horn Waltz|Home Port|Tidewater|Anchor Line|Blue Hour|Cold Front|Open Water|Paper Moon"
    "Hanako Yamada|Night Trains|Last Train|Northern Road|River Song|Dawn Waltz|Slow Tide|Empty Platform|Signal Lamps|Terminus"
)
: >"$player/tonquil.m3u"
for album in "${albums[@]}"; do
    IFS='|' read -r -a fields <<<"$album"
    folder="${fields[0]} - ${fields[1]}"
    mkdir -p "$music/$folder"
    number=1
    for title in "${fields[@]:2}"; do
        name=$(printf '%02d %s.mp3' "$number" "$title")
        cp "$work/tone.mp3" "$music/$folder/$name"
        printf 'C:\\Music\\%s\\%s\r\n' "$folder" "$name" >>"$player/tonquil.m3u"
        number=$((number + 1))
    done
done
# The current track is the sixth; no balloon, so that the corner by the icon
# stays clear; the window sits to the left of the notification area.
printf '[Client]\r\nTrackNo=5\r\nPlayMode=1\r\nVolume=70\r\nShowInfo=0\r\n' >"$player/tonquil.ini"
printf '[Window]\r\nLeft=64\r\nTop=48\r\nRight=904\r\nBottom=668\r\n' >>"$player/tonquil.ini"

# The icon sits at (1013, 757), bare taskbar at (900, 757); (480, 360) lies
# inside the window once it is up, and is bare desktop before.
window_shown() { [ "$(pixel 480 360)" != "$(pixel 980 200)" ]; }

desktop 'C:\Tonquil\tonquil.exe'
wait_until icon_shown
# Later starts forward their switch to the running player; they run on the
# same virtual desktop, where they find it.
desktop 'C:\Tonquil\tonquil.exe' /play
sleep 1
desktop 'C:\Tonquil\tonquil.exe' /showwindow
wait_until window_shown
sleep 1.5
import -window root "$out"

desktop 'C:\Tonquil\tonquil.exe' /exit
sleep 2
echo "screenshot-window: written to $out"
