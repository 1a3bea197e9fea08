// The program: started by the menu with its switches, it lives on the event
// loop until its last form closes or the menu sends "fine".
#include "components/menu/MenuClientLocale.h"
#include "components/platform/TraduzioniQt.h"
#include "common/DialoghiQt.h"
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "contesto/Contesto.h"
#include "startup/Ospite.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    CaricaTraduzioniQt(app);
    app.setApplicationName(QStringLiteral("Comunicazioni IVA"));
    app.setQuitOnLastWindowClosed(false);

    Contesto& c = ctx();
    c.ggDialoghi = std::make_shared<DialoghiQt>();
    auto ospite = std::make_shared<Ospite>();
    c.ggOspite = ospite;
    InstallaProgramma(*ospite);

    QStringList argomenti = app.arguments();
    argomenti.removeFirst();
    const QString riga = argomenti.join(QLatin1Char(' '));

    InizProgramma(riga, [] { return std::make_shared<MenuClientLocale>(); });
    // Closed already (a "fine" or a lost menu during the start-up): the
    // request to leave the loop came before the loop.
    const int esito = ospite->Terminato() ? 0 : app.exec();
    const int codice = c.giCodiceUscita != 0 ? c.giCodiceUscita : esito;
    c.ggOspite.reset();
    ospite.reset();
    c.ggMenuClient.reset();
    return codice;
}
