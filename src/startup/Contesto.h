#pragma once
// The program's global state in one object, so that a test builds it fresh.
// Names are the program's own (g prefix); later subsystems add their fields.
#include "components/core/Valore.h"

#include <QDate>
#include <QString>
#include <memory>

class MenuClient;
class GestoreDb;
class UtilGenerali;
class ServizioDialoghi;
class Ospite;

struct Contesto {
    // Components
    std::shared_ptr<MenuClient> ggMenuClient;
    std::shared_ptr<GestoreDb> ggGestDb;
    std::shared_ptr<ServizioDialoghi> ggDialoghi;

    // Databases
    QString gsIdDbase;   // company database
    QString gsIdDbMenu;  // shared database

    // Settings files
    QString gsFileIni;    // main settings file
    QString gsFileIniDb;  // database settings file, or empty

    // Program keys in the menu
    QString gsChiaveMenu;
    QString gsChiavePrg;
    QString gsParamAgg;
    QString gsTitoloApp = QStringLiteral("Comunicazioni IVA");

    // Working date and terminal
    QDate gtDataLavoro;
    QString gsNomeTerminale;

    // Field colours (RGB)
    long glColNormale = 0xFFFFFF;
    long glColErrore = 0x0000FF;  // red, in the platform's BGR order
    long glColGotFocus = 0xC0FFFF;
    long glColLostFocus = 0xFFFFFF;

    // Print in progress
    int giStaAtt = 0;

    // Host state
    QString gsTipoPrg = QStringLiteral("p");
    bool giChiusura = false;        // set while "fine" closes: closing forms do not hand back
    QString gsMotivoNoChiudi;       // why the last close was refused
    QString gsKeyPrgPrim;           // keys handed over by the lookup help
    QString gsKeyPrgSec;
    QString gsStatoFinestra;        // "2" when this terminal maximises its forms
    std::shared_ptr<Ospite> ggOspite;
};

// The program's one context. Tests replace it with a fresh one.
Contesto& ctx();
void ImpostaContesto(std::shared_ptr<Contesto> c);
// The utility objects, created on first use.
UtilGenerali& ggUtil();
UtilGenerali& ggIsolamento();
