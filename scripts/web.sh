#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game for the browser with Debian's emscripten and lays out the
# folder a web server serves as it is:
#
#   scripts/web.sh           ->  build-web/hvezda-web/ (its path is the last line)
#   scripts/web.sh --serve   the same, then serves it on http://127.0.0.1:8000/
#
# The folder holds index.html, page.js, hall_client.js, hvezda.js, hvezda.wasm, hvezda.data
# (the music and the font), the icon, licences/ (what the program embeds), and
# the driver for node: `node hvezda-sim.js [--seed N] [SCRIPT]`, with fonts/
# for its screenshots. The libraries come from scripts/web-deps.sh (built
# once, then reused).
#
# HVEZDA_WEB_JOBS    parallel jobs (default: nproc)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="$root/build-web"
jobs="${HVEZDA_WEB_JOBS:-$(nproc)}"
prefix="${HVEZDA_WEB_PREFIX:-$HOME/.cache/hvezda/web}"

HVEZDA_WEB_JOBS="$jobs" scripts/web-deps.sh

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten-web.cmake -DHVEZDA_WEB_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DHVEZDA_BUILD_TESTS=OFF -DHVEZDA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target hvezda-web hvezda-sim

page="$build/hvezda-web"
rm -rf "$page"
mkdir -p "$page/fonts"
cp "$build/hvezda.html" "$page/index.html"
cp "$build"/hvezda.{js,wasm,data} "$build/hvezda-sim.js" src/web/page.js src/web/hall_client.js "$page/"
cp assets/icon_32.png "$page/icon.png"
cp "$(sed -n 's/^HVEZDA_WEB_FONT:FILEPATH=//p' "$build/CMakeCache.txt")" "$page/fonts/"

# The licences of the game and of everything it embeds, with a page listing them.
licences="$page/licences"
mkdir -p "$licences"
cp LICENSE "$licences/hvezda.txt"
cp "$prefix"/licences/*.txt "$licences/"
for pkg in emscripten fonts-liberation2; do cp "/usr/share/doc/$pkg/copyright" "$licences/$pkg.txt"; done
{
  echo '<!doctype html><meta charset="utf-8"><title>Hvězda: licence</title><ul>'
  for f in "$licences"/*.txt; do f="$(basename "$f")"; echo "<li><a href=\"$f\">${f%.txt}</a></li>"; done
  echo '</ul>'
} >"$licences/index.html"

if [ "${1:-}" = --serve ]; then
  echo "$page"
  echo "web: open http://127.0.0.1:8000/ (Ctrl+C stops the server)"
  exec python3 -m http.server 8000 --bind 127.0.0.1 --directory "$page"
fi
echo "$page"
