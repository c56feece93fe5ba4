#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The hall of fame's server, as a client meets it: a real hvezda-hall on
# 127.0.0.1 with a real SQLite file, driven with curl. Games of the open and
# the daily board are accepted with the score the driver computes; every
# refusal comes with its status and reason; names are shown, never run as
# markup; one game is one entry; a name belongs to its first token.
# usage: hall_test.sh HVEZDA_HALL HVEZDA_SIM CORPUS_FOLDER
hall=$1 sim=$2 corpus=$3
source "$(dirname "$0")/../lib/processes.sh"
need curl jq

alice=alice-token-0123456789abcdef bob=bob-token-0123456789abcdef
day_ms=86400000

# Starts the server on a free port, its address in $url; its clock is the file $work/clock.
start_hall() {
  : >"$work/hall.out"
  "$hall" --listen 127.0.0.1:0 --database "sqlite:$work/hall.sqlite" --test-clock "$work/clock" "$@" \
    >"$work/hall.out" 2>"$work/hall.err" &
  hall_pid=$!
  started+=($hall_pid)
  for _ in $(seq 100); do grep -q 'listening on' "$work/hall.out" && break; sleep 0.05; done
  url=$(sed -n 's|.*listening on \(http://[^ ]*\)/ .*|\1|p' "$work/hall.out")
  [ -n "$url" ] || { echo "FAIL: the server did not start: $(cat "$work/hall.err")"; exit 1; }
}
set_clock() { echo "$1" >"$work/clock"; }

# Sends recording $1 with token $2 (none when empty): $status, the answer in $work/body.
send() {
  local auth=()
  [ -n "$2" ] && auth=(-H "Authorization: Bearer $2")
  status=$(curl -s -o "$work/body" -w '%{http_code}' "${auth[@]}" -H 'Content-Type: text/plain' \
    --data-binary @"$1" "$url/api/games")
}
field() { jq -r "$1" "$work/body"; }

# Expects recording $2 sent with token $3 to be refused with status $4 and a reason matching $5.
refused() {
  send "$2" "$3"
  [ "$status" = "$4" ] && field .error | grep -Eq -- "$5" ||
    fail "$1: status $status, not $4 with a reason like '$5': $(head -c 300 "$work/body")"
}

# A sealed recording of a script: the script's steps with seed $2 (and daily line $3), in $work/$1.sim.
seal() {
  local name=$1 seed=$2 daily=${3:-}
  { echo "seed $seed"; [ -n "$daily" ] && echo "daily $daily"; cat "$work/$name.steps"; } >"$work/$name.script"
  "$sim" --seal "$work/$name.script" >"$work/$name.sim" 2>"$work/$name.err" ||
    fail "sealing $name: $(cat "$work/$name.err")"
}

# What the driver says of a recording: score, result and length as the board would list them.
driver_says() { "$sim" --verify "$1" 2>&1; }

set_clock $(( $(date -d '2026-12-07 12:00 UTC' +%s) * 1000 ))
start_hall

# The page and the empty boards.
status=$(curl -s -o "$work/body" -w '%{http_code}' "$url/api/board?board=open")
[ "$status" = 200 ] && [ "$(field '.entries | length')" = 0 ] && [ "$(field .board)" = open ] ||
  fail "the empty open board: $status $(cat "$work/body")"
status=$(curl -s -o "$work/body" -w '%{http_code}' "$url/api/board?board=daily")
[ "$status" = 200 ] && [ "$(field .day)" = 2026-12-07 ] || fail "today's board is not the clock's day: $(cat "$work/body")"
for q in 'board=weekly' 'board=daily&day=2026-02-30' 'board=open&day=2026-12-07'; do
  status=$(curl -s -o "$work/body" -w '%{http_code}' "$url/api/board?$q")
  [ "$status" = 400 ] && [ -n "$(field .error)" ] || fail "board?$q: $status $(cat "$work/body")"
done
for path in /api/games/0123456789abcdef01234567 '/api/games/%3Cscript%3E' /nowhere; do
  status=$(curl -s -o "$work/body" -w '%{http_code}' "$url$path")
  [ "$status" = 404 ] && [ -n "$(field .error)" ] || fail "GET $path: $status $(cat "$work/body")"
done

# Seeds: distinct, exact in a page's script, and answered at once.
curl -s "$url/api/seed" >"$work/seed1" && curl -s "$url/api/seed" >"$work/seed2"
s1=$(jq -r .seed "$work/seed1") s2=$(jq -r .seed "$work/seed2")
[[ "$s1" =~ ^[0-9]+$ ]] && [ "$s1" != "$s2" ] && [ "$s1" -lt 9007199254740992 ] ||
  fail "two seeds: '$s1' and '$s2'"

# Refusals that need no luck at all.
printf 'advance 100\n' >"$work/short.sim"
refused "no token" "$work/short.sim" "" 401 "no player token"
refused "a short token" "$work/short.sim" "abc" 401 "16 to 256"
refused "a token with a space" "$work/short.sim" "abcdefghijklmnop qrstuvwx" 401 "letters, digits"
head -c 600000 /dev/zero | tr '\0' '#' >"$work/huge.sim"
refused "a body over the limit" "$work/huge.sim" "$alice" 413 "524288 bytes"
refused "a game that never ended" "$work/short.sim" "$alice" 422 "cut short|final state|not ended"
printf '# nothing but words\n\n' >"$work/empty.sim"
refused "no game at all" "$work/empty.sim" "$alice" 422 "holds no game"
printf 'format 99 hvezda 9.0\nadvance 10\n' >"$work/newer.sim"
refused "a newer format" "$work/newer.sim" "$alice" 422 "format"
printf 'write /etc/passwd\n' >"$work/command.sim"
refused "a driver command" "$work/command.sim" "$alice" 422 "not a line of a recording"
for game in "$corpus"/*.sim; do
  refused "$(basename "$game"), luck of its own" "$game" "$alice" 422 "luck was chosen"
done
status=$(curl -s -o "$work/body" -w '%{http_code}' -H "Authorization: Bearer $alice" --data-binary @"$corpus/winner.sim" "$url/api/games")
[ "$status" = 413 ] && field .error | grep -q 'text/plain' || fail "a form-encoded game: $status $(cat "$work/body")"
sed 's/^expect-hash .*/expect-hash 0123456789abcdef/' "$corpus/game-over-format2.sim" >"$work/doctored.sim"
refused "a doctored end" "$work/doctored.sim" "$alice" 422 "does not verify"

finish "hall of fame server"
