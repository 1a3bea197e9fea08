#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for one test run, reached only through a Unix
# socket inside DIR (no TCP port is opened).
#   cluster.sh avvia DIR     start it afresh (whatever an interrupted run left)
#   cluster.sh riprendi DIR  start the cluster already in DIR if it is not running
#   cluster.sh ferma DIR     stop it and remove DIR
# The superuser "postgres" connects without a password; every other role with
# its password, so refused logins can be tried. The role "comiva" (password
# "comiva") may create databases; DIR/pg_service.conf names the cluster as
# the service "comiva".
set -euo pipefail
azione=${1:?avvia o ferma}
DIR=${2:?cartella del cluster}
PORTA=54329
BIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$BIN" ] || { echo "cluster.sh: PostgreSQL non installato (scripts/setup)" >&2; exit 1; }

# initdb refuses root: the cluster then belongs to the postgres system user.
come() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

ferma() {
  if [ -f "$DIR/data/postmaster.pid" ]; then
    come "$BIN/pg_ctl" -D "$DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$DIR"
}

# Durability is of no use to a cluster that lives for one run or holds the
# demo's data, which can be made again.
parti() {
  come "$BIN/pg_ctl" -D "$DIR/data" -l "$DIR/server.log" -w -t 60 start -o \
    "-c listen_addresses='' -c unix_socket_directories='$DIR' -c port=$PORTA -c fsync=off \
     -c synchronous_commit=off -c full_page_writes=off -c max_connections=300 -c shared_buffers=32MB" \
    >/dev/null || { cat "$DIR/server.log" >&2; exit 1; }
}

case $azione in
riprendi)
  [ -d "$DIR/data" ] || { echo "cluster.sh: nessun cluster in $DIR" >&2; exit 1; }
  come "$BIN/pg_ctl" -D "$DIR/data" status >/dev/null 2>&1 || parti
  ;;
avvia)
  ferma
  mkdir -p "$DIR"
  chmod 700 "$DIR"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$DIR"
  come "$BIN/initdb" -D "$DIR/data" -U postgres -E UTF8 --locale=C --no-sync -A trust >"$DIR/initdb.log" 2>&1 ||
    { cat "$DIR/initdb.log" >&2; exit 1; }
  come sh -c "printf '%s\n' 'local all postgres trust' 'local all all scram-sha-256' >'$DIR/data/pg_hba.conf'"
  parti
  "$BIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$DIR" -p $PORTA -U postgres -d postgres \
    -c "CREATE ROLE comiva LOGIN CREATEDB PASSWORD 'comiva'"
  come sh -c "printf '%s\n' '[comiva]' 'host=$DIR' 'port=$PORTA' 'dbname=postgres' >'$DIR/pg_service.conf'"
  echo "cluster PostgreSQL pronto in $DIR"
  ;;
ferma)
  ferma
  ;;
*)
  echo "cluster.sh: azione sconosciuta $azione" >&2
  exit 2
  ;;
esac
