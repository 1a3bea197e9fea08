#!/usr/bin/env bash
# The demo's databases on a PostgreSQL server of their own: a cluster reached
# only through a Unix socket in its folder (under the demo folder, or under
# /var/tmp when run as root, since the server's system user cannot enter
# root's home), one database per demo database file, and the service file
# the program and the tools read through PGSERVICEFILE.
#   tools/demo_server.sh crea <demo folder> <folder of copia_su_server>
#       makes the cluster afresh and puts the demo's files on it
#   tools/demo_server.sh avvia <demo folder>
#       starts the cluster if it is not running; prints the service file
#   tools/demo_server.sh ferma <demo folder>
#       stops the cluster and removes it with its databases (the demo's files
#       stay: genera_demo.sh makes the server again from them)
# The service file is written last, so that it is there only for a server
# made whole.
set -euo pipefail
azione=${1:?crea, avvia o ferma}
DEST=$(cd "${2:?cartella della demo}" && pwd)
ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -eq 0 ]; then
  CLUSTER=/var/tmp/comiva-demo-pg-$(printf '%s' "$DEST" | md5sum | cut -c1-10)
else
  CLUSTER="$DEST/pg"
fi
SERVIZI="$DEST/pg_service.conf"
PORTA=54329

case $azione in
crea)
  BINPRG=${3:?cartella di copia_su_server}
  rm -f "$SERVIZI"
  "$ROOT/tests/pg/cluster.sh" avvia "$CLUSTER" >/dev/null
  : > "$SERVIZI.nuovo"
  for nome in comune ditta01 ditta02; do
    PGPASSWORD=comiva psql -X -q -v ON_ERROR_STOP=1 -h "$CLUSTER" -p $PORTA -U comiva -d postgres \
      -c "CREATE DATABASE comiva_$nome"
    printf '[comiva_%s]\nhost=%s\nport=%s\ndbname=comiva_%s\n' "$nome" "$CLUSTER" $PORTA "$nome" >> "$SERVIZI.nuovo"
  done
  export PGSERVICEFILE="$SERVIZI.nuovo" COMIVA_PG_UTENTE=comiva COMIVA_PG_PASSWORD=comiva
  "$BINPRG/copia_su_server" "$DEST/comune.db" comiva_comune "$ROOT/schema/condiviso.sql"
  "$BINPRG/copia_su_server" "$DEST/ditta01.db" comiva_ditta01 "$ROOT/schema/azienda.sql"
  "$BINPRG/copia_su_server" "$DEST/ditta02.db" comiva_ditta02 "$ROOT/schema/azienda.sql"
  # The companies' databases are the services, no longer the files.
  PGPASSWORD=comiva psql -X -q -v ON_ERROR_STOP=1 -h "$CLUSTER" -p $PORTA -U comiva -d comiva_comune \
    -c "UPDATE aziende SET file = 'comiva_ditta' || azienda"
  mv "$SERVIZI.nuovo" "$SERVIZI"
  ;;
avvia)
  "$ROOT/tests/pg/cluster.sh" riprendi "$CLUSTER"
  echo "$SERVIZI"
  ;;
ferma)
  "$ROOT/tests/pg/cluster.sh" ferma "$CLUSTER"
  rm -f "$SERVIZI"
  ;;
*)
  echo "demo_server.sh: azione sconosciuta $azione" >&2
  exit 2
  ;;
esac
