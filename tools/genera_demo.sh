#!/usr/bin/env bash
# Builds the demo folder: a shared database with two companies, a company
# database for each with plausible data, the settings files and the menu
# stand-in's values. Run once; an existing folder is left as it is.
#   tools/genera_demo.sh <folder> <program executable>
set -euo pipefail
DEST=${1:?cartella}
PRG=${2:?programma}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ -f "$DEST/menu.ini" ]; then
  exit 0
fi
mkdir -p "$DEST"
DEST=$(cd "$DEST" && pwd)
rm -f "$DEST"/*.db

sqlite3 "$DEST/comune.db" < "$ROOT/schema/condiviso.sql"
sqlite3 "$DEST/comune.db" <<SQL
INSERT INTO Aziende (IdAzienda, Azienda, Descrizione, File) VALUES
  ('1', '01', 'Rossi Forniture S.r.l.', '$DEST/ditta01.db'),
  ('2', '02', 'Bianchi Mario - Ferramenta', '$DEST/ditta02.db');
INSERT INTO MenuDett (Chiave, ChiaveSec, Caption, DescPrg) VALUES
  ('COMIVA', 'FrmLiqIvaPre',   'Liquidazione IVA periodica: estrazione', 'Estrazione dei dati della liquidazione'),
  ('COMIVA', 'FrmLiqIvaXML',   'Liquidazione IVA periodica: generazione file', 'File e stampa della comunicazione'),
  ('COMIVA', 'frmLiqIvaTest',  'Liquidazione IVA periodica: gestione', 'Gestione delle comunicazioni'),
  ('COMIVA', 'FrmDatiFatPre',  'Dati fatture: estrazione', 'Estrazione dei dati delle fatture'),
  ('COMIVA', 'frmDatiFatXml',  'Dati fatture: generazione file', 'File e stampa dei dati delle fatture'),
  ('COMIVA', 'frmDatiFatGest', 'Dati fatture: gestione', 'Gestione dei dati delle fatture');
INSERT INTO TabStudio (CodFiscIntermediario, TabStuCampo3, TabStuData1, FirmaInRicPres)
  VALUES ('09876543217', '1', '2018-04-20', 'S');
SQL

ditta() {
  local file=$1 codfisc=$2 piva=$3 ragsoc=$4 nome=$5 stato=$6
  sqlite3 "$file" < "$ROOT/schema/azienda.sql"
  sqlite3 "$file" <<SQL
INSERT INTO Ditta (CodFisc, PartIva, RagSoc, Nome, StatoGiurid, Moneta, CodLira, CodEuro, OperCambio, CambioLiraEuro)
  VALUES ('$codfisc', '$piva', '$ragsoc', '$nome', '$stato', 'Euro', 'L.', 'Euro', '/', 1936.27);
INSERT INTO Monete (Moneta, NumDec, NumDecGest, Operatore, Cee) VALUES ('Euro', 2, 2, '/', 'S'), ('L.', 0, 0, '*', 'N');
INSERT INTO TabMagazzino (NumDecQta) VALUES (3);
INSERT INTO IvaDichPeriodGen (CodFiscDichiarante, PartIvaDich, DichGruppo, CodFiscFirmaDich, Carica, FirmaDich,
  RagSocDich, IvaDichGenCampo1, IvaDichGenCampo3, IvaDichGenCampo4, IvaDichGenData1)
  VALUES ('$codfisc', '$piva', 'N', 'RSSGPP65B12F205H', '1', 'S', '$ragsoc', '', '1', 'S', '2018-04-20');
SQL
}
ditta "$DEST/ditta01.db" 01234567897 01234567897 "Rossi Forniture S.r.l." "" G
ditta "$DEST/ditta02.db" BNCMRA70A01H501Y 09876543217 "Bianchi" "Mario" F

cat > "$DEST/qorwin.ini" <<INI
[Parametri Generali]
OrdIniDBase=$DEST/qorwindb.ini
[Menu]
NomeDB=comune.db
DriveDB=$DEST/
[Configurazioni]
FormatData=dd/mm/yyyy
INI
cat > "$DEST/qorwindb.ini" <<INI
[Base]
DriveDB=$DEST/
DirImmagini=immagini
DirCaDi=file
DirDatiFat=file
[Risoluzione Video]
Generale=1
INI
mkdir -p "$DEST/file" "$DEST/immagini"

cat > "$DEST/menu.ini" <<INI
[Menu]
Chiave=DEMO
Programma=$PRG
ChiavePrg=COMIVA
FileIni=$DEST/qorwin.ini
DbMenu=$DEST/comune.db
DataLavoro=15/05/2018
Terminale=DEMO01
[Valori]
NomeDBAzie=$DEST/ditta01.db
DescAzie=Rossi Forniture S.r.l.
codiceazie=01
idazienda=1
Versione=1.0
DataVersione=10/12/2026
PwdDbAzie=
AccMenuPwd=
[Personal.Tutti]
DataMinima=01/01/1900
INI
echo "Dati dimostrativi creati in $DEST"
