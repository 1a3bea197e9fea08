#pragma once
// The declarant a run of invoice data proposes for a company, read from
// that company's own database: the signer's tax code and office code of the
// periodic VAT return's general row when there is one. The taxpayer's
// identity comes from CaricaDichiarante, as for the settlement.
#include "common/Dichiarante.h"

#include <QString>

// The declarant of the company's database: tax code in 16 characters,
// upper case; office code in 2, "0"-filled. Both empty when none is stored
// or the company's database does not open. An empty idDb opens the database
// of company idAzienda and closes it again.
void LeggiDichiarante(const QString& idDb, const QString& idAzienda, QString& cfDichiarante,
                      QString& codiceCarica);
