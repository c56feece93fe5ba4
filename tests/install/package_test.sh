#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: CPack makes it from the build's install rules, its
# dependencies come from the libraries the program links (the font alone by
# hand), and lintian finds neither error nor warning in it.
# usage: package_test.sh BUILD_DIR
build=$1
source "$(dirname "$0")/../lib/processes.sh"
need lintian

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl2-2.0-0 libsdl2-image-2.0-0 libsdl2-ttf-2.0-0 libopenmpt0 libfontconfig1 libstdc++6 fonts-dejavu-core; do
  grep -qwF "$lib" <<<"$depends" || fail "the package does not depend on $lib"
done
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
finish "$(basename "$deb"), $(stat -c %s "$deb") bytes, lintian clean"
