#!/usr/bin/env bash
# Sets up what is missing, builds Tonquil and starts it under Wine in demo/,
# a folder of its own beside the build.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset mingw >/dev/null
# Quiet when all is well; the whole log when the build fails.
cmake --build --preset mingw >build/build.log 2>&1 || { cat build/build.log; exit 1; }
mkdir -p demo
cp -f build/bin/*.exe build/bin/*.dll demo/ 2>/dev/null || cp -f build/bin/tonquil.exe demo/
[ ! -x scripts/make-demo.sh ] || scripts/make-demo.sh demo
echo "Tonquil runs in the notification area of the Wine desktop; close it with its"
echo "menu (終了) or Ctrl+C. Wine's own messages go to build/run.log."
# Wine shows the Unix file system as drive Z:. The virtual desktop has a
# taskbar with the notification area, where the player's icon appears.
exe="Z:$(printf '%s' "$PWD/demo/tonquil.exe" | tr / '\\')"
exec scripts/wine-run.sh --prefix build/wineprefix-run explorer /desktop=Tonquil,1024x768 "$exe" \
    2>build/run.log
