#pragma once
// The part of the program's state that the components read: the services the
// program installs at start-up (menu client, database server, dialogs), the ids
// of the company and shared databases, the application's title and the
// print-in-progress flag. The program's Contesto extends it and installs
// itself here, so a component reads the same fields the program writes without
// knowing the program. Tests install a fresh one through the program's context.
#include <QString>
#include <memory>

class MenuClient;
class GestoreDb;
class ServizioDialoghi;

struct ContestoComponenti {
    std::shared_ptr<MenuClient> ggMenuClient;
    std::shared_ptr<GestoreDb> ggGestDb;
    std::shared_ptr<ServizioDialoghi> ggDialoghi;

    QString gsIdDbase;   // company database
    QString gsIdDbMenu;  // shared database

    QString gsTitoloApp = QStringLiteral("Comunicazioni IVA");

    // Print in progress: a second print, the print options and closing the
    // preview are refused while it is not 0.
    int giStaAtt = 0;
};

// The installed context; a default one until the program installs its own.
ContestoComponenti& ctxComponenti();
void ImpostaContestoComponenti(std::shared_ptr<ContestoComponenti> c);
