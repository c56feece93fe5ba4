#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The hall's load figures on this machine: hvezda-hall-load against one
# server on SQLite, one on PostgreSQL and two on one PostgreSQL, all on
# 127.0.0.1: the most verified games a second, upload-to-board at 50 games a
# second, board reads a second. Prints the load average beside each.
#   bench/hall_load.sh BUILD_DIR [GAMES]
build=$1 games=${2:-1500}
source "$(dirname "$0")/../tests/lib/processes.sh"
source "$(dirname "$0")/../tests/hall/postgres.sh"
start_postgres
"$build/hvezda-hall-load" --write-games "$work/warm" --games 1 >/dev/null

hall() {  # hall NAME DATABASE: starts a server; url NAME gives its address
  "$build/hvezda-hall" --listen 127.0.0.1:0 --database "$2" --submissions-per-minute 0 >"$work/$1.out" 2>&1 &
  started+=($!)
  for _ in $(seq 200); do grep -q 'listening on' "$work/$1.out" && break; sleep 0.05; done
}
url() { sed -n 's|.*listening on \(http://[^ ]*\)/ .*|\1|p' "$work/$1.out"; }
run() {  # run TITLE URL...
  local title=$1
  shift
  local urls=()
  for u; do urls+=(--url "$u"); done
  echo "== $title (load average $(cut -d' ' -f1-3 /proc/loadavg)) =="
  "$build/hvezda-hall-load" "${urls[@]}" --games "$games" --clients 16 --read-seconds 5 --readers 8 | grep -v '^sealed'
  echo "-- at 50 games a second:"
  "$build/hvezda-hall-load" "${urls[@]}" --first 100000 --games 500 --clients 16 --rate 50 --read-seconds 0 | grep 'upload to board'
}
# Each run on a database of its own, so the board holds only its games.
hall s1 "sqlite:$work/one.sqlite"
run "SQLite" "$(url s1)"
kill "${started[@]}"
hall p1 "$(pg_url one)"
run "PostgreSQL" "$(url p1)"
db=$(pg_url two)
hall a "$db"
hall b "$db"
run "two servers on one PostgreSQL" "$(url a)" "$(url b)"
