#include "common/MsgErrori.h"

#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "contesto/Contesto.h"

QString TestoErrore(const ErroreRun* errore, const std::optional<Valore>& pvError,
                    const std::optional<Valore>& pverr, const QString& psMsgAggPri,
                    const QString& psMsgAggDop, OrigineErrore origine) {
    QString descrizione;
    if (pvError) {
        descrizione = pvError->testo();
    } else if (errore) {
        const QString& d = errore->descrizione();
        const QString& o = errore->origine();
        if (o.isEmpty())
            descrizione = d;
        else
            descrizione = origine == OrigineErrore::DopoDescrizione ? d + QStringLiteral(" - ") + o : o;
    }
    const QString numero = pverr ? pverr->testo() : QString::number(errore ? errore->numero() : 0);
    return psMsgAggPri + QStringLiteral("Errore(") + numero + QStringLiteral("): ") + descrizione + psMsgAggDop;
}

static int mostraNelBox(const QString& testo) {
    return Dialoghi().msgBox(testo, StileMsg::SoloOk | StileMsg::Esclamativo, ctx().gsTitoloApp);
}

int MsgErrore(const ErroreRun& errore, const QString& prima, const QString& dopo) {
    return mostraNelBox(TestoErrore(&errore, std::nullopt, std::nullopt, prima, dopo));
}

int MsgErrore(const Valore& descrizione, const Valore& numero, const QString& prima, const QString& dopo) {
    return mostraNelBox(TestoErrore(nullptr, descrizione, numero, prima, dopo));
}

static std::function<void()>& scaricaFrmConn() {
    static std::function<void()> f;
    return f;
}

void ImpostaScaricaFrmConn(std::function<void()> scarica) { scaricaFrmConn() = std::move(scarica); }

static void mostraNelMenu(const QString& testo) {
    Dialoghi().msgMenu(testo);
    try {
        if (scaricaFrmConn()) scaricaFrmConn()();
    } catch (...) {
        // The splash may be gone already.
    }
}

void MsgErroreMenu(const ErroreRun& errore, const QString& prima, const QString& dopo) {
    mostraNelMenu(TestoErrore(&errore, std::nullopt, std::nullopt, prima, dopo, OrigineErrore::InveceDescrizione));
}

void MsgErroreMenu(const Valore& descrizione, const Valore& numero, const QString& prima, const QString& dopo) {
    mostraNelMenu(TestoErrore(nullptr, descrizione, numero, prima, dopo, OrigineErrore::InveceDescrizione));
}
