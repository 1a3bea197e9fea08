#pragma once
// The communication rows of a registration: one DatiFatTest
// header per document and one DatiFatDett row per VAT line, or a pair of rows
// for a VAT line whose amounts are both zero (re-summed from the postings of
// its code). Each row is one INSERT built as text with FormatoSql literals,
// verified by the rows it affected; a row that was not written adds its note
// to the run messages and the step answers false. Database failures reach
// the run's handler.
#include <QString>

struct StatoRunDatiFat;

// The number columns of the current row that reach the rows (the header's
// total, taxable, VAT, the code's rate) hold numbers: a text that is no number
// would be written as 0 (or stop with a bare conversion error). False, with a
// note naming the registration and the column, when one does not.
bool NumeriLeggibili(StatoRunDatiFat& s);
// The header of the registration of the current row.
bool CreaTestata(StatoRunDatiFat& s);
// The detail rows of the current VAT line, numbered from the line counter.
bool CreaDett(StatoRunDatiFat& s);
// Taxable and VAT totals of the non-negative postings of the current VAT
// line's code in the pass's lines table. A failure is shown at once in the
// error box; the answer is then false, with the totals reached so far. Text
// that is no number in an amount raises NumeroNonLeggibile after its note.
bool CalcTotIva(StatoRunDatiFat& s, double& pdTotImponib, double& pdTotImpoSta);
