#pragma once
// The checks of the invoice-data run form that need no widget: the rules a
// box applies as the user leaves it, and the check before a run, which walks
// its conditions in a fixed order and stops at the first that fails.
//
// Contract: the form copies its boxes and options into DatiRunDatiFat and
// gets back the message shown and the box (by its index in the form's box
// array) that takes the focus. Messages go through the message form with the
// run's title; the one question (a maximum of counterparties above 1000) is
// asked there too. The check only trims and upper-cases the declarant's tax
// code; it reads no table.
#include <QString>
#include <optional>

inline const QString kTitoloDatiFatXml = QStringLiteral("Estrazione XML Dati Fatture");

// Indexes of the form's boxes.
namespace CampoDatiFat {
constexpr int Anno = 10, Numero = 20, DaAzienda = 30, AAzienda = 40, NomeFile = 60, CfDichiarante = 80,
              CaricaDichiarante = 90, NumInvio = 100, InvioCanc = 110, BaseFile = 115, AnnoReg = 120,
              NumReg = 130, Identificativo = 140, MaxAnagrafiche = 150;
}

enum class TipoSta { Prova = 0, Definitiva = 1, Rielabora = 2 };
enum class TipoCom { Normale = 0, Cancellazione = 1 };
enum class TipoElab { FileEStampa = 0, File = 1, Stampa = 2 };

struct DatiRunDatiFat {
    QString anno, numero, daAzienda, aAzienda, cfDichiarante, caricaDichiarante, numInvio, invioCanc, annoReg,
        numReg, identificativo, maxAnagrafiche, baseFile;
    bool molteAnag = false;
    TipoSta tipoSta = TipoSta::Prova;
    TipoCom tipoCom = TipoCom::Normale;
    TipoElab tipoElab = TipoElab::FileEStampa;
    bool clienti = true, fornitori = true;
    // The box left in the error colour by a field rule: its index, 0 for a
    // control outside the box array, nothing when none.
    std::optional<int> inErrore;
};

struct EsitoControllo {
    bool ok = true;
    QString messaggio;
    int focus = 0;  // box to focus, 0 for none
};

// The check before a run; a failure has been shown when it returns.
EsitoControllo ControllaDatiElab(DatiRunDatiFat& d);

// A failed field rule: the box to mark in the error colour and its message.
struct ErroreCampo {
    int indice = 0;
    QString messaggio;
    bool operator==(const ErroreCampo&) const = default;
};

// Year and number judged as a pair; a year or number of 0 is left to the
// check before the run.
std::optional<ErroreCampo> RegolaAnnoNumero(int anno, int numero);
// The declarant's office code as shown after formatting.
std::optional<ErroreCampo> RegolaCodiceCarica(const QString& testo);
// A send number (the box to run again or the send to cancel): 0 to 9.
std::optional<ErroreCampo> RegolaNumeroInvio(int indice, long valore);
