#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Recordings of real games in a real window under Xvfb: twenty seconds of
# random input with pauses record themselves and replay to the tick in the
# driver and in the window (where keys do nothing, the pause works and EXIT
# stops the replay), all of their luck drawn from the one seed they name;
# changed in one place (the seed, an advance, a key removed), it fails to
# verify exactly when the driver's hash after some step differs, within a
# second of play; a recording cut at a random byte replays up to its cut;
# three games leave the last two, a chosen file is numbered; without a state
# folder the game plays unrecorded; a recording that would write a file is
# refused before a window opens.
# usage: replay_window_test.sh HVEZDA HVEZDA_SIM
game=$1 sim=$2
source "$(dirname "$0")/../lib/processes.sh"
export XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=dummy
state="$work/state/hvezda"
printf 'advance 10\nscreenshot %s/shot.png\n' "$work" >"$work/shot.sim"
env -u DISPLAY "$game" --replay "$work/shot.sim" 2>"$work/err"
[ $? -eq 2 ] && grep -q "line 2: 'screenshot' is not a line of a recording" "$work/err" && [ ! -e "$work/shot.png" ] ||
  fail "--replay of a screenshot line: $(cat "$work/err")"
start_xvfb 1280x1024

play() { start_game "$game" "$@" && xdotool windowfocus --sync "$wid"; }
click() { xdotool mousemove --window "$wid" $((1 + 592 + 10)) $((1 + $1 + 8)) click 1; }  # Label4/5/6 at 64/32/48 px
end_game() {
  click_to_end || fail "EXIT did not end the game"
  [ "${status:-1}" -eq 0 ] || fail "the game ended with status $status: $(cat "$work/game.err")"
}

# Twenty seconds of random input: held arrows, shots, the refill, panel
# clicks, pauses (whose time the recording leaves out).
play || exit 1
arrows=(Left Right Up Down)
for ((stop = SECONDS + 28; SECONDS < stop;)); do
  arrow=${arrows[RANDOM % 4]}
  xdotool keydown "$arrow"
  for ((i = RANDOM % 4; i > 0; i--)); do xdotool key x; sleep 0.0$((RANDOM % 10)); done
  xdotool keyup "$arrow"
  case $((RANDOM % 10)) in 0) xdotool key c ;; 1) click 32 ;; 2) click 48 ;; 3) xdotool key p sleep 0.3 key Escape ;; esac
done
end_game
recording="$state/last-game.sim"
"$sim" --verify "$recording" >"$work/verify.out" 2>&1 || fail "the recording does not verify: $(cat "$work/verify.out")"
played=$(sed -n 's/^expect clock //p' "$recording")
echo "recorded: $(wc -l <"$recording") lines, ${played:-0} ms of play; $(cat "$work/verify.out")"
# Under a loaded machine the window's frames stall and its clock falls
# behind the wall's (16 of 28 s once): ten seconds is still a real game.
[ "${played:-0}" -ge 10000 ] || fail "only ${played:-0} ms of play recorded"
seed=$(sed -n 's/^seed //p' "$recording")
[ "$(grep -c '^seed ' "$recording")" -eq 1 ] && ! grep -q '^random ' "$recording" &&
  grep -q "luck: seed $seed\$" "$work/verify.out" || fail "the game's luck is not its one seed's: $(grep -c '^random ' "$recording") random lines"

# "CLOCK HASH" after every key, click and advance of a recording, as the driver has them.
steps() {
  awk '/^(keydown|keyup|click|advance) /{print; print "get clock"; print "hash"; next} /^(random|seed) /' "$1" |
    "$sim" | sed 's/^[a-z]*=//' | paste -d' ' - -
}
# mutant NAME AWK [STEP]: the recording changed by AWK (its STEP-th step left
# out); --verify fails exactly when a step's hash differs, at a checkpoint at
# most 1000 ms after the first that does.
mutant() {
  awk "$2" "$recording" >"$work/$1.sim"
  first=$(paste -d' ' <(steps "$recording" | awk -v k="${3:-0}" 'NR != k') <(steps "$work/$1.sim") |
    awk '$2 != $4 { print $3; exit }')
  "$sim" --verify "$work/$1.sim" >"$work/$1.out" 2>&1
  local status=$? at
  at=$(sed -n 's/.* went another way at \([0-9]*\) ms.*/\1/p' "$work/$1.out")
  if [ -z "$first" ]; then [ $status -eq 0 ] || fail "$1: no step differs, yet: $(cat "$work/$1.out")"
  elif [ $status -ne 1 ] || [ -z "$at" ] || [ "$at" -gt $((first + 1000)) ]; then
    fail "$1: the first step that differs ends at $first ms; --verify said: $(cat "$work/$1.out")"
  fi
  echo "$1: first difference at ${first:-none} ms; $(cat "$work/$1.out")"
}
mutant seed '/^seed / { n = length($2); $2 = substr($2, 1, n - 1) (substr($2, n) == "1" ? "2" : "1") } 1'
middle=$(($(grep -c '^advance ' "$recording") / 2))
mutant advance "/^advance / && ++n == $middle { \$2 += 10 } 1"
key=$(awk '/^(keydown|keyup|click|advance) / { ++n } /^keydown / && ++k == 3 { print n; exit }' "$recording")
mutant key '/^keydown / && ++k == 3 { next } 1' "$key"
# Replayed in the window, keys and clicks do not reach the game; the pause does.
play --replay "$recording" --speed 4 || exit 1
xdotool key x c keydown Left sleep 0.2 keyup Left key p sleep 0.5 key p
click 48
wait_end "$pid" 150 || { fail "the replay did not end"; kill "$pid"; wait "$pid"; }
[ "${status:-1}" -eq 0 ] && grep -q "stayed in sync" "$work/game.out" || fail "--replay: $(cat "$work/game.out" "$work/game.err")"
# EXIT stops a replay.
play --replay "$recording" && sleep 0.5 && click 64
wait_end "$pid" 50 && [ "$status" -eq 0 ] && grep -q "^hvezda: replay stopped (line [0-9]*: stopped by the viewer" "$work/game.out" ||
  fail "EXIT did not stop the replay: $(cat "$work/game.out" "$work/game.err")"

# Cut at a random byte before its end, the recording replays up to the cut.
size=$(grep -b '^expect-hash' "$recording" | cut -d: -f1)
head -c $((1 + (RANDOM * 32768 + RANDOM) % (size - 1))) "$recording" >"$work/cut.sim"
"$sim" --verify "$work/cut.sim" >"$work/cut.out" 2>&1
[ $? -eq 3 ] && grep -q '^cut short: line [0-9]*: ' "$work/cut.out" || fail "cut recording: $(cat "$work/cut.out")"

# Three more games, two of them new games (F2): the state folder keeps the
# last two; a chosen file numbers the games after the first.
play && xdotool key F2 && click 48 && xdotool key F2 && end_game
[ "$(ls "$state" | grep -vx hall)" = "$(printf 'last-game.sim\nprevious-game.sim')" ] || fail "the state folder holds: $(ls "$state")"
grep -q '^click Label6$' "$state/previous-game.sim" || fail "previous-game.sim is not the second game"
grep -q '^click Label6$' "$state/last-game.sim" && fail "last-game.sim is not the third game"
play --record "$work/chosen.sim" && xdotool key x F2 && end_game
for f in chosen chosen-2; do "$sim" --verify "$work/$f.sim" >/dev/null || fail "$f.sim does not verify"; done

# No state folder to be had: one line, and the game plays on.
touch "$work/file"
XDG_STATE_HOME="$work/file" play && xdotool key x && end_game
[ "$(wc -l <"$work/game.err")" -eq 1 ] && grep -q '^hvezda: not recording this game: ' "$work/game.err" ||
  fail "without a state folder the game said: $(cat "$work/game.err")"
finish "replays in the window"
