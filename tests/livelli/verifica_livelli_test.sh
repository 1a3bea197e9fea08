#!/usr/bin/env bash
# The include check on small trees: a clean one passes; an include upward,
# one beside, and a loop of units are each named with the file.
set -euo pipefail
verifica="$1"
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
mk() { mkdir -p "$(dirname "$t/$1")"; printf '%s\n' "${@:2}" > "$t/$1"; }

mk src/components/db/Db.h '#pragma once'
mk src/common/Uno.cpp '#include "components/db/Db.h"' '#include "common/Uno.h"'
mk src/common/Uno.h '#pragma once'
"$verifica" "$t" > "$t/out" || { cat "$t/out"; echo "FAIL: clean tree refused"; exit 1; }

mk src/components/db/Db.cpp '#include "contesto/Contesto.h"'
mk src/contesto/Contesto.h '#pragma once'
mk src/settlement/Liq.cpp '#include "invoicedata/Dat.h"'
mk src/invoicedata/Dat.h '#pragma once'
mk src/common/A.h '#include "common/B.h"'
mk src/common/B.cpp '#include "common/A.h"'
mk src/common/B.h '#pragma once'
if "$verifica" "$t" > "$t/out"; then cat "$t/out"; echo "FAIL: faults passed"; exit 1; fi
for atteso in 'components/db/Db.cpp:1: include "contesto/Contesto.h", che sta sopra' \
              'settlement/Liq.cpp:1: include "invoicedata/Dat.h", che sta accanto' \
              'ciclo di include: common/A -> common/B -> common/A'; do
  grep -qF "$atteso" "$t/out" || { cat "$t/out"; echo "FAIL: missing: $atteso"; exit 1; }
done
echo "verifica-livelli: 2 passed, 0 failed"
