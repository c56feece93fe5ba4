#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game as a player starts it, with SDL's disk audio driver standing in for
# a sound card: its window shows, from start-up the music plays (non-silent,
# not clipped) without a word on standard error, and EXIT stops it: the game
# ends and nothing more is written.
# usage: startup_audio_test.sh HVEZDA AUDIO_FILE_STATS
set -u
game=$1 stats=$2
if [ -z "${HVEZDA_INSIDE_XVFB:-}" ]; then
  if ! command -v xvfb-run > /dev/null || ! command -v xdotool > /dev/null; then
    echo "SKIP: Xvfb or xdotool missing (scripts/deps.sh installs them)"
    exit 77
  fi
  HVEZDA_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

work=$(mktemp -d)
export XDG_STATE_HOME="$work/state"  # the game records here, not in the home folder
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw"
"$game" 2> "$work/err" &
pid=$!
wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[ -n "$wid" ] || { echo "FAIL: no game window"; kill "$pid"; exit 1; }
sleep 3

# EXIT is Label4, at (592, 64) px inside the panel's one-pixel frame.
xdotool mousemove --window "$wid" 603 73 click 1
source "$(dirname "$0")/../lib/processes.sh"
if ! wait_end "$pid" 20; then
  echo "FAIL: the game still runs 2 s after EXIT"
  kill "$pid"
  exit 1
fi
size=$(stat -c %s "$work/out.raw")
sleep 0.5
[ "$(stat -c %s "$work/out.raw")" = "$size" ] || { echo "FAIL: audio written after EXIT"; exit 1; }

read -r frames peak rms clipped silence < <("$stats" "$work/out.raw")
echo "status $status; $frames frames, peak $peak, RMS $rms, $clipped clipped, longest silence $silence frames"
fail=0
[ "$status" -eq 0 ] || { echo "FAIL: EXIT gave status $status"; fail=1; }
# About three seconds at 48 kHz were played before EXIT.
[ "$frames" -ge 96000 ] || { echo "FAIL: only $frames frames written"; fail=1; }
awk -v r="$rms" 'BEGIN { exit !(r > 0.05) }' || { echo "FAIL: the music is (nearly) silent"; fail=1; }
[ "$clipped" -eq 0 ] || { echo "FAIL: $clipped samples clipped"; fail=1; }
said=$(game_said "$work/err")
[ -n "$said" ] && { echo "FAIL: a normal start printed: ${said:0:500}"; fail=1; }
# No gap of more than a quarter of a second once the music has begun.
[ "$silence" -le 12000 ] || { echo "FAIL: a silent gap of $silence frames"; fail=1; }
exit $fail
