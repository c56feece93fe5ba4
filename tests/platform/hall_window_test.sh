#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# After each of three games the hall shows, the new row on the blue bar; H keeps the recording whole; --scores.
game=$1 sim=$2  # usage: hall_window_test.sh HVEZDA HVEZDA_SIM
source "$(dirname "$0")/../lib/processes.sh"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_CONFIG_HOME/hvezda"
printf 'name = "Jiří Hráč"\n' >"$XDG_CONFIG_HOME/hvezda/settings.toml"
hall="$work/state/hvezda/hall"
need import convert
start_xvfb 1280x1024

open_hall() { [ "$1" != 12 ] || xdotool key h sleep 0.5 key h; }
# The colour of the window's logical pixel $1 $2 (the window at $X $Y), as "R,G,B".
pixel() { convert "$work/shot.png" -format "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]" -crop "1x1+$(($1 + X))+$(($2 + Y))" info:; }

for n in 1 2 3; do
  rec="$work/game$n.sim"
  entries=$(ls "$hall" 2>/dev/null | wc -l)
  start_game "$game" --record "$rec" || exit 1
  xdotool windowfocus --sync "$wid"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  # Until the ship is lost (the hall opened and closed in game 2); then no key, so that the hall comes up and stays.
  fly_until_lost "$rec" "$([ "$n" = 2 ] && echo open_hall)"
  within 100 eval '[ "$(ls "$hall" 2>/dev/null | wc -l)" -gt "$entries" ]'
  sleep 0.5
  import -window root "$work/shot.png"
  newest=$(ls -t "$hall" | head -n 1)
  place=$("$game" --scores --verbose 2>/dev/null | grep -n "$newest" | cut -d: -f1)
  [ -n "$place" ] || fail "game $n did not enter the hall: $(ls "$hall")"
  # Each row's bar is 28 px below the last, the first at 129..155.
  for ((row = 1; row <= n; row++)); do
    colour=$(pixel 40 $((135 + 28 * (row - 1))))
    if [ "$row" = "$place" ]; then want=0,0,64; else want=0,0,0; fi
    [ "$colour" = "$want" ] || fail "game $n, place $place: row $row is $colour, not $want"
  done
  xdotool mousemove --window "$wid" 300 300 click 1  # closes the hall
  click_to_end || fail "EXIT did not end game $n"
done

"$sim" --verify "$work/game2.sim" >"$work/verify.out" 2>&1 || fail "the game with the hall opened in it: $(cat "$work/verify.out")"
"$game" --scores >"$work/scores" 2>"$work/scores.err" || fail "--scores failed: $(cat "$work/scores.err")"
[ "$(wc -l <"$work/scores")" -eq 4 ] && [ "$(tail -n 1 "$work/scores")" = "$hall" ] ||
  fail "--scores printed: $(cat "$work/scores")"
# Each line: place, name, score, end, play time, date; the scores those of the games, best first.
want=$(for n in 1 2 3; do sed -n 's/^expect score.Caption //p' "$work/game$n.sim"; done | sort -rn | tr '\n' ' ')
got=$(head -n 3 "$work/scores" | sed -E 's/^ *[0-9]+  Jiří Hráč +([0-9]+)  GAME OVER  +[0-9]+:[0-9][0-9]  [0-9-]{10}$/\1/' | tr '\n' ' ')
[ "$got" = "$want" ] || fail "--scores gives scores '$got', the games ended with '$want': $(cat "$work/scores")"

# A daily flight says so in the panel right of the score (green on black); its recording: app.hall_send.
start_game "$game" --daily || exit 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
sleep 1
import -window root "$work/daily.png"
badge() { convert "$work/daily.png" -crop "100x12+$((482 + X))+$((69 + Y))" -format "%[fx:int(1000*mean.$1)]" info:; }
[ "$(badge g)" -gt 30 ] && [ "$(badge r)" -lt 5 ] || fail "no daily flight said in the panel (green $(badge g), red $(badge r))"
click_to_end || fail "EXIT did not end the daily flight"
finish "the hall of fame in the window"
