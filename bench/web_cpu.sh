#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The page's CPU beside the desktop game's, in one run: hvezda-pace (the real
# loop and window on Xvfb, music on), then the page in headless chromium on a
# desktop's window and on a phone's screen, each followed by chromium's floors
# for it (bare pages drawing a canvas as large as often: a few pixels, with and
# without sound and gamepads; the whole canvas; rectangles as the game puts
# them, with and without sound and gamepads); SECONDS each (default 10),
# ROUNDS times (default 1), then the page against each floor (medians).
#   bench/web_cpu.sh PAGE-FOLDER NATIVE-BUILD [SECONDS] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
page="$(cd "$1" && pwd)"
native="$(cd "$2" && pwd)"
seconds="${3:-10}"
rounds="${4:-1}"
. "$root/tests/lib/processes.sh"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1280x1024x24" "$native/hvezda-pace" --seconds "$seconds" | grep -E '^CPU'
cp -r "$page" "$work/site"
cp "$root/bench/web_floor.html" "$work/site/"
serve_folder "$work/site"
node "$root/bench/web_cpu.mjs" "$url" "${url}web_floor.html" "$HOME/.cache/hvezda/web-npm" "$seconds" "$rounds"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
