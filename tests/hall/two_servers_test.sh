#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Two servers on one PostgreSQL are one board: games and seeds (taken once, even in a race) shared at once.
hall=$1 sim=$2  # usage: two_servers_test.sh HVEZDA_HALL HVEZDA_SIM
source "$(dirname "$0")/../lib/processes.sh"
source "$(dirname "$0")/postgres.sh"
need curl jq
start_postgres
database=$(pg_url two)
set_clock() { echo $(( $(date -d "$1" +%s) * 1000 )) >"$work/clock"; }  # both servers' clock
url() { sed -n 's|.*listening on \(http://[^ ]*\)/ .*|\1|p' "$work/$1.out"; }
# Both start at once on a new database: each makes the tables it misses, neither fails.
for s in a b; do
  "$hall" --listen 127.0.0.1:0 --database "$database" --test-clock "$work/clock" >"$work/$s.out" 2>"$work/$s.err" &
  started+=($!)
done
for _ in $(seq 200); do grep -q 'listening on' "$work/a.out" && grep -q 'listening on' "$work/b.out" && break; sleep 0.05; done
url_a=$(url a) url_b=$(url b)
[ -n "$url_a" ] && [ -n "$url_b" ] || { echo "FAIL: two servers starting at once: $(cat "$work"/*.err)"; exit 1; }

# A game of seed $2 by player $3, its keys varied by $4, sealed into $work/$1.sim.
seal() {
  { printf 'seed %s\nplayer 2026-12-07T12:00:00+01:00 %s\n' "$2" "$3"
    for i in $(seq 20); do printf 'keydown 88\nadvance 40\nkeyup 88\nadvance %d\n' $((40 + $4)); done
    echo "advance 300000"; } >"$work/$1.script"
  "$sim" --seal "$work/$1.script" >"$work/$1.sim" || fail "sealing $1"
}
# Sends $work/$1.sim to server URL $2 with token $3: $status, the answer in $work/body.
send() { status=$(curl -s -o "$work/body" -w '%{http_code}' -H "Authorization: Bearer $3" --data-binary @"$work/$1.sim" "$2/api/games"); }
seed_from() { curl -s "$1/api/seed" | jq -r .seed; }
alice=alice-token-0123456789abcdef

set_clock '2026-12-07 12:00 UTC'
s1=$(seed_from "$url_a") s2=$(seed_from "$url_b")
set_clock '2026-12-07 13:00 UTC'

# Issued by a, sent to b, on a's board at once.
seal one "$s1" Ann 1
send one "$url_b" "$alice"
[ "$status" = 201 ] || fail "a seed issued by a, its game sent to b: $status $(cat "$work/body")"
id=$(jq -r .id "$work/body")
[ "$(curl -s "$url_a/api/board?board=open" | jq -r '.entries[0].id')" = "$id" ] || fail "a's board lacks the game sent to b"

# One seed in two games sent to both servers at the same moment: one is taken (201, 200, 200), one not.
seal three "$s2" Ann 3
seal four "$s2" Ann 4
race=()
for n in 1 2 3; do
  curl -s -o /dev/null -w '%{http_code}\n' -H "Authorization: Bearer $alice" --data-binary @"$work/three.sim" \
    "$url_a/api/games" >>"$work/race" &
  race+=($!)
  curl -s -o /dev/null -w '%{http_code}\n' -H "Authorization: Bearer $alice" --data-binary @"$work/four.sim" \
    "$url_b/api/games" >>"$work/race" &
  race+=($!)
done
wait "${race[@]}"
[ "$(sort "$work/race" | tr '\n' ' ')" = "200 200 201 422 422 422 " ] ||
  fail "one seed in two games on two servers at once: $(sort "$work/race" | tr '\n' ' ')"

[ "$(curl -s "$url_b/api/board?board=open" | jq '.entries | length')" = 2 ] &&
  [ "$(curl -s "$url_a/api/board?board=open")" = "$(curl -s "$url_b/api/board?board=open")" ] ||
  fail "the two servers show different boards"
finish "two servers on one PostgreSQL"
