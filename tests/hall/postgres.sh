# SPDX-License-Identifier: MIT
# start_postgres: a PostgreSQL of the test's own on a Unix socket, as nobody, stopped at exit; pg_url NAME: a database.
start_postgres() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -n "$bin" ] && [ -x "$bin/initdb" ] || { echo "SKIP: no PostgreSQL server (scripts/deps.sh installs postgresql)"; exit 77; }
  pg_bin=$bin
  pg_dir=$(mktemp -d "${TMPDIR:-/tmp}/hvezda-pg.XXXXXX")
  chmod 755 "$pg_dir"
  pg_as=()
  if [ "$(id -u)" = 0 ]; then chown nobody "$pg_dir"; pg_as=(runuser -u nobody --); fi
  trap 'kill "${started[@]}" 2>/dev/null; stop_postgres; chmod -R u+rwX "$work"; rm -rf "$work"' EXIT
  "${pg_as[@]}" "$bin/initdb" -D "$pg_dir/data" -U hall --auth=trust -E UTF8 --no-locale >"$pg_dir/initdb.log" 2>&1 ||
    { echo "FAIL: initdb: $(tail -n 5 "$pg_dir/initdb.log")"; exit 1; }
  "${pg_as[@]}" "$bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w -t 60 \
    -o "-k $pg_dir -c listen_addresses= -c max_connections=100" start >/dev/null ||
    { echo "FAIL: PostgreSQL did not start: $(tail -n 5 "$pg_dir/server.log")"; exit 1; }
  pg_host=$pg_dir
}
stop_postgres() {
  [ -n "${pg_dir:-}" ] || return 0
  "${pg_as[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$pg_dir"
}
pg_url() {
  "$pg_bin/psql" -h "$pg_host" -U hall -d postgres -qAtc "SELECT 1 FROM pg_database WHERE datname = '$1'" | grep -q 1 ||
    "$pg_bin/createdb" -h "$pg_host" -U hall "$1"
  echo "postgresql:///$1?host=$pg_host&user=hall"
}
