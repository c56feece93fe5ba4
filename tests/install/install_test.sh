#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` into a scratch prefix puts exactly the game's files in
# place, icons of the sizes their folders promise; then the installed game,
# started from there, finds its music under share/hvezda and shows its window
# (startup_audio_test.sh, on the installed program).
# usage: install_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

id=cz.hvezda.Hvezda
expected="bin/hvezda
share/applications/$id.desktop
share/doc/hvezda/changelog.gz
share/doc/hvezda/copyright
share/hvezda/Moonlite.dat
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/16x16/apps/$id.png
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/64x64/apps/$id.png
share/man/man6/hvezda.6.gz
share/metainfo/$id.metainfo.xml"
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$installed" != "$expected" ]; then
  echo "FAIL: the installed files differ from the list (< expected, > installed):"
  diff <(echo "$expected") <(echo "$installed")
  exit 1
fi
[ -x "$prefix/bin/hvezda" ] || { echo "FAIL: bin/hvezda is not executable"; exit 1; }
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    { echo "FAIL: the ${size}x$size icon is not a $size x $size RGBA PNG"; exit 1; }
done
echo "installed: $(echo "$installed" | wc -l) files, as listed"

bash "$(dirname "$0")/../music/startup_audio_test.sh" "$prefix/bin/hvezda"
