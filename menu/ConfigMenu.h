#pragma once
// What the menu stand-in knows, read from its own settings file:
//
//   [Menu]
//   Chiave=MENU01            menu key; names the local socket (default "m" + pid)
//   Programma=../comiva      the program to start (relative paths: from this file's folder)
//   ChiavePrg=COMIVA         the program's key in the menu (switch "P", first word)
//   FileIni=qorwin.ini       main settings file handed over by FileImpostazioni
//   SwitchI=                 when set, passed to the program as switch "I"
//   DbMenu=comune.db         shared database: entries' captions (MenuDett), GetParamDbMenu
//   DataLavoro=31/03/2018    working date (default today)
//   Terminale=TERM01         terminal name (default the host name)
//   Help=aiuto.chm           help file, switch "H" of the launch parameter
//   TipoForm=0               window state of the first form
//   [Valori]
//   NomeDBAzie=ditta01.db    named values, names without regard to case
//   [Personal.Tutti]
//   DataMinima=01/01/1900    personal parameters: "Personal.Tutti.§DataMinima"
#include "components/core/Valore.h"

#include <QDate>
#include <QHash>
#include <QString>

struct ConfigMenu {
    QString fileMenu;  // this file, for the messages that name it
    QString chiaveMenu;
    QString programma;
    QString chiavePrg = QStringLiteral("COMIVA");
    QString fileIni;
    QString switchI;
    QString dbMenu;
    QDate dataLavoro = QDate::currentDate();
    QString terminale;
    QString help;
    int tipoForm = 0;
    // Named values and personal parameters, keyed by lower-case name.
    QHash<QString, Valore> valori;

    // False with a message when the file cannot be read.
    static bool Leggi(const QString& file, ConfigMenu& cfg, QString& errore);
};
