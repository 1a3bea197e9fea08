#pragma once
// Withdrawal of sent invoice data: a cancellation file (the header of every
// invoice-data file and one ANN block naming the identifier the Agency gave
// the sent file, with the position of a single registration) and the marks
// of the rows withdrawn. A single registration goes from "N" to "E" with the
// communication's next cancellation number (10, 11, ...); a whole send of
// one kind (of one file when the send was split) goes from "N" to "C" with
// the send number. "Rielabora" writes the file of a cancellation again and
// changes no row.
//
// Contract: works on the current company's database under the run lock
// (a lock found is offered as before a definitive run). The number is worked
// out, the file written and the rows marked inside one write transaction of
// that database, so two terminals never take the same number and a failed
// file leaves no row marked. Every refusal is told; nothing is changed then.
#include "invoicedata/run/ControlliRunDatiFat.h"

// The greatest cancellation number the file name can carry (two digits).
constexpr int kMaxNumCanc = 99;

struct OpzioniCancDatiFat {
    QString dirInvio;
    QString codFiscDitta;  // the taxpayer's tax code, for the file name
};

// True when a file was written (and, in a definitive run, the rows marked).
bool CancXml(const DatiRunDatiFat& d, const OpzioniCancDatiFat& o);
