#!/usr/bin/env bash
# Builds the demo folder: a shared database with two companies, a company
# database for each with plausible data (a year of computed settlement
# figures and a year of bookkeeping, written by genera_contabilita), the
# settings files and the menu stand-in's values. Run once; an existing folder is left as it is unless it
# was made by an older version of this script (VERSIONE_DEMO), then it is made
# again.
# With COMIVA_DEMO_SERVER set, the companies and the shared database go on a
# PostgreSQL server of the demo's own (tools/demo_server.sh), opened by their
# data-source names.
#   tools/genera_demo.sh <folder> <program executable>
set -euo pipefail
DEST=${1:?cartella}
PRG=${2:?programma}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
VERSIONE_DEMO=10${COMIVA_DEMO_SERVER:+-server}
if [ -f "$DEST/menu.ini" ]; then
  if [ "$(cat "$DEST/versione-demo" 2>/dev/null)" = "$VERSIONE_DEMO" ]; then
    # A server stopped with "demo_server.sh ferma" took its databases with
    # it: they are made again from the demo's files, which it leaves.
    if [ -n "${COMIVA_DEMO_SERVER:-}" ] && [ ! -f "$DEST/pg_service.conf" ]; then
      echo "Server della demo fermato: ricreo le sue basi di dati da $DEST"
      "$ROOT/tools/demo_server.sh" crea "$DEST" "$(dirname "$PRG")"
    fi
    exit 0
  fi
  echo "Dati dimostrativi di una versione precedente: li ricreo in $DEST"
  rm -f "$DEST/menu.ini"
fi
CONTABILITA="$(dirname "$PRG")/genera_contabilita"
if [ ! -x "$CONTABILITA" ]; then
  echo "Manca $CONTABILITA: costruire il programma prima dei dati dimostrativi" >&2
  exit 1
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
  VALUES ('07654321905', 'N', '2018-04-20', 'S');
-- The e-mail of a print sent as PDF: text 1 (EmailNumTesto), subject and
-- body with the placeholders the program fills in.
INSERT INTO Appoggio (Codice, Descr1, Memo1) VALUES ('PdfEmail',
  '§Titolo§ - §DescAzie§ del §Data§ ore §Ora§',
  'Buongiorno,' || char(13, 10) || char(13, 10) ||
  'in allegato la stampa "§Titolo§" di §DescAzie§ (ditta §CodiceAzie§), preparata il §DataLong§.' ||
  char(13, 10) || char(13, 10) || 'Cordiali saluti' || char(13, 10) || 'Studio dimostrativo');
SQL

# The signer is the legal representative of a company; a sole trader signs
# himself, so his declaration names no other signer.
ditta() {
  local file=$1 codfisc=$2 piva=$3 ragsoc=$4 nome=$5 stato=$6 firmatario=$7 carica=$8
  sqlite3 "$file" < "$ROOT/schema/azienda.sql"
  sqlite3 "$file" <<SQL
INSERT INTO Ditta (CodFisc, PartIva, RagSoc, Nome, StatoGiurid, Moneta, CodLira, CodEuro, OperCambio, CambioLiraEuro)
  VALUES ('$codfisc', '$piva', '$ragsoc', '$nome', '$stato', 'Euro', 'L.', 'Euro', '/', 1936.27);
INSERT INTO Monete (Moneta, NumDec, NumDecGest, Operatore, Cee) VALUES ('Euro', 2, 2, '/', 'S'), ('L.', 0, 0, '*', 'N');
INSERT INTO TabMagazzino (NumDecQta) VALUES (3);
INSERT INTO IvaDichPeriodGen (CodFiscDichiarante, PartIvaDich, DichGruppo, CodFiscFirmaDich, Carica, FirmaDich,
  RagSocDich, IvaDichGenCampo1, IvaDichGenCampo3, IvaDichGenCampo4, IvaDichGenData1)
  VALUES ('$codfisc', '$piva', 'N', '$firmatario', '$carica', 'S', '$ragsoc${nome:+ $nome}', '', 'N', 'S', '2018-04-20');
SQL
}
# Computed VAT settlement of 2018, as the accounting suite leaves it: one
# row per month (M) or quarter (T). Every figure follows from the sales and
# purchases of the period (VAT at 22%); a credit is carried to the next
# period, the opening credit of the year is partly used in F24 in the first
# period, quarterly debts bear 1% interest, the last period the advance.
#   liquidazione <activity, or "" for the joint summary> <M|T> <opening credit> <sales> <purchases>
liquidazione() {
  awk -v att="$1" -v tipo="$2" -v credito="$3" -v vend="$4" -v acq="$5" 'BEGIN {
    q = "\047"
    n = (tipo == "M") ? 12 : 4
    riporto = 0
    for (p = 1; p <= n; p++) {
      stag = (p % 3 == 0) ? 1.18 : ((p % 2 == 0) ? 0.93 : 1.04)
      opatt = sprintf("%.2f", vend * stag + p * 137.5)
      oppas = sprintf("%.2f", acq * (2.1 - stag) + p * 91.25)
      deb = sprintf("%.2f", opatt * 0.22); cre = sprintf("%.2f", oppas * 0.22)
      ris = deb - cre
      f24 = (p == 1) ? sprintf("%.2f", credito * 0.3) : 0
      usato = (p == 1) ? credito - f24 : 0
      saldo = ris - riporto - usato
      interessi = (tipo != "M" && p < 4 && saldo > 0) ? sprintf("%.2f", saldo * 0.01) : 0
      acconto = (p == n) ? sprintf("%.2f", vend * 0.05) : 0
      if (att == "")
        printf "INSERT INTO IvaDichPeriodRiep (Anno, NumCom, Modulo, Mese, Trimestre, Periodo, CreditoAnnoPrec"
      else
        printf "INSERT INTO IvaDichPeriod (Anno, DitAttivita, Periodo"
      printf ", OpAttive, OpPass, IvaDebPeriodo, IvaCredPeriodo, DebRisultPeriodo, CredRisultPeriodo, IvaNonVersMin"
      printf ", CreditoPrec, IvaDichPerImp13, CredSpecDetr, Interessi, IvaDovutaPer, IvaCreditoPer, AccontoVers"
      printf ", CreditIvaComp, CredF24, IvaDichPerImp14, IvaDichPerCamp2, IvaDichPerCamp3, IvaDichPerCamp6"
      printf ", IvaDichPerCamp7) VALUES (2018, "
      if (att == "") printf "%d, 1, 0, %d, %d, %.2f", p, p, p, credito
      else printf "%s%s%s, %d", q, att, q, p
      printf ", %s, %s, %s, %s, %.2f, %.2f, 0, %.2f, 0, 0, %s, %.2f, %.2f, %s, 0, %s, 0, %sN%s, %sN%s, %sN%s, %s%s%s);\n",
        opatt, oppas, deb, cre, (ris > 0 ? ris : 0), (ris < 0 ? -ris : 0), riporto, interessi,
        (saldo > 0 ? saldo + interessi + acconto : 0), (saldo < 0 ? -saldo : 0), acconto, f24,
        q, q, q, q, q, q, q, (p == n ? "1" : ""), q
      riporto = saldo < 0 ? -saldo : 0
    }
  }'
}

ditta "$DEST/ditta01.db" 01234567897 01234567897 "Rossi Forniture S.r.l." "" G RSSGPP65B12F205H 1
ditta "$DEST/ditta02.db" BNCMRA70A01H501Y 09876543217 "Bianchi" "Mario" F "" ""

# Rossi: one activity, monthly. Bianchi: a shop and a repair workshop,
# quarterly, settled jointly.
{
  echo "INSERT INTO DitAttivita (DitAttivita, Descrizione) VALUES ('01', 'Commercio all''ingrosso di forniture per ufficio');"
  echo "INSERT INTO IvaRiep (Anno, DitAttivita, TipoLiq, CreditoInizioAnno) VALUES (2018, '01', 'M', 3200);"
  liquidazione 01 M 3200 42000 30000
} | sqlite3 "$DEST/ditta01.db"
{
  echo "INSERT INTO DitAttivita (DitAttivita, Descrizione) VALUES ('01', 'Commercio al dettaglio di ferramenta'), ('02', 'Riparazione di utensili');"
  echo "INSERT INTO IvaRiep (Anno, DitAttivita, TipoLiq, CreditoInizioAnno) VALUES (2018, '01', 'T', 600), (2018, '02', 'T', 250);"
  liquidazione 01 T 600 38000 31000
  liquidazione 02 T 250 22000 12000
  liquidazione "" T 850 60000 43000
} | sqlite3 "$DEST/ditta02.db"

# A year (2018) of bookkeeping for each company: issued and received
# invoices with Italian, EU and non-EU counterparties, credit notes, split
# payment, reverse charge, customs bills, zero-rate lines, a haulage register
# and the registrations of fictitious clients.
"$CONTABILITA" "$DEST/ditta01.db" --anno 2018 --registrazioni 600 --fittizie 24 --seme 1 >/dev/null
"$CONTABILITA" "$DEST/ditta02.db" --anno 2018 --registrazioni 300 --fittizie 12 --seme 2 >/dev/null

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
DirCaDi=$DEST/file/
DirDatiFat=$DEST/file/
[Risoluzione Video]
Generale=1
[Opzioni Stampa]
StaVid=1
PathDefault=$DEST/pdf/
[LiqIva]
ImgTest=LiqIvaTest.png
ImgDett=LiqIvaDett.png
INI
# The automatic PDFs and the output files stay in the demo's own folder, so
# that two demos never write into one user's Documents.
mkdir -p "$DEST/file" "$DEST/immagini" "$DEST/pdf"
# Stand-ins for the scans of the official settlement form.
cp "$(dirname "$0")/../data/liqiva/"*.png "$DEST/immagini/"

# The first quarter of 2018 extracted for both companies by the program's own
# extraction, so that the run over all companies writes their files at once.
# Before menu.ini, which marks a finished demo: a failure here starts over.
# The databases this script makes are the program's own: write-ahead log, so
# that readers and the writer do not wait for each other (the setting stays
# with the file).
for db in "$DEST"/*.db; do
  sqlite3 "$db" "PRAGMA journal_mode=WAL;" >/dev/null
done

PREPARA="$(dirname "$PRG")/prepara_demo_liqiva"
if [ -x "$PREPARA" ]; then
  "$PREPARA" "$DEST/qorwin.ini" "$DEST/ditta01.db" 2018 1 N
  "$PREPARA" "$DEST/qorwin.ini" "$DEST/ditta02.db" 2018 1 S
fi

NOMEDB_AZIE="$DEST/ditta01.db"
LOGIN_SQL=""
if [ -n "${COMIVA_DEMO_SERVER:-}" ]; then
  "$ROOT/tools/demo_server.sh" crea "$DEST" "$(dirname "$PRG")"
  # The shared database by its data-source name, with no folder before it.
  sed -i -e 's/^NomeDB=.*/NomeDB=comiva_comune/' -e '/^\[Menu\]/,/^\[/ s/^DriveDB=.*/DriveDB=/' "$DEST/qorwin.ini"
  NOMEDB_AZIE=comiva_ditta01
  LOGIN_SQL=$'SqlLogin=comiva\nSqlPwd=comiva'
fi

# No menu key: each menu takes one of its own ("m" and its process number),
# so that two demos run side by side on one machine.
cat > "$DEST/menu.ini" <<INI
[Menu]
Programma=$PRG
ChiavePrg=COMIVA
FileIni=$DEST/qorwin.ini
DbMenu=$DEST/comune.db
DataLavoro=15/05/2018
Terminale=DEMO01
[Valori]
NomeDBAzie=$NOMEDB_AZIE
$LOGIN_SQL
DescAzie=Rossi Forniture S.r.l.
codiceazie=01
idazienda=1
Versione=1.0
DataVersione=10/12/2026
PwdDbAzie=
AccMenuPwd=
UsaPdfCreator=S
StampeEmail=S
PdfNomeFile=$DEST/pdf/LiqIva_§CodiceAzie§_§DataRov§_§Ora§
EmailTipoNum=
EmailNumTesto=1
EmailTipoInvio=E
EmailServerSMTP=${COMIVA_DEMO_SMTP:-}
EmailNumPorta=${COMIVA_DEMO_SMTP_PORTA:-25}
EmailUsaSSL=${COMIVA_DEMO_SMTP_SSL:-}
EmailLogin=${COMIVA_DEMO_SMTP_LOGIN:-}
EmailPwd=${COMIVA_DEMO_SMTP_PWD:-}
EmailInd=${COMIVA_DEMO_EMAIL_DA:-studio@esempio.it}
EmailCentro=Studio dimostrativo
EmailTo1=${COMIVA_DEMO_EMAIL_A:-}
EmailTo=${COMIVA_DEMO_EMAIL_A:-}
EmailToNum=1
[Personal.Tutti]
DataMinima=01/01/1900
[Personal.DatiFat]
UsaFittizio=S
INI
echo "$VERSIONE_DEMO" > "$DEST/versione-demo"
echo "Dati dimostrativi creati in $DEST"
