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
out="$build/scenarios-under-wine"
rm -rf "$out"
mkdir -p "$out"
failed=()
count=0
for script in "$root"/tests/scenarios/*.sim; do
  name="$(basename "$script" .sim)"
  count=$((count + 1))
  seed=()
  if [[ "$(head -n 1 "$script")" =~ ^#\ seed\ ([0-9]+) ]]; then seed=(--seed "${BASH_REMATCH[1]}"); fi
  # The script goes in on standard input: no path to translate.
  if ! wine "$sim" "${seed[@]}" <"$script" 2>"$out/$name.err" | sed 's/\r$//' >"$out/$name.got"; then
    echo "$name: hvezda-sim.exe failed: $(head -c 300 "$out/$name.err")" >&2
    failed+=("$name")
    continue
  fi
  # The game joins folder and module with the system's separator: "/hvezda\Moonlite.dat".
  want="$root/tests/scenarios/$name.expected"
  [ -f "$want" ] && sed 's|/hvezda/Moonlite\.dat|/hvezda\\Moonlite.dat|g' "$want" >"$out/$name.want" || : >"$out/$name.want"
  if ! cmp -s "$out/$name.got" "$out/$name.want"; then
    diff -u "$out/$name.want" "$out/$name.got" | head -n 20 >&2 || true
    failed+=("$name")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "scenarios under Wine: ${#failed[@]} of $count differ: ${failed[*]} (output in $out)" >&2; exit 1; }
echo "scenarios under Wine: all $count match"
