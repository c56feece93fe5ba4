#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game and a real server: --submit; a game queued while it is down goes at the next start, a seed fetched ahead.
game=$1 sim=$2 hall=$3 chosen=$4  # usage: hall_send_test.sh HVEZDA HVEZDA_SIM HVEZDA_HALL CORPUS_RECORDING
source "$(dirname "$0")/../lib/hall.sh"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
state="$work/state/hvezda"
queue="$state/hall-queue"
start_xvfb 1280x1024

# A board's entries as "NAME SCORE RESULT" lines, best first.
board() { curl -s "$url/api/board?board=$1${2:+&day=$2}" | jq -r '.entries[] | "\(.name) \(.score) \(.result)"'; }
# Plays a game (recorded to $1, the game's arguments after) under the craft until it ends; then EXIT.
play_to_end() {
  local rec=$1
  shift
  start_game "$game" --record "$rec" "$@" || return 1
  xdotool windowfocus --sync "$wid"
  fly_until_lost "$rec"
  sleep 3  # the hall takes an ended game two seconds of play later
  xdotool mousemove --window "$wid" 300 300 click 1  # closes the hall's table
  click_to_end || fail "EXIT did not end the game"
}
score_of() { sed -n 's/^expect score.Caption //p' "$1"; }
mkdir -p "$XDG_CONFIG_HOME/hvezda"

# --submit on its own.
start_hall
check "--submit of a game of chosen luck" 1 "*" "*refused $chosen (4[0-9][0-9]): ?*" "$game" --submit "$chosen" "$url"
check "--submit of a missing file" 2 "*" "*" "$game" --submit "$work/nothing.sim" "$url"
stop_hall
check "--submit with no server" 3 "*" "*cannot send*" "$game" --submit "$chosen" "$url"

# A daily game with the server down waits in the queue.
printf 'name = "Jiří <b>Hráč</b>"\nhall_server = "%s/"\n' "$url" >"$XDG_CONFIG_HOME/hvezda/settings.toml"
play_to_end "$work/daily.sim" --daily
day=$(sed -n 's/^daily //p' "$work/daily.sim")
[ -n "$day" ] || fail "the daily game's recording names no day: $(head -n 8 "$work/daily.sim")"
[ "$(ls "$queue" 2>/dev/null | wc -l)" = 1 ] && grep -q 'cannot take games now' "$work/game.err" ||
  fail "the game sent with no server is not queued: $(ls "$queue" 2>&1); $(cat "$work/game.err")"
"$sim" --verify "$queue"/*.sim >"$work/verify" 2>&1 && grep -qx "daily $day" "$queue"/*.sim ||
  fail "the queued game is not the daily game: $(cat "$work/verify")"

# The server up: the next start sends it and fetches an open seed.
serve_hall "$hall" "$port" --database "sqlite:$work/hall.sqlite"  # the port in the settings
start_game "$game" --record "$work/idle.sim" || exit 1
within 100 grep -q 'took a game' "$work/game.err" || fail "the queued game was not sent: $(cat "$work/game.err")"
within 100 test -s "$state/hall-seed"
seed=$(cut -d' ' -f1 "$state/hall-seed" 2>/dev/null)
click_to_end || fail "EXIT did not end the idle game"
[ -z "$(ls "$queue")" ] || fail "the queue still holds $(ls "$queue")"
[ -n "$seed" ] || fail "no open seed was fetched ahead"

# The next game is played on that seed and lands on the open board.
play_to_end "$work/open.sim"
grep -qx "seed $seed" "$work/open.sim" || fail "the game was not played on the seed $seed: $(grep '^seed' "$work/open.sim")"
within 100 grep -q 'took a game' "$work/game.err" || fail "the open game was not sent: $(cat "$work/game.err")"
next=$(cut -d' ' -f1 "$state/hall-seed" 2>/dev/null)
[ -n "$next" ] && [ "$next" != "$seed" ] || fail "the seed after $seed is '$next'"
want="Jiří <b>Hráč</b> $(score_of "$work/daily.sim") GAME OVER"
[ "$(board daily "$day")" = "$want" ] || fail "the daily board of $day: '$(board daily "$day")', not '$want'"
want="Jiří <b>Hráč</b> $(score_of "$work/open.sim") GAME OVER"
[ "$(board open)" = "$want" ] || fail "the open board: '$(board open)', not '$want'"
# The board's recording of it, sent again, is its entry.
id=$(curl -s "$url/api/board?board=open" | jq -r '.entries[0].id')
curl -s "$url/api/games/$id" >"$work/sent.sim"
check "--submit of the open game again" 0 "*" "*" "$game" --submit "$work/sent.sim"
grep -q "\"id\": *\"$id\"" "$work/out" && grep -q "\"score\": *$(score_of "$work/open.sim")[,}]" "$work/out" ||
  fail "the answer to a second send: $(cat "$work/out")"
finish "the game sending to the hall of fame"
