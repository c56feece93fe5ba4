#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Games recorded in a window replay in the driver and the window; the state folder keeps the last two.
game=$1 sim=$2  # usage: replay_window_test.sh HVEZDA HVEZDA_SIM
source "$(dirname "$0")/../lib/processes.sh"
export XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=dummy
state="$work/state/hvezda"
printf 'advance 10\nscreenshot %s/shot.png\n' "$work" >"$work/shot.sim"
check "--replay of a screenshot line" 2 "" "*line 2: 'screenshot' is not a line of a recording*" env -u DISPLAY "$game" --replay "$work/shot.sim"
[ ! -e "$work/shot.png" ] || fail "--replay of a screenshot line wrote it"
start_xvfb 1280x1024

play() { start_game "$game" "$@" && xdotool windowfocus --sync "$wid"; }
click() { xdotool mousemove --window "$wid" $((1 + 592 + 10)) $((1 + $1 + 8)) click 1; }  # Label4/5/6 at 64/32/48 px
end_game() { click_to_end && [ "$status" -eq 0 ] || fail "EXIT did not end the game with status 0: $(cat "$work/game.err")"; }

# Random input: held arrows, shots, the refill, panel clicks, pauses (whose time the recording leaves out).
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
# A loaded machine's stalls leave the game's clock behind the wall's (16 of 28 s once): ten seconds is still a game.
[ "${played:-0}" -ge 10000 ] || fail "only ${played:-0} ms of play recorded"
seed=$(sed -n 's/^seed //p' "$recording")
[ "$(grep -c '^seed ' "$recording")" -eq 1 ] && ! grep -q '^random ' "$recording" &&
  grep -q "luck: seed $seed\$" "$work/verify.out" || fail "the game's luck is not its one seed's: $(grep -c '^random ' "$recording") random lines"

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

# Three more games, two by F2: the state folder keeps the last two; a chosen file numbers the games after the first.
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
