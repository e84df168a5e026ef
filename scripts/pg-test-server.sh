#!/usr/bin/env bash
# A private PostgreSQL cluster on 127.0.0.1 for the tests.
#   source scripts/pg-test-server.sh; pg_test_start; ...; pg_test_stop
# pg_test_start exports TAVREL_TEST_PG, a connection string for the tests.

pg_test_start() {
  local bindir
  bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$bindir" ]; then
    echo "PostgreSQL is not installed; PostgreSQL tests will be skipped" >&2
    return 0
  fi
  PG_TEST_DIR=$(mktemp -d /tmp/tavrel-pg.XXXXXX)
  chown postgres:postgres "$PG_TEST_DIR" 2>/dev/null || true
  local as_pg=()
  if [ "$(id -u)" -eq 0 ]; then as_pg=(runuser -u postgres --); fi
  "${as_pg[@]}" "$bindir/initdb" -D "$PG_TEST_DIR/data" -U postgres --auth=trust -E UTF8 >/dev/null
  local port
  for port in $(seq 55432 55499); do
    if (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then continue; fi
    if "${as_pg[@]}" "$bindir/pg_ctl" -D "$PG_TEST_DIR/data" -l "$PG_TEST_DIR/log" -w \
         -o "-h 127.0.0.1 -p $port -k $PG_TEST_DIR -c fsync=off -c max_connections=200" start >/dev/null; then
      PG_TEST_BIN=$bindir
      export TAVREL_TEST_PG="Provider=PostgreSQL;Data Source=127.0.0.1:$port;Initial Catalog=postgres;User ID=postgres;Password="
      echo "PostgreSQL test server on 127.0.0.1:$port"
      return 0
    fi
  done
  echo "could not start PostgreSQL; see $PG_TEST_DIR/log" >&2
  return 1
}

pg_test_stop() {
  if [ -n "${PG_TEST_DIR:-}" ] && [ -n "${PG_TEST_BIN:-}" ]; then
    local as_pg=()
    if [ "$(id -u)" -eq 0 ]; then as_pg=(runuser -u postgres --); fi
    "${as_pg[@]}" "$PG_TEST_BIN/pg_ctl" -D "$PG_TEST_DIR/data" -m immediate stop >/dev/null 2>&1 || true
  fi
  [ -n "${PG_TEST_DIR:-}" ] && rm -rf "$PG_TEST_DIR"
  PG_TEST_DIR=
}
