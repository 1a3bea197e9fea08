#include "common/form/CercaAzienda.h"

#include "common/form/MembriForm.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/lookup/DecodLista.h"
#include "components/lookup/TabelleAiuto.h"
#include "contesto/Contesto.h"

#include <QLineEdit>
#include <QWidget>

DecodLista& DecodDitte() {
    if (!ctx().ggDecodDitte) ctx().ggDecodDitte = std::make_shared<DecodListaSql>();
    return *ctx().ggDecodDitte;
}

Valore DecodCampoTasto(const QString& nome, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                       int keyCode, const QString& colDescr, int& trovato) {
    if (keyCode != 113 && keyCode != 114) return {};
    const bool esito = DecodCodiceDitta(nome, colChiave, casella, etichetta, keyCode, colDescr, trovato);
    if (trovato != 0) ImpostaBackColor(casella, ctx().glColNormale);
    // The list took the focus: back to the field, its text selected.
    casella->setFocus();
    if (auto* riga = qobject_cast<QLineEdit*>(casella)) riga->selectAll();
    return Valore(esito);
}

bool DecodCodiceDitta(const QString& nome, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                      int keyCode, const QString& colDescr, int& trovato) {
    trovato = 0;
    ParametriDecod imposta{keyCode, QVariant::fromValue<QObject*>(casella), true};
    DecodConParam(nome, QStringLiteral("imposta"), imposta);
    ParametriDecod prepara{QString()};
    DecodConParam(nome, QStringLiteral("prepsql"), prepara);
    const QString sql = prepara.value(0).toString();
    const Contesto& c = ctx();
    if (!c.ggGestDb) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Database non aperto"));
    // The companies are in the shared database.
    Valore codice;
    DecodLista& lista = DecodDitte();
    const long risultato = lista.DecodificaCodice(nome, *c.ggGestDb, c.gsIdDbMenu, sql, colChiave, codice);
    if (risultato == DecodListaInesistente) {
        ImpostaTestoControllo(etichetta, TestoInesistente);
    } else if (!codice.eVuotoONull()) {
        ImpostaTestoControllo(casella, codice.testo());
        ImpostaTestoControllo(etichetta, lista.ValoreColonna(colDescr).testo());
        trovato = -1;
    } else {
        ImpostaTestoControllo(etichetta, QString());
    }
    return trovato != 0;
}

Valore DecodConParam(const QString& nome, const QString& passo, ParametriDecod& parametri) {
    ParametriDecod copia = parametri.isEmpty() ? ParametriDecod{QString()} : parametri;
    const Valore r = SmistaDecod(QString(), nome, passo, copia);
    for (int i = 0; i < parametri.size(); ++i) parametri[i] = copia.value(i);
    return r;
}

Valore SmistaDecod(const QString&, const QString& nome, const QString& passo, ParametriDecod& parametri) {
    if (nome.toLower() == QLatin1String("aziende")) return DecodAziende(nome, passo, parametri);
    return Valore(QString());
}

Valore DecodAziende(const QString&, const QString& passo, ParametriDecod& parametri) {
    DecodLista& lista = DecodDitte();
    const QString p = passo.toLower();
    if (p == QLatin1String("imposta")) {
        lista.ImpostaChiave(parametri.value(0).toInt());
        lista.ImpostaControllo(qobject_cast<QWidget*>(parametri.value(1).value<QObject*>()));
        return Valore(QString());
    }
    if (p == QLatin1String("prepsql")) {
        QString sql = QStringLiteral("Select Azienda,Descrizione,IdAzienda") + QStringLiteral(" from Aziende");
        lista.ImpostaSql(sql);
        const QString cercato = lista.TestoRicerca().trimmed();
        if (lista.TastoLista() == 113) {
            if (!cercato.isEmpty()) sql += QStringLiteral(" Where ") + CondizioneLikeInizio(QStringLiteral("IdAzienda"), cercato);
            sql += QStringLiteral(" order by IdAzienda");
        } else {
            if (!cercato.isEmpty())
                sql += QStringLiteral(" Where ") + CondizioneLikeInizio(QStringLiteral("Descrizione"), cercato);
            sql += QStringLiteral(" order by Descrizione");
        }
        if (parametri.isEmpty()) parametri << sql;
        else parametri[0] = sql;
        return Valore(sql);
    }
    return Valore(QString());
}

Valore PrepDecodClie(const QString&, const QString&, const Valore&, const Valore&, const Valore&) { return Valore(true); }
