#pragma once
// How a party (client, supplier or the declaring company) is identified in
// the tax communications: country, VAT number, tax code, name. Pure
// functions of the party's fields; text comparisons ignore case.
#include <QString>

// "IT" for an empty (blank) country code, otherwise the code unchanged.
QString IsoPaese(const QString& codPaese);

// True when the code begins with "8" or "9": in the VAT-number field of an
// Italian party such a value is a numeric tax code.
bool CodFiscNumerico(const QString& codice);

// A tax code beginning with "-" continues a long foreign VAT number.
QString PartIvaCompleta(const QString& partIva, const QString& codFisc);

// True when the party has a genuine VAT number.
bool HaPartIva(const QString& partIva, const QString& codFisc, const QString& codPaese);

// The tax code to report: the tax code, else a numeric code kept in the VAT
// number field, else "".
QString CodFiscDaUsare(const QString& codFisc, const QString& partIva);

// Fills either the company name for the file or surname and first name.
// With giuridicaDaPartIva the kind of party follows from its codes (and a
// "_" in the name marks a person), otherwise from the legal status "G".
void DividiNominativo(const QString& ragSoc, const QString& ragSoc2, const QString& descrizione,
                      const QString& statoGiurid, const QString& partIva, const QString& codFisc,
                      QString& ragSocFile, QString& cognome, QString& nome, bool giuridicaDaPartIva);

// Splits a name into surname and first name at the first "_" (after dropping
// what precedes the first of two or more), else at the first "-", else, with
// dividiAlBlank, at the first blank; otherwise all of it is the surname.
void DividiCognomeNome(const QString& testo, QString& cognome, QString& nome, bool tuttoInCognome,
                       bool dividiAlBlank);
