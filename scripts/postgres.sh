#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for tests and benchmarks.
#   scripts/postgres.sh start              creates the cluster when missing and
#                                          starts it (nothing to do when running)
#   scripts/postgres.sh stop [--immediate] stops it, keeping its data (nothing to
#                                          do when stopped or missing)
#   scripts/postgres.sh uri                prints the URI of its superuser role
#                                          `postgres` (no password) for the
#                                          database `postgres`, over the socket
#   scripts/postgres.sh run COMMAND...     runs COMMAND with OVC_TEST_POSTGRES_URI
#                                          and OVC_TEST_POSTGRES_DIR naming a
#                                          cluster in a fresh temporary folder,
#                                          removed however COMMAND ends; when
#                                          OVC_TEST_POSTGRES_URI is set already,
#                                          runs COMMAND on that server
# The cluster lives in OVC_PG_DIR (default ${TMPDIR:-/tmp}/ovc-postgres): its
# data in data/, its log in server.log, its Unix socket in the folder itself.
# It listens on no TCP address unless OVC_PG_LISTEN names some (e.g.
# "localhost", then on OVC_PG_PORT, default 5432). The server never runs as
# root: run as root, the script runs it as the user `postgres`. Its data is
# not synced to disk: it survives the server's crash, not the machine's.
set -euo pipefail

dir="$(realpath -m "${OVC_PG_DIR:-${TMPDIR:-/tmp}/ovc-postgres}")"
case "$dir" in
*"'"*) echo "postgres.sh: the folder $dir must not hold a quote" >&2 && exit 1 ;;
esac
port="${OVC_PG_PORT:-5432}"
listen="${OVC_PG_LISTEN:-}"
role=postgres

fail() {
  echo "postgres.sh: $*" >&2
  exit 1
}

server_bin_dir() {
  if [ -n "${PG_BINDIR:-}" ]; then
    echo "$PG_BINDIR"
    return
  fi
  local newest
  newest="$(find /usr/lib/postgresql -mindepth 2 -maxdepth 2 -name bin 2>/dev/null | sort -V | tail -n 1)"
  [ -n "$newest" ] || fail "no PostgreSQL server found in /usr/lib/postgresql (run scripts/setup.sh)"
  echo "$newest"
}

# Runs a server program as the cluster's owner: the caller, or `postgres`
# when the caller is root.
as_owner() {
  if [ "$(id -u)" -ne 0 ]; then
    "$@"
  elif command -v runuser >/dev/null; then
    runuser -u postgres -- "$@"
  else
    setpriv --reuid=postgres --regid=postgres --init-groups -- "$@"
  fi
}

prepare_folder() {
  mkdir -p "$dir"
  chmod 700 "$dir"
  if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || fail "run as root, it needs the user postgres (run scripts/setup.sh)"
    chown postgres: "$dir"
    as_owner test -w "$dir" -a -x "$dir" ||
      fail "the user postgres cannot write to $dir: choose another OVC_PG_DIR"
  fi
}

is_running() {
  [ -f "$dir/data/PG_VERSION" ] && as_owner "$bin/pg_ctl" status -D "$dir/data" >/dev/null 2>&1
}

start() {
  if is_running; then
    return
  fi
  prepare_folder
  if [ ! -f "$dir/data/PG_VERSION" ]; then
    as_owner "$bin/initdb" --pgdata="$dir/data" --username="$role" --auth=trust \
      --encoding=UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1 ||
      fail "initdb failed, see $dir/initdb.log"
  fi
  local options
  options="-k '$dir' -p $port -c listen_addresses='$listen' -c fsync=off"
  as_owner "$bin/pg_ctl" start --wait --pgdata="$dir/data" --log="$dir/server.log" \
    --options="$options" >/dev/null ||
    fail "the server did not start, see $dir/server.log"
}

stop() {
  local mode=fast
  if [ "${1:-}" = "--immediate" ]; then
    mode=immediate
  fi
  if is_running; then
    as_owner "$bin/pg_ctl" stop --wait --pgdata="$dir/data" --mode="$mode" >/dev/null
  fi
}

# Percent-encodes every byte of $1 but the unreserved ones and '/'.
uri_encode() {
  local text=$1 encoded="" char i
  local LC_ALL=C
  for ((i = 0; i < ${#text}; i++)); do
    char=${text:i:1}
    case "$char" in
    [A-Za-z0-9/._~-]) encoded+=$char ;;
    *) encoded+=$(printf '%%%02X' "'$char") ;;
    esac
  done
  echo "$encoded"
}

uri() {
  echo "postgresql:///postgres?host=$(uri_encode "$dir")&port=$port&user=$role"
}

run() {
  if [ -n "${OVC_TEST_POSTGRES_URI:-}" ]; then
    "$@"
    return
  fi
  dir="$(mktemp -d "${TMPDIR:-/tmp}/ovc-test-postgres.XXXXXX")"
  trap '(cd / && stop) || true; rm -rf "$dir"' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  (cd / && start)
  OVC_TEST_POSTGRES_URI="$(uri)" OVC_TEST_POSTGRES_DIR="$dir" "$@"
}

bin="$(server_bin_dir)"
command="${1:-}"
shift || true
if [ "$command" = run ]; then
  run "$@"
  exit
fi
cd /
case "$command" in
start) start ;;
stop) stop "${1:-}" ;;
uri) uri ;;
*)
  echo "usage: scripts/postgres.sh start|stop [--immediate]|uri|run COMMAND..." >&2
  exit 2
  ;;
esac
