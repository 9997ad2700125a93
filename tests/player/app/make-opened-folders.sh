#!/bin/bash
# Folders for the opened-files test that Wine cannot make quickly: one of
# 100,000 files, and one that holds a link to itself.
set -e
out="$1"
rm -rf "$out/many" "$out/loop"
mkdir -p "$out/many" "$out/loop"
(cd "$out/many" && seq -f '%06g.mp3' 0 99999 | xargs touch)
echo audio > "$out/loop/a.mp3"
ln -s . "$out/loop/self"
touch "$out/stamp"
