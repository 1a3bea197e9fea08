#pragma once
// The invoice-data extraction run without widgets: checks the
// options of the extraction form, offers to replace the earlier unsent data
// of the communication, then for clients and suppliers, each in a real and
// (with "UsaFittizio") a fictitious pass, walks the selected VAT lines
// registration by registration, classifies them and
// writes the communication rows. Notes are collected and shown
// once at the end.
//
// The run is one transaction: the deletion of the earlier data and every
// row of the run commit together at the end, or not at all. A row that was
// not written, a failed re-summing of a zero line, a run-time error and a
// confirmed interruption roll the whole run back and say so; the user's
// earlier data stay as they were.
#include "invoicedata/estrazione/SelezioneDatiFat.h"
#include "invoicedata/estrazione/StatoRunDatiFat.h"

#include <QString>

class GestRecordset;

// What the run tells the form while it works. The defaults do nothing.
class OsservatoreDatiFat {
public:
    virtual ~OsservatoreDatiFat() = default;
    // The run starts working (after the checks and the question), and stops
    // working (before its final message or error box).
    virtual void Inizio() {}
    virtual void Fine() {}
    // What is being done ("In elaborazione Clienti (fatture di vendita)").
    virtual void Fase(const QString& testo) { (void)testo; }
    // Rows read of the pass and rows to read; called once per row.
    virtual void Avanzamento(long fatti, long daFare) {
        (void)fatti;
        (void)daFare;
    }
    // True once when the user asked to interrupt since the last call.
    virtual bool InterruzioneRichiesta() { return false; }
};

struct EsitoDatiFat {
    enum Stato {
        Fermata,     // a check or the user stopped it before anything changed
        Completata,  // committed
        Interrotta,  // the user interrupted it: rolled back
        Fallita      // a row not written or an error: rolled back
    };
    Stato stato = Fermata;
    int campoFocus = -1;  // field to correct after a check, -1 none
};

class EstrazioneDatiFat {
public:
    // The form's fields and the personal parameter "UsaFittizio".
    OpzioniDatiFat opzioni;
    bool usaFittizio = false;
    OsservatoreDatiFat* osservatore = nullptr;

    // The whole run from the checks of year and number on (the form checks
    // its fields' error colour before).
    EsitoDatiFat Esegui();

    // Members of the run.
    // 0: no earlier unsent data of the ticked kinds; 1: the user confirmed
    // their replacement; -1: the user refused.
    int PresDatiDaInv();
    // Rows of the communication and the current kind, not cancelled, exist.
    bool DatiPrecInv();
    // Row filter of the run: every row.
    bool RecValido() const { return true; }

    // The run state of the steps; public for the tests.
    StatoRunDatiFat stato;
    QString prefTrasp;

private:
    enum class FinePassata { Finita, Fallita, Interrotta };
    FinePassata Passata(GestRecordset& rs, const TabellePassata& tabelle, bool datiPrec);
    // Deletes the unsent, not cancelled rows of the ticked kinds.
    void CancellaPrecedenti();
    void Inizio();
    void Fine();
};

// The messages of an extraction that was rolled back.
inline const QString kMsgElabInterrotta = QStringLiteral("Elaborazione interrotta");
inline const QString kMsgInterrottaUtente = QStringLiteral("Elaborazione interrotta su richiesta");
inline const QString kMsgNessunaModifica = QStringLiteral("Nessun dato è stato modificato.");
