#pragma once
// The start-up: switches, link with the menu, settings files, company and
// shared databases, company parameters, and the first form.
#include "components/core/Valore.h"

#include <QString>
#include <functional>
#include <memory>

class GestoreDb;
class MenuClient;

// Makes the menu client; raises ErroreRun when the menu cannot be reached.
using FabbricaMenuClient = std::function<std::shared_ptr<MenuClient>()>;

// The start-up sequence; false when it failed (the program then closes
// through the closing timer with a non-zero exit status).
bool InizProgramma(const QString& rigaComando, const FabbricaMenuClient& creaMenu);

// Finds the settings files and opens the company database; 0 when done, -1
// after a fatal failure (already reported).
int ApriDbAzienda(const QString& nomeFile, GestoreDb& gestDb, QString& idDb, const QString& fileInstallazione,
                  const QString& rigaComando);
// Opens a database on the server: its id, "" when the user gave up the SQL
// login, "Err: " + number after a failure (already reported).
QString CredenzialiDb(GestoreDb& gestDb, const QString& nome, const QString& pwd, const QString& connect);

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

// Shared database
int ApriDbComune();
bool LeggiScriviAppoggio(const QString& codice, int slot, QString& memo, QString& descrizione);

// After a fatal database failure: releases the shared objects and closes.
void FineProgramma(int flag);

// Stands for the menu's "C:\QorWinInst.ini".
inline const QString FileInstallazione = QStringLiteral("C:\\QorWinInst.ini");
