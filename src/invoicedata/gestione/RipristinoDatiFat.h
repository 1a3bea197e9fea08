#pragma once
// Restoring invoice-data records after a cancellation or a send, without any
// widget: the key of the record shown on the header screen chooses the case
// (state "E" a single cancellation, "C" a cancellation with the whole file,
// any other a send), the check that refuses it, and the statements that undo
// it in DatiFatTest and DatiFatDett.
//
// Contract: Verifica counts the rows that forbid the restore (0 lets it go).
// Esegui runs the lines statement (cancellations only) and the header
// statement in one transaction: both are undone together on any error, and
// also when the header statement restores no row (the record shown no longer
// stands as it was); it returns the header rows restored. A file name left
// empty (a send that was not split) is matched as Null or empty.
#include <QString>

class GestoreDb;

class RipristinoDatiFat {
public:
    enum Caso { CancSingola, CancFile, Invio };

    // The texts of the header screen's boxes.
    struct Chiave {
        QString annoCom, numCom, annoReg, numReg, numCanc, tipo, stato, numInv, nomeFile;
    };

    explicit RipristinoDatiFat(const Chiave& chiave);

    Caso caso() const { return caso_; }
    // Why the check refuses, and what the first question asks to restore.
    QString Motivo() const;
    QString Oggetto() const;

    QString SqlVerifica() const;
    QString SqlTestata() const;
    // Empty for a send: the lines carry no send data.
    QString SqlLinee() const;

    long Verifica(GestoreDb& gestDb, const QString& idDb) const;
    long Esegui(GestoreDb& gestDb, const QString& idDb) const;

private:
    QString lit(const QString& testo, int tipo) const;
    QString condizioniTestata() const;
    QString condizioneNomeFile() const;

    Chiave k_;
    Caso caso_;
};
