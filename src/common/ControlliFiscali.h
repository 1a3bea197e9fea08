#pragma once
// Checks of the Italian VAT number and tax code. Both return 0 when the value
// is accepted and 1 when it is rejected; neither shows anything.
#include <QString>

// An Italian VAT number (empty marker or country "IT") must be eleven digits,
// not all zero, with the right check digit; an empty text is accepted. With a
// foreign marker and no country nothing is checked. A foreign number (marker
// and a country other than "IT") is accepted when its length is one of the
// two permitted lengths other than 0, or whatever its length when both are 0.
int ContrPartIva(const QString& numero, const QString& marcatoreEstero, const QString& codPaese,
                 int lunghezza1, int lunghezza2);

// A tax code: eleven characters are checked as a VAT number (unless only
// personal codes are wanted); otherwise it must be sixteen characters in the
// pattern of a personal code, with the right check letter. Case is ignored;
// an empty text is accepted.
int ContrCodFisc(const QString& codice, bool soloPersonale);
