# SPDX-License-Identifier: MIT
# The hall of fame's test helpers: the server $hall on $database (default an SQLite file in $work), games of $sim.
source "$(dirname "${BASH_SOURCE[0]}")/processes.sh"
need curl jq

# The server started last stopped ($1: the signal); $hall started again on a free port, options "$@" after its database.
stop_hall() { [ -z "${hall_pid:-}" ] || { kill "${1:--TERM}" "$hall_pid"; wait "$hall_pid"; } 2>/dev/null; hall_pid=; }
start_hall() { stop_hall; serve_hall "$hall" 0 --database "${database:-sqlite:$work/hall.sqlite}" "$@"; }
# The clock of a server started with --test-clock "$work/clock", set to a date.
set_clock() { echo $(( $(date -d "$1" +%s) * 1000 )) >"$work/clock"; }
seed_from() { curl -s "$1/api/seed" | jq -r .seed; }

# curl "$@": $status, the answer in $work/body.
ask() { status=$(curl -s -o "$work/body" -w '%{http_code}' "$@"); }
# Sends recording $1 with token $2 to the server at $3 (default $url).
send() { ask -H "Authorization: Bearer $2" -H 'Content-Type: text/plain' --data-binary @"$1" "${3:-$url}/api/games"; }

# The steps of a game that fires and turns, different for each $1.
steps() {
  for i in $(seq 150); do
    printf 'keydown 88\nadvance 40\nkeyup 88\nadvance 40\n'
    [ $((i % 10)) = 0 ] && printf 'keydown 37\nadvance %d\nkeyup 37\n' $((100 + $1))
  done
  echo "advance 300000"  # the ship is lost well before this, whatever the luck
}
# A recording sealed in $work/$1.sim: luck lines $2, player $3, steps $4; its final score in $work/$1.driver.
seal() {
  { printf '%b' "$2"; echo "player 2026-12-07T12:00:00+01:00 $3"; steps "$4"; } >"$work/$1.script"
  "$sim" --seal "$work/$1.script" >"$work/$1.sim" 2>"$work/$1.err" || fail "sealing $1: $(cat "$work/$1.err")"
  { cat "$work/$1.script"; echo "get score.Caption"; } | "$sim" | sed -n 's/^score.Caption=//p' >"$work/$1.driver"
}
