#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Moves a hall's board from its SQLite file into a PostgreSQL database:
# players, games (recordings byte for byte) and seeds. Stop the server first;
# the PostgreSQL database must be empty or new (hvezda-hall makes the tables
# when it first starts on it; this script makes them too).
#   scripts/hall-sqlite-to-postgresql.sh FILE.sqlite 'postgresql://USER@HOST/DB'
set -euo pipefail
file=$1 target=$2
[ -f "$file" ] || { echo "no file $file" >&2; exit 2; }
[ "$(sqlite3 "$file" 'PRAGMA integrity_check')" = ok ] || { echo "$file fails its integrity check" >&2; exit 1; }
hall=$(command -v hvezda-hall || echo "$(dirname "$0")/../build/hvezda-hall")
# The server makes the tables: started on a free port, stopped at once.
"$hall" --listen 127.0.0.1:0 --database "$target" >/dev/null 2>&1 &
pid=$!
sleep 2
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
export_table() { sqlite3 -csv "$file" "$1"; }
{
  echo "BEGIN;"
  echo "\\copy players (name, token_hash, since) FROM STDIN WITH (FORMAT csv)"
  export_table "SELECT name, token_hash, since FROM players"
  echo "\\."
  echo "CREATE TEMP TABLE moved (id TEXT, name TEXT, token_hash TEXT, score BIGINT, winner INT, length_ms BIGINT,"
  echo "  checkpoints INT, board TEXT, day TEXT, seed TEXT, received BIGINT, recording TEXT);"
  echo "\\copy moved FROM STDIN WITH (FORMAT csv)"
  export_table "SELECT id, name, token_hash, score, winner, length_ms, checkpoints, board, day, seed, received, hex(recording) FROM games"
  echo "\\."
  echo "INSERT INTO games SELECT id, name, token_hash, score, winner <> 0, length_ms, checkpoints, board, day, seed,"
  echo "  received, decode(recording, 'hex') FROM moved;"
  echo "\\copy seeds (seed, issued, game) FROM STDIN WITH (FORMAT csv)"
  export_table "SELECT seed, issued, game FROM seeds"
  echo "\\."
  echo "COMMIT;"
} | psql -v ON_ERROR_STOP=1 -q "$target"
echo "moved $(sqlite3 "$file" 'SELECT count(*) FROM games') games, $(sqlite3 "$file" 'SELECT count(*) FROM players') players, $(sqlite3 "$file" 'SELECT count(*) FROM seeds') seeds"
