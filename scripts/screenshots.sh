#!/usr/bin/env bash
# Takes the README's pictures of Tonquil: its icon in the notification area,
# the command menu, the track list and the balloon of a playing track.
# Usage: scripts/screenshots.sh [OUT_DIR]   (default docs/screenshots)
#
# Runs the player in a Wine virtual desktop on an Xvfb of its own, in the
# run command's Wine prefix, and ends every process it started.
# The audio engine is bin/bass.dll of the build when it has been built, otherwise
# the recording stand-in of the tests (which plays nothing but opens files).
set -eu
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-docs/screenshots}")

. scripts/screenshot-desktop.sh
. scripts/lib/tone.sh
tonquil_build tonquil bass bass_double

work=$root/$BUILD_DIR/screenshots
rm -rf "$work"
mkdir -p "$work" "$out"
start_screenshot_desktop "$work"

# The player's folder with its engine, settings and playlist, and the music.
player=$WINEPREFIX/drive_c/Tonquil
music=$WINEPREFIX/drive_c/Music
rm -rf "$player" "$music"
mkdir -p "$player" "$music"
cp "$BUILD_DIR/bin/tonquil.exe" "$player/"
if [ -f "$BUILD_DIR/bin/bass.dll" ]; then
    cp "$BUILD_DIR/bin/bass.dll" "$player/"
else
    cp "$BUILD_DIR/tests/doubles/bass/bass.dll" "$player/"
fi
printf '[Client]\r\nShowInfo=2\r\nTrackNo=2\r\nPlayMode=1\r\n[TaskTray]\r\nElapse=130\r\n' \
    >"$player/tonquil.ini"
tone_wav "$work/tone.wav" 20 sine 440 vol 0.2
wav_to_mp3 "$work/tone.wav" "$work/tone.mp3"
python3 - "$music" "$player/tonquil.m3u" "$work" <<'EOF'
import os, sys
music, playlist, work = sys.argv[1:]
tracks = [
    ("01 Morning Light.mp3", "朝の光", "トンキル楽団"),
    ("02 River Song.mp3", "川の歌", "トンキル楽団"),
    ("03 Dawn Waltz.mp3", "夜明けのワルツ", "トンキル楽団"),
    ("04 Blue Hour.mp3", "青い時間", "山田 花子"),
    ("05 Paper Lanterns.mp3", "提灯", "山田 花子"),
    ("06 Slow Tide.mp3", "ゆるやかな潮", "Tonquil Ensemble"),
    ("07 Northern Road.mp3", "北の道", "Tonquil Ensemble"),
    ("08 Last Train.mp3", "終電", "Tonquil Ensemble"),
]

def syncsafe(n):
    return bytes(((n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F))

def frame(name, text):
    data = b"\x03" + text.encode("utf-8")  # UTF-8 text
    return name.encode() + syncsafe(len(data)) + b"\0\0" + data

body = open(os.path.join(work, "tone.mp3"), "rb").read()
lines = []
for name, title, artist in tracks:
    frames = frame("TIT2", title) + frame("TPE1", artist)
    tag = b"ID3\x04\x00\x00" + syncsafe(len(frames)) + frames
    path = os.path.join(music, name)
    open(path, "wb").write(tag + body)
    open(path + ".id3v2", "wb").write(tag)  # the stand-in engine's tag block
    lines.append("C:\\Music\\" + name)
open(playlist, "w", newline="").write("\r\n".join(lines) + "\r\n")
EOF

# The icon sits at (1013, 757); (1000, 700) lies inside either menu and the
# balloon, just above the icon; (300, 300) and (900, 757) are bare desktop
# and bare taskbar.
popup_shown() { [ "$(pixel 1000 700)" != "$(pixel 300 300)" ]; }
popup_gone() { ! popup_shown; }
# The tip, at (990, 737), comes after the pointer has moved onto the icon and
# rested there; nudge it until it does.
tip_shown() {
    xdotool mousemove 1012 757 sleep 0.1 mousemove 1013 757 sleep 1
    [ "$(pixel 990 737)" != "$(pixel 300 300)" ]
}
# The bottom right corner of the desktop, where all of it happens; the icon
# alone is shown at twice its size.
shot() {
    sleep 0.5
    import -window root -crop 360x240+664+528 +repage "$out/$1.png"
}
shot_icon() {
    sleep 0.5
    import -window root -crop 160x52+864+716 +repage -filter point -resize 200% "$out/$1.png"
}

desktop 'C:\Tonquil\tonquil.exe'
wait_until icon_shown
wait_until tip_shown
shot_icon tray-icon

xdotool click 3 # the command menu opens on the button-up
wait_until popup_shown
xdotool mousemove 600 400 # out of the way of the menu, so the tip goes
shot command-menu
xdotool click 1 # a click outside closes the menu
wait_until popup_gone

xdotool mousemove 1013 757 click 1 # the track list opens after the click delay
wait_until popup_shown
xdotool mousemove 600 400
shot track-list
xdotool click 1
wait_until popup_gone

desktop 'C:\Tonquil\tonquil.exe' /play # a second start forwards the command
wait_until popup_shown
sleep 1
shot balloon

desktop 'C:\Tonquil\tonquil.exe' /exit
sleep 2

# The window of the extension module, beside the tray icon, on a desktop of
# its own, at 100 % and at 200 %.
stop_screenshot_desktop
"$root/scripts/screenshot-window.sh" "$out/window.png"
"$root/scripts/screenshot-window.sh" "$out/window-200.png" 200
echo "screenshots: written to $out"
