#pragma once
// The declarant of the tax communications: the taxpayer and the people who
// sign and transmit the file, gathered from the company's records.
#include <QDate>
#include <QString>
#include <cstdint>

// The date that stands for "no date".
inline const QDate kDataNulla{100, 1, 1};

struct RecDichiarante {
    QString CodiceFiscale;            // 16, left-aligned, upper case
    QString PartitaIva;               // 11, left-aligned
    QString PartitaIvaControllante;   // always empty
    int16_t UltimoMese = 0;           // always 0
    QString LiquidazioneGruppo;
    QString CFDichiarante;            // signer who is a person: 16, upper case
    QString CodiceCaricaDichiarante;  // office code: 2, "0"-filled on the left
    QString CodiceFiscaleSocieta;     // signing company: 16, upper case
    QString FirmaDichiarazione;
    QString CFIntermediario;          // 16, upper case
    QString ImpegnoPresentazione;     // "1" or "2"
    QDate DataImpegno = kDataNulla;
    QString FirmaIntermediario;
    QString FlagConferma;             // "0" once loaded
    QString IvaDichGenCampo1;
    QString StatoGiurid;              // "G": legal person
    QString RagSoc;                   // legal person
    QString Cognome;                  // natural person
    QString Nome;

    bool operator==(const RecDichiarante&) const = default;
};

// Fills the record for the company of the database id (blank: the current
// company) and the accounting firm of the shared database. The record is
// cleared first; on a failure (missing company or declaration row, a failed
// query) the error is shown, the record stays cleared and the result is false.
// The invoice-data road passes dichiarazioneFacoltativa: a company without
// a periodic-declaration row then has the company's identity and no
// declarant, instead of failing.
bool CaricaDichiarante(RecDichiarante& rec, const QString& idDb, bool dichiarazioneFacoltativa = false);
