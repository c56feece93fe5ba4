#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Input latency of the real game, measured from outside it: from an arrow
# key pressed through XTEST to the first frame, read back from the X server,
# in which the ship has taken its step (bench/latency_probe.cpp). Builds
# build-perf/ and runs the game on an X server of its own (Xvfb) with vsync
# off and on, at scale 1 and 2, with and without music, and prints one line
# each, with the load average and the game's CPU share beside the figures.
#
#   bench/latency.sh [--presses N] [--only "vsync scale music"]... [--nice] [--game PROGRAM]
#
# e.g. --only "off 1 on" runs vsync off, scale 1, music on alone; --game
# measures another build of the game (an older one, to compare). Nothing of
# the player's is touched: the settings and the recordings live in a
# scratch folder.
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."

presses=200
game=build-perf/hvezda
runs=()
nice=()
while [ $# -gt 0 ]; do
  case "$1" in
    --presses) presses=$2; shift 2 ;;
    --only) runs+=("$2"); shift 2 ;;
    --only=*) runs+=("${1#--only=}"); shift ;;
    --nice) nice=(nice -n -20); shift ;;  # see below
    --game) game=$(cd "$OLDPWD" && realpath "$2"); shift 2 ;;
    *) echo "usage: bench/latency.sh [--presses N] [--only \"off|on 1|2 on|off\"]..." >&2; exit 2 ;;
  esac
done
if [ ${#runs[@]} -eq 0 ]; then
  for v in off on; do for s in 1 2; do for m in on off; do runs+=("$v $s $m"); done; done; done
fi

# --nice (root only): the X server, the game and the probe run at the highest
# priority in a scheduling group of their own (the kernel's autogroup, one a
# session), ahead of whatever else the machine is doing: the nearest to an
# idle machine a shared one gives. Without it they share the machine as a
# player's game would.
if [ ${#nice[@]} -gt 0 ] && [ -z "${HVEZDA_LATENCY_GROUP:-}" ]; then
  HVEZDA_LATENCY_GROUP=1 exec setsid -w "$self" --presses "$presses" --game "$game" --nice "${runs[@]/#/--only=}"
fi
if [ ${#nice[@]} -gt 0 ] && [ -w /proc/self/autogroup ]; then echo -20 >/proc/self/autogroup; fi

scripts/deps.sh
cmake -S . -B build-perf -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-perf -j2 --target hvezda hvezda-latency >/dev/null

work=$(mktemp -d)
started=()
trap 'kill "${started[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
"${nice[@]}" Xvfb -displayfd 3 -screen 0 1600x1280x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
started+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "latency: Xvfb did not start: $(cat "$work/xvfb.err")" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
mkdir -p "$XDG_CONFIG_HOME/hvezda"

load() { cut -d' ' -f1 /proc/loadavg; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # user + system, in clock ticks

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs; $(uname -sr); Xvfb 1600x1280x24"
echo "game: $game$([ ${#nice[@]} -gt 0 ] && echo ', --nice'); presses per run: $presses; times in ms from the key press to the first frame showing the step"
printf '%-5s %-5s %-5s %5s %6s %6s %6s %6s %6s %7s %9s %8s %11s\n' vsync scale music min median p90 p99 max \
  '>20ms' missed 'key p99' 'game CPU' 'load 1-min'
for run in "${runs[@]}"; do
  read -r vsync scale music <<<"$run"
  [ "$vsync" = on ] && echo "vsync = true" >"$XDG_CONFIG_HOME/hvezda/settings.toml" ||
    rm -f "$XDG_CONFIG_HOME/hvezda/settings.toml"
  # Without music: no audio device, as on a machine without sound.
  audio=dummy
  [ "$music" = off ] && audio=none
  SDL_AUDIODRIVER=$audio "${nice[@]}" "$game" --scale "$scale" >"$work/game.out" 2>&1 &
  pid=$!
  started+=($pid)
  timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' >/dev/null ||
    { echo "latency: no game window: $(cat "$work/game.out")" >&2; exit 1; }
  load0=$(load) cpu0=$(cpu_ticks $pid) t0=$(date +%s%N)
  "${nice[@]}" build-perf/hvezda-latency assets --presses "$presses" >"$work/probe.out" 2>"$work/probe.err" || {
    echo "latency: the probe failed: $(cat "$work/probe.err" "$work/game.out")" >&2; exit 1; }
  cpu=$(awk -v c0="$cpu0" -v c1="$(cpu_ticks $pid)" -v t0="$t0" -v t1="$(date +%s%N)" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.1f %%", 100 * (c1 - c0) / hz / ((t1 - t0) / 1e9) }')
  load1=$(load)
  kill -TERM $pid
  wait $pid || true
  read -r -a f <"$work/probe.out"
  # presses N min A median B p90 C p99 D max E key_median F key_p99 G over20 H missed I ...
  printf '%-5s %-5s %-5s %5s %6s %6s %6s %6s %6s %7s %9s %8s %11s\n' "$vsync" "$scale" "$music" "${f[3]}" "${f[5]}" \
    "${f[7]}" "${f[9]}" "${f[11]}" "${f[17]}" "${f[19]}" "${f[15]}" "$cpu" "$load0 - $load1"
done
