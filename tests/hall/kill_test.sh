#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Nothing answered 201 is lost to a SIGKILL under four senders; SQLite passes integrity_check after every kill.
kind=$1 kills=$2 hall=$3 load=$4  # usage: kill_test.sh sqlite|postgresql KILLS HVEZDA_HALL HVEZDA_HALL_LOAD
source "$(dirname "$0")/../lib/hall.sh"
need sqlite3
per_round=40 senders=4
[ "$kind" = sqlite ] || { source "$(dirname "$0")/postgres.sh"; start_postgres; database=$(pg_url killed); }

"$load" --write-games "$work/games" --games $((kills * per_round)) >"$work/seal.out" || { echo "FAIL: sealing"; exit 1; }
games=("$work"/games/*.sim)

# Sender $1 of round $2: its games one after the other; the id of each answered 201 goes to $work/ok.
sender() {
  local i
  for ((i = $2 * per_round + $1; i < ($2 + 1) * per_round; i += senders)); do
    # A server killed between its status line and its body leaves no body, not the previous answer.
    rm -f "$work/answer.$1"
    curl -s -m 5 -o "$work/answer.$1" -w '%{http_code}' -H "Authorization: Bearer kill-test-token-$1-0123456789" \
      -H 'Content-Type: text/plain' --data-binary @"${games[$i]}" "$url/api/games" >"$work/status.$1" 2>/dev/null
    [ "$(cat "$work/status.$1")" = 201 ] && jq -er '.id | strings' "$work/answer.$1" >>"$work/ok" 2>/dev/null
  done
}

touch "$work/ok"
for ((round = 0; round < kills; round++)); do
  start_hall --submissions-per-minute 0
  pids=()
  for ((s = 0; s < senders; s++)); do sender $s $round & pids+=($!); done
  sleep "0.$((RANDOM % 60 + 5))"
  stop_hall -KILL
  wait "${pids[@]}"
  check=$([ "$kind" = sqlite ] && sqlite3 "$work/hall.sqlite" 'PRAGMA integrity_check' 2>&1 || echo ok)
  [ "$check" = ok ] || fail "after kill $((round + 1)): integrity_check says $check"
done

# Every game answered 201, on the board of the server started again.
start_hall --submissions-per-minute 0
answered=$(sort -u "$work/ok" | wc -l)
while read -r id; do
  status=$(curl -s -o /dev/null -w '%{http_code}' "$url/api/games/$id")
  [ "$status" = 200 ] || fail "game '$id', answered 201, is lost (status $status)"
done < <(sort -u "$work/ok")
echo "$kind: $kills kills, $answered games answered 201, each looked for after the restarts"
[ "$answered" -ge "$kills" ] || fail "too few games were answered ($answered) for the kills to land under load"
finish "kill test ($kind)"
