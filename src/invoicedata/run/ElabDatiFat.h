#pragma once
// The invoice-data file run over one company or a range of companies of the
// shared list Aziende: for each company its own database, currency and
// identity, the writer's properties, and for each ticked kind ("E" clients,
// then "R" suppliers) the run lock (tested, or taken with the send number in
// a definitive run), the writer and the release.
//
// Contract: Esegui runs after the form's check has passed and reports how
// the run ended with the message shown. Databases the run opens are closed
// when it leaves their company; the current company's currency parameters
// and the print options' output name are put back at the end; a lock taken
// is released after its kind even when the writer raises.
#include "invoicedata/run/ControlliRunDatiFat.h"

#include "common/Dichiarante.h"

#include <memory>

class OpzSta;
class stDatiFat;
class LockDatiFat;

// What the run needs of the form besides the checked boxes.
struct OpzioniElabDatiFat {
    bool fileXml = false;  // "Formato txt", the form's only choice; the file is XML all the same
    int ordin = 0;  // 1: by date
    bool estraiAnag = true;
    QString dirInvio;
    QString nomeFile;  // the hidden file-name box
    RecDichiarante dichiarante;  // the current company's, loaded with the form
    std::shared_ptr<OpzSta> opzSta;
    QString titolo;  // the form's caption, title of the closing message
};

enum class EsitoElabDatiFat {
    Terminato,   // every company of the range run
    NessunDato,  // no company prepared, or none wrote a file
    Interrotto,  // a lock refused, the writer stopped, the user said no
    Errore,      // a failure, shown with the standard error box; or no file
                 // written and a kind failed, told as it came
};

class ElabDatiFat {
public:
    ElabDatiFat(stDatiFat& scrittore, LockDatiFat& lock) : w_(scrittore), lock_(lock) {}

    EsitoElabDatiFat Esegui(const DatiRunDatiFat& d, const OpzioniElabDatiFat& o);

    // True once a company of the last run printed to the on-screen preview.
    bool StampaVideo() const { return staVideo_; }

private:
    struct Giro;
    bool ApriAziende(Giro& g);
    bool PreparaAzienda(Giro& g);
    bool EseguiTipi(Giro& g);
    EsitoElabDatiFat Concludi(Giro& g);
    void Sblocca(const QString& idDb);
    void SbloccaDopoInvio(const QString& idDb);

    stDatiFat& w_;
    LockDatiFat& lock_;
    bool staVideo_ = false;
};
