#pragma once
// The run lock of definitive invoice-data runs and their send numbers.
// Every terminal and company of the suite shares one lock row in the shared
// table Appoggio (Codice "XMLDatiFat"; Descr1 company, Descr2 terminal,
// Descr3 kind, Long1 year, Long2 number, Long3 send number, 0 for a
// cancellation; in the columns the suite leaves free, Memo1 the folder of
// the run's files as its terminal names it, and for a cancellation Descr4
// "E" (one registration, Descr5 "year/number") or "C" (a whole send, Descr5
// "send/file progressive")). A definitive kind of a company takes it with
// LockElab, which also gives the kind's next send number (the highest over
// every state plus one), and gives it back with SbloccaElab, which undoes
// the send when the writer did not finish.
//
// Contract: the lock is taken in one write transaction by an insert that
// succeeds only while no lock row exists, so that of two terminals exactly
// one wins; SbloccaElab deletes only the row this object inserted. A lock
// row found is shown as a send ("Estrazione XML in corso") or a cancellation
// ("Annullamento in corso") with its company, terminal, year, number and kind, and
// the user may reset it ("Azzera elab. prec."), look again or give up. Send
// numbers above kMaxNumInvio do not fit the file name and are refused.
//
// A run commits its marks together with the record of its files' final
// names, so a lock row left behind stands either for a send not marked
// (nothing to undo) or for a marked one, complete once its files are named.
// Resetting a lock therefore never zeroes a send: what a run stopped between
// its commit and its final names is put right first (RecuperoDatiFat); then
// a marked send whose final files are all there, each in the folder the row
// names or else in the run form's, keeps its marks, only the lock row goes
// and the user is told, with the sender's terminal and folder; a marked send
// with a final file missing changes nothing, and the user is told which file.
// A cancellation's row goes, and the user is told whether it had completed
// (marks and file kept) or not (nothing marked); with its file missing,
// nothing changes. A row of an older version (no folder) is looked for in
// the run form's folder only, and its cancellation just goes.
#include "invoicedata/file/RinomineDatiFat.h"
#include "invoicedata/run/InvioDatiFat.h"

#include <QString>
#include <functional>
#include <optional>

// The highest send number of a communication and kind: the file name's
// progressive keeps one digit for it.
constexpr int kMaxNumInvio = 9;

// What a cancellation withdraws, kept in its lock row so that a reset can
// tell whether it had completed: one registration (CancSingola) or one send
// of a kind, one file of it when the send was split (CancInvio).
struct CancBloccata {
    OperazioneRinomina operazione = OperazioneRinomina::CancInvio;
    int annoReg = 0;
    long numReg = 0;
    int numInvio = 0;
    QString nomeFile{};
};

class LockDatiFat {
public:
    // cartella gives the folder of the run form: kept in the lock row this
    // object takes, and where the final files of a send are looked for when
    // a lock is reset (after the folder the row names).
    explicit LockDatiFat(std::function<QString()> cartella = {}) : cartella_(std::move(cartella)) {}

    // psIdDbase: the run's company database ("" when the caller has none);
    // pbSoloVer: only look for a lock (trial and repeat runs, the opening of
    // the form); piNumInvio receives the send number once it is taken and
    // is left as it was otherwise. True when the run may go on.
    bool LockElab(const QString& psIdDbase, bool pbSoloVer, const QString& psTipoElab, int piAnno, int piNumCom,
                  int& piNumInvio, const QString& psIdAzienda);

    // Ends a definitive kind: piErrore below 0 (writer interrupted) asks
    // whether to zero the send numbers, above 0 (run-time errors) zeroes
    // them without asking; then the lock row this object took is deleted.
    // Year and number are the run's own. Database errors reach the caller,
    // the lock row being deleted all the same.
    void SbloccaElab(const QString& psIdDbase, int piErrore, const QString& psTipoElab, int piAnno, int piNumCom,
                     int piNumInvio);

    // The lock for a cancellation: a lock row found is handled as in
    // LockElab, then a row without send number, saying what canc withdraws,
    // is taken. Released with SbloccaElab and send number 0.
    bool LockCanc(const QString& psIdDbase, const QString& psTipo, int piAnno, int piNumCom,
                  const QString& psIdAzienda, const CancBloccata& canc = {});

    // True between a successful definitive LockElab (or LockCanc) and SbloccaElab.
    bool Tenuto() const { return tenuto_.has_value(); }

private:
    struct RigaLock {
        QString idAzienda, terminale, tipo;
        int anno = 0, numCom = 0, numInvio = 0;
    };
    std::optional<RigaLock> tenuto_;
    std::function<QString()> cartella_;
    // The folder of the run's files, "" when the form gives none.
    QString cartella() const { return cartella_ ? cartella_() : QString(); }
    void CancellaRiga(const RigaLock& r);
};

