#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The install puts exactly the game's files in place; installed, it finds its music and shows its window.
build=$1  # usage: install_test.sh BUILD_DIR
source "$(dirname "$0")/../lib/processes.sh"
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

id=cz.hvezda.Hvezda
expected="bin/hvezda
share/applications/$id.desktop
share/doc/hvezda/changelog.gz
share/doc/hvezda/copyright
share/hvezda/Moonlite.dat
$(for size in 128 16 256 32 48 64; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done)
share/man/man6/hvezda.6.gz
share/metainfo/$id.metainfo.xml"
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] ||
  fail "the installed files differ from the list (< expected, > installed): $(diff <(echo "$expected") <(echo "$installed"))"
[ -x "$prefix/bin/hvezda" ] || fail "bin/hvezda is not executable"
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "the ${size}x$size icon is not a $size x $size RGBA PNG"
done
[ "$failures" -eq 0 ] || exit 1
echo "installed: $(echo "$installed" | wc -l) files, as listed"

bash "$(dirname "$0")/../music/startup_audio_test.sh" "$prefix/bin/hvezda"
