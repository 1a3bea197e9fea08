#pragma once
// The run state of the invoice-data extraction that its classification and
// row steps read and set: the run fills the first group before it calls a
// step, the steps fill the second. A column of the pass's current row is read
// by its accounting name, "MovPnTes.X" standing for the pass's
// own header table (ColonnePassata holds those names for the pass).
#include "components/core/Valore.h"
#include "invoicedata/estrazione/SelezioneDatiFat.h"

#include <QString>
#include <optional>

class GestoreDb;
class GestRecordset;

// The qualified names of the pass tables' columns that the steps read.
struct ColonnePassata {
    ColonnePassata() : ColonnePassata(PassataReale()) {}
    explicit ColonnePassata(const TabellePassata& t);
    QString tesAnno, tesNumReg, tesDataReg, tesDataDoc, tesNumDoc, tesPreDoc, tesDataProt, tesNumProt, tesPreProt,
        tesImporto, tesIvaPerCassa;
    QString dettDareAvere, dettImporto, dettGruppoBlackList, dettMastroBlackList, dettContoBlackList;
    QString ivaAnno, ivaNumReg, ivaIva, ivaImponibile, ivaImposta, ivaGruppoPartita, ivaMastroPartita,
        ivaContoPartita;
};

// Raised by StatoRunDatiFat::Numero once its note is made.
struct NumeroNonLeggibile {};

struct StatoRunDatiFat {
    // --- Set by the run
    GestoreDb* gestDb = nullptr;
    QString idDb;
    int annoCom = 0;           // field 10
    int numCom = 0;            // field 20
    QString tipo;              // current kind, "E" or "R"
    TabellePassata tabelle;    // pass tables and offset
    ColonnePassata colonne;
    GestRecordset* rs = nullptr;  // pass record set, on the current row
    QString chiave;
    int annoUlt = 0;           // last registration, without the offset
    long numUlt = 0;
    QString etichetta;         // "movimento anno 2019 e numero 57"
    QString messaggi;          // notes, each after CR LF
    int contaRighe = 0;        // detail rows written for the registration
    // The seven key values of the registration's rows as SQL text, and what
    // they were made from (every row carries them).
    struct {
        int annoCom = -1, numCom = -1, anno = -1;
        long num = -1, offset = -1;
        QString tipo, testo;
    } chiaveRighe;
    // The menu's "CauCon.GruppoIvaSplit", read at the first split-payment causal.
    std::optional<QString> gruppoIvaSplit;

    // --- Set by the steps
    bool bollaDog = false;     // customs bill (5.104)
    QString esigIva;           // registration collectability (5.104)
    QString tipoDoc;           // document type (5.104)
    int segnoTest = 1;         // header sign (5.104)
    int segnoRiga = 1;         // line sign (5.104)
    QString esigIvaRiga;       // VAT-line collectability (5.105)
    QString natura;            // nature (5.105)

    // A column of the current row; Null and empty as the empty value.
    Valore Campo(const QString& nome) const;
    // Every number the run reads goes through here: text that reads as no
    // number would count as 0. False, with a note naming the registration
    // and the column (precisazione after the column's name), when v is such
    // text; "1.000,00" and "100,50" are numbers.
    bool NumeroLeggibile(const Valore& v, const QString& colonna, const QString& precisazione = {});
    // The number v holds; text that is no number raises NumeroNonLeggibile
    // after the note, and the pass ends failed.
    double Numero(const Valore& v, const QString& colonna, const QString& precisazione = {});
    // A note of the run.
    void Nota(const QString& testo) { messaggi += QStringLiteral("\r\n") + testo; }
    bool Clienti() const { return tipo.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0; }
};

// Texts compare without regard to case, as everywhere in the program.
bool Uguale(const Valore& v, const char* testo);
