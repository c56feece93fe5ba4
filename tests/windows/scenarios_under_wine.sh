#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every scenario with hvezda-sim.exe under Wine. usage: scenarios_under_wine.sh [BUILD-DIR (build-win64)]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build-win64}" && pwd)"
sim="$build/hvezda-sim.exe"
[ -f "$sim" ] || { echo "scenarios under Wine: no $sim (build the Windows target first)" >&2; exit 1; }
# A prefix of our own, no Mono or Gecko installer at its first start, one wineserver for all the runs.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k' EXIT
# The prefix's first start leaves Wine's services holding its output open: not one a scenario waits on.
wine "$sim" >/dev/null 2>&1 </dev/null  # an empty script
failed=()
count=0
for script in "$root"/tests/scenarios/*.sim; do
  count=$((count + 1))
  (cd "$build" && cmake -DSIM="wine;$sim" -DWINDOWS=ON -DSCRIPT="$script" -DEXPECTED="${script%.sim}.expected" \
    -P "$root/tests/run_scenario.cmake") || failed+=("$(basename "$script" .sim)")
done
[ ${#failed[@]} -eq 0 ] || { echo "scenarios under Wine: ${#failed[@]} of $count differ: ${failed[*]}" >&2; exit 1; }
echo "scenarios under Wine: all $count match"
