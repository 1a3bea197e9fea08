#pragma once
// The program's global state in one object, so that a test builds it fresh.
// Names are the program's own (g prefix); later subsystems add their fields.
#include "components/core/ContestoComponenti.h"
#include "components/core/Valore.h"

#include <QDate>
#include <QString>
#include <memory>

class ServizioOspite;
class Schermo;
class ServizioHelp;
class QorAiuti;
class DecodLista;
class scQorUtilPrg;

// The menu client, database server, dialog service, database ids, title and
// print-in-progress flag are the components' part (ContestoComponenti).
struct Contesto : ContestoComponenti {
    // Components
    std::shared_ptr<Schermo> ggSchermo;        // screen metrics; the primary screen when not set
    std::shared_ptr<ServizioHelp> ggHelp;      // help viewer
    std::shared_ptr<QorAiuti> ggAiuti;         // lookup-help library
    std::shared_ptr<DecodLista> ggDecodDitte;  // company list, created on first use
    std::shared_ptr<scQorUtilPrg> ggScUtilPrg; // receives the lookup library's events

    // Settings files
    QString gsFileIni;    // main settings file
    QString gsFileIniDb;  // database settings file, or empty

    // Program keys in the menu
    QString gsChiaveMenu;
    QString gsChiavePrg;
    QString gsParamAgg;

    // Working date and terminal
    QDate gtDataLavoro;
    QString gsNomeTerminale;

    // Field colours (RGB)
    // Field colours, in the platform's BGR order; 0x800000nn are system colours.
    long glColNormale = 0x80000005;
    long glColErrore = 255;  // red
    long glColGotFocus = 0xFFFF80;
    long glColLostFocus = 0x80000005;

    // Host state
    QString gsTipoPrg = QStringLiteral("p");
    bool giChiusura = false;        // set while "fine" closes: closing forms do not hand back
    QString gsMotivoNoChiudi;       // why the last close was refused
    QString gsKeyPrgPrim;           // keys handed over by the lookup help
    QString gsKeyPrgSec;
    QString gsStatoFinestra;        // "2" when this terminal maximises its forms
    std::shared_ptr<ServizioOspite> ggOspite;  // the host: forms loaded, return to the menu, closing
    int giCodiceUscita = 0;         // exit status: not 0 when the start-up failed

    // Start-up
    QString gsNomeDB, gsConnect, gsPwdDbDitta, gsPwdDbMenu;
    QString gsSepDec = QStringLiteral(",");
    QString gsNomeDbMenu, gsDriveDbMenu, gsConnectMenu;
    double gdRisVidGen = 0, gdRisVidBase = 0, gdRisVidStaVid = 0, gdRisVidMsg = 0, gdRisVidHelp = 0;
    QString gsDirImgEmail;
    bool gbLisSpostaCurs = false;
    QString gsDataMinima = QStringLiteral("01/01/1900");
    QString gsFormDaAprire;

    // Company parameters
    QString gsDescDitta;
    QString gsMoneta = QStringLiteral("Euro"), gsCodLira = QStringLiteral("L."), gsCodEuro = QStringLiteral("Euro");
    int giDecImpEuro = 2, giDecImp = 2;
    QString gsFmtImpEuro, gsFmtImp;
    long glColTesto = 0x80000008, glColTestoDis = 0x80000011, glColForm = 0;
    QString gsTastierinoVirgola, gsDecodHelpAbil = QStringLiteral("N");
    bool gbDecodHelpPersKey = false;
    QString gsFormatoData = QStringLiteral("dd/mm/yyyy");

    // Help: the application's help file (switch "H" of the launch parameter)
    QString gsFileHelp;

    // Keyboard, kept for the whole run
    int giUltTasto = 0, giUltShift = 0;
    bool gbInvioNelCampo = false;
    QString gsTestoCerca, gsTestoSostituisci;  // last find and replace texts
    int giModoConfronto = -1;                  // -1 unset, 1 ignore case, 0 exact
};

// The program's one context. Tests replace it with a fresh one.
Contesto& ctx();
void ImpostaContesto(std::shared_ptr<Contesto> c);
