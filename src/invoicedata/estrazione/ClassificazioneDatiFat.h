#pragma once
// Classification of a registration and of its VAT lines for the invoice
// data: document type, VAT collectability, customs bill
// and the signs of the amounts for the registration; collectability and
// nature for each VAT line. The steps read the pass's current row and the run
// state, add their notes to the run messages and write no table; a failure of
// the database reaches the run's handler. Every amount they read goes through
// the run's number check (StatoRunDatiFat::Numero).
#include <QString>

struct StatoRunDatiFat;

// Document type of the registration of the current row; sets pbBollaDog and
// psEsigIva ("S", "D" or "I") and the header and line signs of the state. A
// type taken from the causal that the published DatiFattura schema does not
// list is noted with the registration.
QString ElabTD(StatoRunDatiFat& s, bool& pbBollaDog, QString& psEsigIva);
// "TD01", "TD04" or "TD05" from the side and sign of the counterparty line;
// psDareAvere is the kind's usual side ("D" clients, "A" suppliers).
QString ElabTdDaSegno(StatoRunDatiFat& s, const QString& psDareAvere);
// Nature of the current VAT line ("" for none); sets psEsigIvaRiga.
QString ElabNatura(StatoRunDatiFat& s, QString& psEsigIvaRiga);

// True for the document types of the published DatiFattura schema: TD01,
// TD04, TD05, TD07, TD08, TD10, TD11 (without regard to case).
bool TipoDocumentoPrevisto(const QString& tipo);
