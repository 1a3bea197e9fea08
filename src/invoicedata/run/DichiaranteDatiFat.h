#pragma once
// The identity and declarant a run of invoice data writes for a company,
// read from that company's own database: the taxpayer from its Ditta row,
// the declarant (signer's tax code and office code) from the periodic VAT
// return's general row when there is one. A company without that row has
// no declarant; that is not an error.
#include "common/Dichiarante.h"

#include <QString>

// The declarant of the company's database: tax code in 16 characters,
// upper case; office code in 2, "0"-filled. Both empty when none is stored
// or the company's database does not open. An empty idDb opens the database
// of company idAzienda and closes it again.
void LeggiDichiarante(const QString& idDb, const QString& idAzienda, QString& cfDichiarante,
                      QString& codiceCarica);

// The company's identity (tax code, VAT number, names, legal status) and its
// declarant; false after a message when the Ditta row cannot be read.
bool LeggiIdentitaDatiFat(const QString& idDb, RecDichiarante& rec);
