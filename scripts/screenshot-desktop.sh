# Sourced by the screenshot scripts: a Wine prefix and an Xvfb of their own.
# Usage: start_screenshot_desktop PREFIX WORK_DIR FONT...
#
# Exports WINEPREFIX and DISPLAY, sends Wine's sound to a null device (with no
# sound card it would have none), makes the prefix once with each FONT
# replaced by a CJK font (for the Japanese texts) and Marlett in place (check
# marks and arrows), and ends the wineserver and the Xvfb when the script
# exits. Also defines the helpers both scripts drive the desktop with.

quiet() { "$@" </dev/null >/dev/null 2>&1; }

xvfb_pid=
stop_screenshot_desktop() {
    quiet wineserver -k || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || wait "$xvfb_pid" 2>/dev/null || true
}

start_screenshot_desktop() {
    export WINEPREFIX=$1
    local work=$2
    shift 2
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    trap stop_screenshot_desktop EXIT
    trap 'exit 1' INT TERM

    cat >"$work/asound.conf" <<CONF
pcm.!default { type file; slave.pcm { type null }; file "$work/sound.raw"; format "raw"; truncate true }
CONF
    export ALSA_CONFIG_PATH=$work/asound.conf

    # -displayfd tells which display number the server took.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
        </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(tr -dc 0-9 <"$work/display")"

    if [ ! -f "$WINEPREFIX/.tonquil-ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        quiet wineserver -p
        quiet wine wineboot -i
        local font
        for font in "$@"; do
            quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ \
                /d 'Noto Sans CJK JP' /f
        done
        quiet wineserver -k
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        touch "$WINEPREFIX/.tonquil-ready"
    fi
    quiet wineserver -p
}

# Starts a program in the shared 1024x768 desktop with its taskbar.
desktop() { setsid wine explorer /desktop=shell,1024x768 "$@" </dev/null >/dev/null 2>&1 & }
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
