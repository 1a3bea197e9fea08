// Extracts a periodic VAT settlement communication for one demo company, so
// that the demo's run over all companies has something to write at once. The
// program starts on the company as the menu would start it, opens the
// extraction form and extracts what the form proposes for the year and
// quarter given; every question is confirmed.
//   prepara_demo_liqiva <qorwin.ini> <company database> <year> <quarter> [S: multi-activity]
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "settlement/estrazione/EstrazioneLiqIva.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "contesto/Contesto.h"
#include "startup/Ospite.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>

namespace {

// Confirms every question ("&Conferma" is the first button) and echoes what
// is shown, so that a failure explains itself.
class DialoghiConferma : public DialoghiScriptati {
public:
    int msgCom(const RichiestaMsgCom& r) override {
        DialoghiScriptati::msgCom(r);
        std::fprintf(stderr, "%s\n", qPrintable(r.messaggio));
        return 1;
    }
    int msgBox(const QString& testo, int stile, const QString& titolo) override {
        std::fprintf(stderr, "%s\n", qPrintable(testo));
        return DialoghiScriptati::msgBox(testo, stile, titolo);
    }
};

int Estrai(const QStringList& arg) {
    auto c = std::make_shared<Contesto>();
    ImpostaContesto(c);
    c->ggDialoghi = std::make_shared<DialoghiConferma>();
    c->ggOspite = std::make_shared<Ospite>();
    static_cast<Ospite*>(c->ggOspite.get())->AlTermine = [] {};
    InstallaProgramma(static_cast<Ospite&>(*c->ggOspite));

    // The menu link holds what the menu would hand over for this company.
    auto menu = std::make_shared<MenuClientFinto>();
    menu->fileImpostazioni = arg[1];
    menu->ImpostaValore(QStringLiteral("NomeDBAzie"), arg[2]);
    menu->ImpostaValore(QStringLiteral("CoGe.MultiAttivita"),
                        arg.size() > 5 && arg[5].compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 ? "S" : "N");
    menu->info.osParam = QStringLiteral("/F FrmLiqIvaPre");
    if (!InizProgramma(QStringLiteral("/M DEMO /P COMIVA /F FrmLiqIvaPre"), [menu] { return menu; })) return 1;
    auto* form = dynamic_cast<FrmLiqIvaPre*>(static_cast<Ospite*>(c->ggOspite.get())->Form(QStringLiteral("FrmLiqIvaPre")));
    if (!form) return 1;

    form->txt[10]->setText(arg[3]);
    form->txt[20]->setText(arg[4]);
    const EsitoEstrazione esito = EstraiLiqIva(form->DatiForm(), form->recDichiarante);
    return esito.stato == EsitoEstrazione::Completata ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arg = QCoreApplication::arguments();
    if (arg.size() < 5) {
        std::fputs("uso: prepara_demo_liqiva <qorwin.ini> <database ditta> <anno> <trimestre> [S: multiattività]\n",
                   stderr);
        return 2;
    }
    const int esito = Estrai(arg);
    // The forms and the databases go before the application object.
    ImpostaContesto(nullptr);
    return esito;
}
