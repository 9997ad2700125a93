#!/usr/bin/env bash
# Takes a picture of the player's window, the extension module tonquil.dll,
# with a playlist of a few dozen tracks, beside the tray icon, while the
# sixth track plays.
# Usage: scripts/screenshot-window.sh OUT_PNG [SCALE]
#
# SCALE is 100 (the default: 96 DPI, in the run command's prefix) or 200
# (192 DPI, in a prefix of its own, on a screen and desktop twice as large).
#
# Runs the player in a Wine virtual desktop on an Xvfb of its own, in the
# run command's Wine prefix, and ends every process it started.
# The audio engine is bin/bass.dll of the build when it has been built (the tracks
# are then short MP3 files made here), otherwise the recording stand-in of
# the tests, for which any bytes with an .mp3 name do.
set -eu
scale=${2:-100}
if [ $# -lt 1 ] || [ $# -gt 2 ] || { [ "$scale" != 100 ] && [ "$scale" != 200 ]; }; then
    echo "usage: $0 OUT_PNG [100|200]" >&2
    exit 2
fi
out=$(realpath -m "$1")
times=$((scale / 100))
DESKTOP_SIZE=$((1024 * times))x$((768 * times))
cd "$(dirname "$0")/.."
root=$PWD

. scripts/screenshot-desktop.sh
. scripts/lib/tone.sh
tonquil_build tonquil tonquil_extension bass bass_double

work=$root/$BUILD_DIR/screenshot-window
rm -rf "$work"
mkdir -p "$work" "$(dirname "$out")"
if [ "$scale" = 100 ]; then
    start_screenshot_desktop "$work"
else
    start_screenshot_desktop "$work" "wineprefix-run-$scale"
    # Read by every program that starts after it.
    quiet "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d $((96 * times)) /f
    quiet "$WINE" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d $((96 * times)) /f
    quiet wineserver -k
    quiet wineserver -p
fi

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
        if [ -f "$BUILD_DIR/bin/bass.dll" ]; then
            # Tagged, so the window's title and artist columns fill in.
            wav_to_mp3 "$work/tone.wav" "$music/$folder/$name" --tt "$title" --ta "${fields[0]}" \
                --tl "${fields[1]}" --tn "$number" --id3v2-only
        else
            cp "$work/tone.mp3" "$music/$folder/$name"
        fi
        printf 'C:\\Music\\%s\\%s\r\n' "$folder" "$name" >>"$player/tonquil.m3u"
        number=$((number + 1))
    done
done
# The current track is the sixth, played and shown in the window from the
# start; no balloon, so that the corner by the icon stays clear; the window
# sits to the left of the notification area (its place is in pixels).
printf '[Client]\r\nTrackNo=5\r\nPlayMode=1\r\nVolume=70\r\nShowInfo=0\r\n' >"$player/tonquil.ini"
printf 'PlayRun=1\r\nShowWnd=1\r\n' >>"$player/tonquil.ini"
printf '[Window]\r\nLeft=%d\r\nTop=%d\r\nRight=%d\r\nBottom=%d\r\n' $((64 * times)) \
    $((48 * times)) $((904 * times)) $((668 * times)) >>"$player/tonquil.ini"

# (480, 360) lies inside the window once it is up, and is bare desktop
# before, as (980, 200) stays.
window_shown() { [ "$(pixel $((480 * times)) $((360 * times)))" != "$(pixel $((980 * times)) $((200 * times)))" ]; }

desktop 'C:\Tonquil\tonquil.exe'
wait_until window_shown
# The time has moved on from the start.
sleep 3
import -window root "$out"

desktop 'C:\Tonquil\tonquil.exe' /exit
sleep 2
echo "screenshot-window: written to $out"
