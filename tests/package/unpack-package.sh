#!/usr/bin/env bash
# Makes the release package of the build tree, as `--target package` does,
# and unpacks it into FOLDER/unpacked for the package test to read.
# Usage: unpack-package.sh BUILD_DIR FOLDER
set -eu
build=$1
folder=$2
rm -rf "$build/package" "$folder/unpacked"
(cd "$build" && cpack --config CPackConfig.cmake >"$folder/cpack.log" 2>&1) ||
    { cat "$folder/cpack.log"; exit 1; }
mkdir -p "$folder/unpacked"
zips=("$build"/package/Tonquil-*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || { echo "no single package in $build/package"; exit 1; }
(cd "$folder/unpacked" && cmake -E tar xf "${zips[0]}")
basename "${zips[0]}" >"$folder/unpacked/package-name.txt"
