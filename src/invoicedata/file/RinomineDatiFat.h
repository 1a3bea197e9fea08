#pragma once
// The record of the invoice-data files whose send is marked but which may not
// have their final name yet. A definitive run (or a cancellation) writes its
// files under a temporary name, then, in one transaction of the company
// database, its marks together with one row per file of this table, and only
// after the commit renames the files and deletes the rows. A run killed, or a
// rename that failed, between the commit and the end leaves the rows: the next
// run finds them before anything else and completes the renames, or, when a
// file is gone, undoes the marks (RecuperoDatiFat).
//
// Contract: the table lives in the company database and is created on first
// use; every operation raises ErroreRun. Renames replace an earlier file of
// the final name and count as done when only the final name is left.
#include <QString>
#include <vector>

inline const QString kTabellaRinomine = QStringLiteral("DatiFatRinomine");

// What the marks of a file stand for, so that they can be undone.
enum class OperazioneRinomina : char {
    Invio = 'I',             // a send: NumInv = numero, state "N"
    CancSingola = 'E',       // a single cancellation: state "E", NumCanc = numero
    CancInvio = 'C',         // a whole send cancelled: state "C", NumCanc = numero
};

struct RinominaDatiFat {
    QString provvisorio{};   // where the complete file is until renamed
    QString definitivo{};    // its final name
    OperazioneRinomina operazione = OperazioneRinomina::Invio;
    int annoCom = 0, numCom = 0;
    QString tipo{};          // "E" or "R"
    int numero = 0;          // send or cancellation number
    QString nomeFile{};      // progressive of a split file ("" for one file)
    int annoReg = 0;         // the registration of a single cancellation
    long numReg = 0;
};

// Creates the table when the company database lacks it (outside a transaction).
void CreaTabellaRinomine(const QString& idDb);
// Inserts the rows; called inside the caller's transaction with the marks.
void RegistraRinomine(const QString& idDb, const std::vector<RinominaDatiFat>& righe);
// The rows left in the table.
std::vector<RinominaDatiFat> LeggiRinomine(const QString& idDb);
// Deletes the rows of these files.
void CancellaRinomine(const QString& idDb, const std::vector<RinominaDatiFat>& righe);

// Gives the file its final name; true when it has it (also when it had it
// already), false when neither the temporary file nor the final one is there.
// A rename the system refuses raises ErroreRun.
bool DaiNomeDefinitivo(const RinominaDatiFat& r);
