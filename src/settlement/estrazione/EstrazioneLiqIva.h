#pragma once
// Extraction of one periodic VAT settlement communication (a year and a
// quarter) from the computed settlement tables into LiqIvaTest/LiqIvaDett.
// It asks its questions and shows its messages through the message form; the
// extraction form gathers the options and closes after a completed run.
#include <QString>

class GestoreDb;
struct RecDichiarante;

// The fields of the extraction form, as typed.
struct DatiEstrazione {
    QString anno;               // txt 10
    QString numCom;             // txt 20, the quarter
    bool multiAttivita = false; // Check 30
    bool subfornitura = false;  // Check 33
    QString eventiEccezionali;  // txt 36
    QString cfDichiarante;      // txt 80
    QString codiceCarica;       // txt 90
    QString cfSocieta;          // txt 100
    bool firmaDichiarazione = true;  // Check 110
    QString cfIntermediario;    // txt 120
    QString impegno;            // cob 130: text of the chosen item, "" for none
    QString dataImpegno;        // txt 140
    bool firmaIntermediario = false; // Check 150
    bool flagConferma = false;  // Check 160
};

struct EsitoEstrazione {
    enum Stato {
        Fermata,     // a check or the user stopped it; nothing was written
        Completata,  // the communication was replaced and committed
        Fallita      // an error: rolled back, the earlier communication kept
    };
    Stato stato = Fermata;
    int campoFocus = -1;  // index of the field to correct, -1 none
};

// The whole run: checks, source, questions, and, in one transaction, the
// replacement of the earlier communication with the new header and modules.
EsitoEstrazione EstraiLiqIva(const DatiEstrazione& dati, const RecDichiarante& dichiarante);

// The company's default activity: the lowest DitAttivita code, "." when there
// is none or the read fails (after a message).
QString LeggiAttivitaDef();

// After a statement: false, after showing messaggio, when it affected fewer
// rows than atteso.
bool EseguiSqlContr(GestoreDb& gestDb, const QString& idDb, const QString& messaggio, long atteso);

// Shown when a run failed and was rolled back.
inline const QString kMsgEstrazioneFallita =
    QStringLiteral("Estrazione non riuscita: nessun dato è stato modificato.");
