#pragma once
// The company and shared databases as every subsystem uses them: opening a
// database with its login, the company's currency and display parameters,
// another company's defaults for a run over a range, and the shared work rows.
#include "components/core/Valore.h"

#include <QString>

class GestoreDb;
class GestRecordset;

// Opens a database on the server: its id, "" when the user gave up the SQL
// login, "Err: " + number after a failure (already reported). With
// `lasciaFileDanneggiato` a database file SQLite finds damaged or does not
// recognise (3343) is not reported: the error goes to the caller, which
// offers to recover the file.
QString CredenzialiDb(GestoreDb& gestDb, const QString& nome, const QString& pwd, const QString& connect,
                      bool lasciaFileDanneggiato = false);
// Another company of a run over a range, from its row of `Aziende` (`rs`,
// `chiave`; `codice` its code): the row's file, named as the settings say,
// opened with the password the menu keeps for the company when the row asks
// for one. A database that does not open is not reported here: it raises
// ErroreRun "nell'apertura del database: <the layer's reason>" (or "...
// <file>" when the user gave up the SQL login), for the run to tell once, in
// its question whether to go on. Only a refused SQL login is offered again.
QString ApriDbAziendaDelGiro(GestRecordset& rs, const QString& chiave, const QString& codice);

// Company parameters
void CaricaParAzienda(int flag = 0);
struct DatiMoneta {
    int numDec = 2;
    int numDecGest = 2;
    QString operatore = QStringLiteral("/");
    QString cee = QStringLiteral("N");
};
DatiMoneta LeggiMoneta(const QString& codice);
// Another company's currency and decimals; false (and nothing changed) when
// its records cannot be read.
bool LeggiDefaultDitta(const QString& idDb);
// The currency parameters of the company in use, taken whole so that a run
// over other companies can put them back.
struct ParametriMoneta {
    QString moneta, codLira, codEuro, fmtImp, fmtImpEuro;
    int decImp = 2, decImpEuro = 2;
    static ParametriMoneta Leggi();
    void Rimetti() const;
};
Valore LeggiOSPlatform();

// Shared work rows of the shared database (table Appoggio), slots 1-5.
bool LeggiScriviAppoggio(const QString& codice, int slot, QString& memo, QString& descrizione);
