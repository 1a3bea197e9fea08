#include "print/lavoro/ServiziLavoroStampa.h"

#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "contesto/Contesto.h"

#include <QPrinterInfo>

namespace {

ServiziLavoroStampa predefiniti() {
    ServiziLavoroStampa s;
    s.StampanteCorrente = [] { return QPrinterInfo::defaultPrinterName(); };
    s.ImpostaPrinterOpz = [](OpzSta&, int) { return true; };
    s.CorrMarginiStampante = [](Stampa&) {};
    s.LeggiParEmail = [](const QString& nome) -> Valore {
        try {
            return ctx().ggMenuClient ? ctx().ggMenuClient->LeggiValoreSess(nome) : Valore(QString());
        } catch (const ErroreRun&) {
            return Valore(QString());
        }
    };
    s.PrepInvioEmail = [](QString&) {};
    s.RichiestaLoginEmail = [] { return false; };
    s.FormZoom = []() -> QWidget* { return nullptr; };
    s.Adesso = [] { return QDateTime::currentDateTime(); };
    return s;
}

}  // namespace

ServiziLavoroStampa& serviziLavoroStampa() {
    static ServiziLavoroStampa s = predefiniti();
    return s;
}

void RipristinaServiziLavoroStampa() { serviziLavoroStampa() = predefiniti(); }
