#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays real games in the window on a virtual X display with xdotool and keeps
# their recordings: the corpus in tests/corpus. Nothing reads the game's
# memory; the player only looks at the game the way a bug report would, by
# replaying the recording written so far in hvezda-sim.
#
#   scripts/record-games.sh BUILD_DIR OUT_DIR [GAME...]
#
# Writes the GAMEs named, by default all three: game-over.sim (normal play
# ends), winner.sim (the boss destroyed) and boss-lost.sim (the ship destroyed
# in the boss fight). The input is the same
# every time, but the craft come back in columns drawn from the clock, so each
# run records other games; a game that misses its ending is played again.
set -euo pipefail

if [ -z "${HVEZDA_INSIDE_XVFB:-}" ]; then
  # A held key repeats every 60 ms: holding X fires that often. Only the key
  # pressed last repeats, so X is pressed again after each arrow.
  HVEZDA_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -ardelay 60 -arinterval 60" bash "$0" "$@"
fi
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
shift 2
games=${*:-game-over winner boss-lost}
export SDL_AUDIODRIVER=dummy XDG_STATE_HOME="$out/.state"
work=$(mktemp -d)
trap 'rm -rf "$work" "$out/.state"' EXIT

# TARGET's value in the game recorded so far (its complete lines).
peek() {
  { head -n "$(wc -l <"$rec")" "$rec"; echo "get $1"; } | "$build/hvezda-sim" 2>/dev/null | sed 's/^[^=]*=//'
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 > b + 0) }'; }
# The refill, once the shield is half gone.
refill() { above "$(peek energy.Top)" 0 && [ "$(peek life.Visible)" = true ] && xdotool key c || true; }
click() { xdotool mousemove --window "$wid" $((1 + 592 + 10)) $((1 + $1 + 8)) click 1; }  # Label4/5/6 at 64/32/48 px
start() {
  rec="$work/$1.sim"
  "$build/hvezda" --record "$rec" &
  pid=$!
  wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
  xdotool windowfocus --sync "$wid"
}
# Ends the game with EXIT, or (given F2) with a new game that EXIT ends at once.
finish() {
  sleep 1
  if [ "${1:-}" = F2 ]; then
    xdotool key F2
    sleep 0.5
  fi
  click 64
  wait "$pid"
  rm -f "${rec%.sim}-2.sim"
  "$build/hvezda-sim" --verify "$rec"
}
firing=""
fire() { firing="keydown x"; xdotool keydown x; }
cease_fire() { firing=""; xdotool keyup x; }
# Sweeps left and right, 0.7 s each way, while CONDITION holds (a peek every 2 s).
sweep() {
  local side=Left
  while eval "$1"; do
    refill
    for _ in 1 2; do
      xdotool keydown $side $firing; sleep 0.7; xdotool keyup $side
      [ $side = Left ] && side=Right || side=Left
    done
  done
  xdotool keyup Left keyup Right
}

# Normal play lost: a few shots, the panel and a pause, then short flights
# without firing, beneath the craft and their shots; then a new game (F2).
game_over() {
  start game-over
  xdotool key --delay 150 x x x x
  click 32; sleep 0.5; click 48
  xdotool keydown Left key p sleep 0.5 key Escape keyup Left  # a pause while a key is held
  while [ "$(peek Timer1.Enabled)" = true ]; do
    refill
    for side in Left Right Right Left; do xdotool keydown $side sleep 0.05 keyup $side sleep 0.3; done
  done
  finish F2
}

# Flies to the middle of the window, where the boss's shots come down (unless
# the ship is lost on the way and moves no more).
park() {
  local x
  while x=$(peek Picture1.Left); [ "$(peek Timer1.Enabled)" = true ] && { above "$x" 4700 || above 3500 "$x"; }; do
    if above "$x" 4700; then xdotool keydown Left sleep 0.1 keyup Left; else xdotool keydown Right sleep 0.1 keyup Right; fi
  done
}

# Firing and sweeping until the boss arrives; then to the end of the fight,
# still firing (WINNER is likely) or parked beneath the boss (lost).
boss_game() {
  start "$1"
  click 48
  fire
  sweep '[ "$(peek Timerboss.Enabled)" = false ] && [ "$(peek Timer1.Enabled)" = true ]'
  if [ "$(peek Timer1.Enabled)" = false ]; then
    cease_fire  # lost before the boss came
  elif [ "$1" = boss-lost ]; then
    cease_fire
    park
    while [ "$(peek Label3.Visible)" = false ]; do sleep 1; done
  else
    sweep '[ "$(peek Label3.Visible)" = false ] && [ "$(peek Timer1.Enabled)" = true ]'
    cease_fire
  fi
  finish
}

# How the recorded game ended, from the expectations at its end.
ended() { grep -qx "expect $1" "$rec"; }
used_up() { above "$(sed -n "s/^expect $1 //p" "$rec")" 2040; }  # an energy bar past its end

# Plays GAME until it ends as CONDITION says, and keeps its recording.
keep() {
  until $1 && eval "$2"; do
    echo "$(basename "$rec") ended otherwise; playing it again:" >&2
    grep '^expect' "$rec" | head -n 10 | tr '\n' ' ' >&2
  done
  cp "$rec" "$out/"
}
for name in $games; do
  case $name in
    game-over) keep game_over 'ended "state.playerDestroyed ano" && ended "Timerboss.Enabled false"' ;;
    winner) keep "boss_game winner" 'ended "Label3.Visible true" && used_up bossenergy.Top && ! used_up energy.Top' ;;
    boss-lost) keep "boss_game boss-lost" 'ended "Label3.Visible true" && used_up energy.Top' ;;
    *) echo "unknown game $name" >&2; exit 2 ;;
  esac
  wc -l "$out/$name.sim"
done
