# Sourced by the screenshot scripts from the repository's top: the run
# command's own Wine prefix on an Xvfb of their own, and the helpers both
# scripts drive the desktop with. tonquil_build (scripts/lib/build.sh) comes
# first: the pictures show the build this machine runs.

. scripts/lib/build.sh

xvfb_state=
stop_screenshot_desktop() {
    quiet wineserver -k || true
    [ -z "$xvfb_state" ] || wine_stop_xvfb "$xvfb_state"
}

# The size of the screen and of the Wine desktop on it.
DESKTOP_SIZE=${DESKTOP_SIZE:-1024x768}

# start_screenshot_desktop WORK_DIR [PREFIX_NAME]: the prefix the run command
# uses (or another of the build's, made the same way), and Wine's sound sent
# to a file (with no sound card it would have none). Ends the wineserver and
# the Xvfb when the script exits.
start_screenshot_desktop() {
    local work=$1
    wine_use "$ARCH" "$PWD/$BUILD_DIR/${2:-wineprefix-run}"
    trap stop_screenshot_desktop EXIT
    trap 'exit 1' INT TERM
    cat >"$work/asound.conf" <<CONF
pcm.!default { type file; slave.pcm { type null }; file "$work/sound.raw"; format "raw"; truncate true }
CONF
    export ALSA_CONFIG_PATH=$work/asound.conf
    xvfb_state=$work/xvfb
    wine_start_xvfb "$xvfb_state" "${DESKTOP_SIZE}x24"
    wine_make_prefix
    quiet wineserver -p
}

# Starts a program in the shared 1024x768 desktop with its taskbar.
desktop() { setsid "$WINE" explorer /desktop=shell,"$DESKTOP_SIZE" "$@" </dev/null >/dev/null 2>&1 & }
# The colour of one pixel of the screen, as #RRGGBB.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }
# Waits until the test on the screen holds, for up to about 30 seconds.
wait_until() {
    for _ in $(seq 120); do
        "$@" && return 0
        sleep 0.25
    done
    echo "$(basename "$0" .sh): gave up waiting for: $*" >&2
    exit 1
}
# The icon sits at (1013, 757); (900, 757) is bare taskbar.
icon_shown() { [ "$(pixel 1013 757)" != "$(pixel 900 757)" ]; }
