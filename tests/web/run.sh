#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser build's tests: every scenario (it must print what the native
# driver prints, and its expect lines must hold) and every recorded game
# through the driver under node; then the page served from 127.0.0.1 in
# Debian's headless chromium, driven by npm's puppeteer-core
# (browser_test.mjs), checked against the native driver; then the page at
# /play/ of the hall of fame server, a whole game sent and replayed
# (hall_page_test.mjs).
#
#   tests/web/run.sh PAGE-FOLDER NATIVE-BUILD     (scripts/web.sh's folder, build/)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
page="$(cd "$1" && pwd)"
native="$(cd "$2" && pwd)"
tag=web-tests
. "$root/scripts/debian-libs.sh"
. "$root/tests/lib/processes.sh"

# chromium from Debian; puppeteer-core (never puppeteer: it downloads a
# browser) from npm, into a cache outside the checkout.
install_missing chromium imagemagick
npm_dir="$HOME/.cache/hvezda/web-npm"
puppeteer=puppeteer-core@24.43.1
if [ "$(cat "$npm_dir/installed" 2>/dev/null)" != "$puppeteer" ]; then
  say "installing $puppeteer from npm"
  npm install --prefix "$npm_dir" --no-audit --no-fund --loglevel=error "$puppeteer" >/dev/null
  echo "$puppeteer" >"$npm_dir/installed"
fi

for script in "$root"/tests/scenarios/*.sim; do
  (cd "$work" && cmake -DSIM="node;$page/hvezda-sim.js" -DSCRIPT="$script" -DEXPECTED="${script%.sim}.expected" \
    -P "$root/tests/run_scenario.cmake") || fail "scenario $(basename "$script") under node"
done
# The recorded games replay to the end their files state.
for recording in "$root"/tests/corpus/*.sim; do
  node "$page/hvezda-sim.js" --verify "$recording" >/dev/null || fail "$(basename "$recording") under node"
done
[ "$failures" -eq 0 ] && echo "scenarios and recordings under node: all pass"

serve_folder "$page"
node "$root/tests/web/browser_test.mjs" "$url" "$native/hvezda-sim" "$work" "$npm_dir" \
  || fail "the page in chromium"

# The page at /play/ of a real hall of fame server (a scratch SQLite file):
# a whole game sent to the board, and replayed from it.
if [ -x "$native/hvezda-hall" ]; then
  "$native/hvezda-hall" --listen 127.0.0.1:0 --database "sqlite:$work/hall.sqlite" --web "$page" >"$work/hall.out" 2>&1 &
  started+=($!)
  for _ in $(seq 100); do grep -q 'listening on' "$work/hall.out" && break; sleep 0.05; done
  hall=$(sed -n 's|.*listening on \(http://[0-9.:]*\)/.*|\1|p' "$work/hall.out")
  [ -n "$hall" ] || fail "no hall of fame server: $(cat "$work/hall.out")"
  [ -z "$hall" ] || node "$root/tests/web/hall_page_test.mjs" "$hall" "$native/hvezda-sim" "$work" "$npm_dir" \
    || fail "the page sending to the hall of fame"
else
  echo "SKIP: the page and the hall of fame: $native/hvezda-hall is not built"
fi
finish "web"
