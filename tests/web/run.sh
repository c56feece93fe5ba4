#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser build: every scenario and recorded game through the driver under node, as natively; the page
# from 127.0.0.1 in headless chromium on a desktop and on a phone; the page at a hall of fame server's /play/.
# HVEZDA_WEB_SCREENSHOTS: where the phone's screenshots go (default: web-screenshots beside PAGE-FOLDER).
#   tests/web/run.sh PAGE-FOLDER NATIVE-BUILD     (scripts/web.sh's folder, build/)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
page="$(cd "$1" && pwd)"
native="$(cd "$2" && pwd)"
tag=web-tests
. "$root/scripts/debian-libs.sh"
. "$root/tests/lib/processes.sh"

# chromium from Debian; puppeteer-core (never puppeteer: it downloads a browser) from npm, outside the checkout.
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

# A copy is served: the phone's test makes a new release of it.
cp -r "$page" "$work/site"
serve_folder "$work/site"
node "$root/tests/web/browser_test.mjs" "$url" "$native/hvezda-sim" "$work" "$npm_dir" \
  || fail "the page in chromium"
shots="${HVEZDA_WEB_SCREENSHOTS:-$(dirname "$page")/web-screenshots}"
node "$root/tests/web/phone_test.mjs" "$url" "$work/site" "$native/hvezda-sim" "$work" "$npm_dir" "$shots" \
  || fail "the page on a phone in chromium"
echo "the page's screenshots: $shots"

# The page at /play/ of a real hall of fame server (a scratch SQLite file).
if [ -x "$native/hvezda-hall" ]; then
  serve_hall "$native/hvezda-hall" 0 --database "sqlite:$work/hall.sqlite" --web "$page"
  node "$root/tests/web/hall_page_test.mjs" "$url" "$native/hvezda-sim" "$work" "$npm_dir" ||
    fail "the page sending to the hall of fame"
else
  echo "SKIP: the page and the hall of fame: $native/hvezda-hall is not built"
fi
finish "web"
