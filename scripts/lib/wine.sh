# Sourced by every script that runs Tonquil under Wine: the tests' runner,
# the run command and the screenshot scripts. One way to choose the Wine,
# one way to make a prefix, one way to start an Xvfb.

# Runs a command with its standard streams on /dev/null and without the
# descriptor of a caller's lock: Wine's helper processes (wineserver,
# services, explorer) outlive the command, and whatever they inherit stays
# open, so a pipe would keep a reader waiting and a lock would stay held.
quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

# True when this machine starts 32-bit programs. Some kernels run none at
# all; 32-bit Wine then fails with "Exec format error".
wine_runs_32bit() { /usr/lib/wine/wine --version </dev/null >/dev/null 2>&1; }

# The architecture whose build the tests and the run command use: x86, the
# product, unless TONQUIL_TEST_ARCH says otherwise or 32-bit programs cannot
# start here.
tonquil_arch() {
    case "${TONQUIL_TEST_ARCH:-}" in
    x64 | x86) echo "$TONQUIL_TEST_ARCH" ;;
    *) if wine_runs_32bit; then echo x86; else echo x64; fi ;;
    esac
}

# wine_use ARCH PREFIX: exports what every Wine process of that build needs
# and sets WINE to the loader that runs its programs.
wine_use() {
    export WINEPREFIX=$2
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ "$1" = x64 ]; then
        export WINEARCH=win64
        # /usr/bin/wine always picks the 32-bit loader when it is installed.
        export WINELOADER=/usr/lib/wine/wine64
        WINE=$WINELOADER
    else
        export WINEARCH=win32
        WINE=wine
    fi
}

# wine_start_xvfb STATE_FILE [SCREEN]: sets DISPLAY to an Xvfb of our own, the
# one recorded in STATE_FILE while it still runs, else a new one of SCREEN
# (default 1024x768x24), recorded there.
wine_start_xvfb() {
    local state=$1 screen=${2:-1024x768x24} pid num
    if [ -f "$state" ]; then
        read -r pid num <"$state"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$num"
            return
        fi
    fi
    local numfile
    numfile=$(mktemp)
    # -displayfd tells which display number the server took.
    setsid Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$numfile" \
        </dev/null >/dev/null 2>&1 9>&- &
    pid=$!
    for _ in $(seq 100); do
        [ -s "$numfile" ] && break
        sleep 0.05
    done
    num=$(tr -dc 0-9 <"$numfile")
    rm -f "$numfile"
    echo "$pid $num" >"$state"
    export DISPLAY=":$num"
}

# Ends the Xvfb recorded in STATE_FILE.
wine_stop_xvfb() {
    local pid
    [ -f "$1" ] || return 0
    read -r pid _ <"$1"
    kill "$pid" 2>/dev/null
    rm -f "$1"
}

# A LOGFONTW of 9 points at 96 DPI in the named face, as hexadecimal bytes.
logfont_hex() {
    python3 -c 'import struct, sys
face = sys.argv[1].encode("utf-16-le").ljust(64, b"\0")
print((struct.pack("<5i8B", -12, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0) + face).hex())' "$1"
}

# Makes the prefix named by WINEPREFIX once; a prefix whose making was cut
# short (no mark) is made again from nothing. The caller holds a lock when
# several processes may get here at once.
wine_make_prefix() {
    local ready="$WINEPREFIX/.tonquil-prefix-6"
    [ -f "$ready" ] && return 0
    # A server left by an interrupted making still holds the old prefix.
    quiet wineserver -k || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    quiet wineserver -p
    quiet "$WINE" wineboot -i
    # A crashing program must end at once, not wait in the debugger that Wine
    # would start for it (a test run would hang until its time-out): the
    # "debugger" here exits straight away and the program is ended.
    quiet "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /t REG_SZ /d 'cmd.exe /c exit' /f
    # With no window manager on the display, Wine waits two seconds for one
    # each time it hides or destroys a top-level window; windows it does not
    # hand to a window manager spare that wait.
    quiet "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    # Japanese Windows draws menus, messages, captions and status bars in MS
    # UI Gothic; Wine's own defaults (Tahoma) have no Japanese glyphs.
    local metric
    for metric in MenuFont MessageFont StatusFont CaptionFont SmCaptionFont IconFont; do
        quiet "$WINE" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$metric" \
            /t REG_BINARY /d "$(logfont_hex 'MS UI Gothic')" /f
    done
    quiet "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ \
        /d 'Noto Sans CJK JP' /f
    quiet wineserver -k
    # Check marks, arrows and caption buttons are drawn from Marlett.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    touch "$ready"
}
