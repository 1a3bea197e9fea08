#pragma once
// The start-up: switches, link with the menu, settings files, company and
// shared databases, company parameters, and the first form.
#include "common/DbAzienda.h"
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
// Shared database
int ApriDbComune();

// After a fatal database failure: releases the shared objects and closes.
void FineProgramma(int flag);

// Stands for the menu's "C:\QorWinInst.ini".
inline const QString FileInstallazione = QStringLiteral("C:\\QorWinInst.ini");
