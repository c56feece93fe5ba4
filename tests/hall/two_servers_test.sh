#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Two servers on one PostgreSQL are one board: games and seeds (taken once, even in a race) shared at once.
hall=$1 sim=$2  # usage: two_servers_test.sh HVEZDA_HALL HVEZDA_SIM
source "$(dirname "$0")/../lib/hall.sh"
source "$(dirname "$0")/postgres.sh"
start_postgres
database=$(pg_url two)
url() { sed -n 's|.*listening on \(http://[^ ]*\)/ .*|\1|p' "$work/$1.out"; }
# Both start at once on a new database: each makes the tables it misses, neither fails.
for s in a b; do
  "$hall" --listen 127.0.0.1:0 --database "$database" --test-clock "$work/clock" >"$work/$s.out" 2>"$work/$s.err" &
  started+=($!)
done
for _ in $(seq 200); do grep -q 'listening on' "$work/a.out" && grep -q 'listening on' "$work/b.out" && break; sleep 0.05; done
url_a=$(url a) url_b=$(url b)
[ -n "$url_a" ] && [ -n "$url_b" ] || { echo "FAIL: two servers starting at once: $(cat "$work"/*.err)"; exit 1; }

alice=alice-token-0123456789abcdef

set_clock '2026-12-07 12:00 UTC'
s1=$(seed_from "$url_a") s2=$(seed_from "$url_b")
set_clock '2026-12-07 13:00 UTC'

# Issued by a, sent to b, on a's board at once.
seal one "seed $s1\n" Ann 1
send "$work/one.sim" "$alice" "$url_b"
[ "$status" = 201 ] || fail "a seed issued by a, its game sent to b: $status $(cat "$work/body")"
id=$(jq -r .id "$work/body")
[ "$(curl -s "$url_a/api/board?board=open" | jq -r '.entries[0].id')" = "$id" ] || fail "a's board lacks the game sent to b"

# One seed in two games sent to both servers at the same moment: one is taken (201, 200, 200), one not.
seal three "seed $s2\n" Ann 3
seal four "seed $s2\n" Ann 4
race=()
declare -A server=([three]=$url_a [four]=$url_b)
for game in three four three four three four; do
  (send "$work/$game.sim" "$alice" "${server[$game]}"; echo "$status" >>"$work/race") &
  race+=($!)
done
wait "${race[@]}"
[ "$(sort "$work/race" | tr '\n' ' ')" = "200 200 201 422 422 422 " ] ||
  fail "one seed in two games on two servers at once: $(sort "$work/race" | tr '\n' ' ')"

[ "$(curl -s "$url_b/api/board?board=open" | jq '.entries | length')" = 2 ] &&
  [ "$(curl -s "$url_a/api/board?board=open")" = "$(curl -s "$url_b/api/board?board=open")" ] ||
  fail "the two servers show different boards"
finish "two servers on one PostgreSQL"
