#!/usr/bin/env bash
# Sets up what is missing, builds Tonquil and starts it under Wine in demo/,
# a folder of its own beside the build.
set -eu
cd "$(dirname "$0")/.."
. scripts/lib/build.sh
tonquil_build
tonquil_arch_line
mkdir -p demo
cp -f "$BUILD_DIR"/bin/*.exe "$BUILD_DIR"/bin/*.dll demo/
scripts/make-demo.sh demo
echo "Tonquil runs in the notification area of the Wine desktop; close it with its"
echo "menu (終了) or Ctrl+C. Wine's own messages go to $BUILD_DIR/run.log."
# Wine shows the Unix file system as drive Z:. The virtual desktop has a
# taskbar with the notification area, where the player's icon appears.
exe="Z:$(printf '%s' "$PWD/demo/tonquil.exe" | tr / '\\')"
exec scripts/wine-run.sh --arch "$ARCH" --prefix "$BUILD_DIR/wineprefix-run" \
    explorer /desktop=Tonquil,1024x768 "$exe" 2>"$BUILD_DIR/run.log"
