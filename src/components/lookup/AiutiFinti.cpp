#include "components/lookup/AiutiFinti.h"

#include "components/core/ErroreRun.h"

Valore QorAiutiFinto::Decodifica(const QString& tabella, QWidget* casella, QWidget* etichetta) {
    const QString codice = TestoControllo(casella).trimmed();
    decodifiche << tabella + QLatin1Char(':') + codice;
    if (codice.isEmpty()) {
        ImpostaTestoControllo(etichetta, QString());
        return Valore(static_cast<int>(EsitoDecod::Vuoto));
    }
    const auto tab = codici.value(tabella.toLower());
    for (auto it = tab.cbegin(); it != tab.cend(); ++it)
        if (it.key().compare(codice, Qt::CaseInsensitive) == 0) {
            ImpostaTestoControllo(etichetta, it.value());
            return Valore(static_cast<int>(EsitoDecod::Trovato));
        }
    ImpostaTestoControllo(etichetta, TestoInesistente);
    return Valore(static_cast<int>(EsitoDecod::Inesistente));
}

Valore QorAiutiFinto::DecodificaCampo(const QString& tabella, QWidget* casella, QWidget* etichetta,
                                      const std::optional<Valore>&, int, const QString&, int, const Valore&,
                                      const QString&) {
    return Decodifica(tabella, casella, etichetta);
}

Valore QorAiutiFinto::DecodificaValore(const QString& tabella, const QString&, QWidget* casella, QWidget* etichetta,
                                       int, int, int, const QString&, const std::optional<Valore>&,
                                       const std::optional<Valore>&, const QString&) {
    return Decodifica(tabella, casella, etichetta);
}

Valore QorAiutiFinto::ApriListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode,
                                     QWidget*, const std::optional<Valore>& tipo, int& scelta, int,
                                     const QString& colonne, const QString& filtro) {
    chiamateLista.append({tabella, keyCode, colonne, filtro, TestoControllo(casella),
                          FormListaAiuto().Leggi(QStringLiteral("RetZeroRec")),
                          ComlinListaAiuto().Leggi(QStringLiteral("ForzaPassThrough")), olColBackOk, tipo});
    scelta = 0;
    const EsitoLista e = liste.isEmpty() ? EsitoLista{} : liste.takeFirst();
    if (e.errore) throw ErroreRun(5, QStringLiteral("Lista di aiuto non disponibile"), QStringLiteral("QorAiuti"));
    if (e.nessunaRiga) {
        ImpostaTestoControllo(etichetta, TestoInesistente);
        return Valore(static_cast<int>(EsitoDecod::Inesistente));
    }
    if (e.scelta != 0) {
        ImpostaTestoControllo(casella, e.codice);
        ImpostaTestoControllo(etichetta, e.descrizione);
        scelta = e.scelta;
    }
    return Valore(static_cast<int>(e.risultato));
}

long DecodListaFinta::DecodificaCodice(const QString& nome, GestoreDb&, const QString& idDb, const QString& sql,
                                       const QString& colChiave, Valore& codice) {
    chiamate.append({nome, idDb, sql, colChiave, TastoLista()});
    codice = Valore();
    colonne_.clear();
    riga_.clear();
    if (nessunaRiga) return DecodListaInesistente;
    for (auto it = rigaScelta.cbegin(); it != rigaScelta.cend(); ++it) {
        colonne_ << it.key();
        riga_ << it.value();
    }
    codice = ValoreColonna(colChiave);
    return 0;
}
