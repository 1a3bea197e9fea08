#include "components/lookup/QorAiutiSql.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/lookup/FrmListaAiuto.h"
#include "components/lookup/TabelleAiuto.h"
#include "components/util/UtilGenerali.h"
#include "components/core/ContestoComponenti.h"

#include <QVariant>
#include <algorithm>
#include <QWidget>

QString TestoControllo(const QWidget* w) { return w ? w->property("text").toString() : QString(); }

void ImpostaTestoControllo(QWidget* w, const QString& testo) {
    if (w) w->setProperty("text", testo);
}

RisultatoQuery EseguiQueryTesti(GestoreDb& gestDb, const QString& idDb, const QString& sql) {
    const RisultatoSql t = LeggiTutto(gestDb, idDb, sql, QStringLiteral("QorAiuti"));
    RisultatoQuery r;
    r.colonne = t.colonne;
    for (const auto& riga : t.righe) {
        QStringList testi;
        testi.reserve(riga.size());
        for (const Valore& v : riga) testi << v.testo();
        r.righe << testi;
    }
    return r;
}

bool MostraListaModale(FrmListaAiuto& f) { return f.exec() == QDialog::Accepted && f.RigaScelta() >= 0; }

namespace {

TabellaAiuto Tabella(const QString& nome) {
    const auto t = TabellaDiAiuto(nome);
    if (!t) throw ErroreRun(NumErrore::OggettoInesistente, QStringLiteral("Tabella di aiuto sconosciuta: ") + nome,
                            QStringLiteral("QorAiuti"));
    return *t;
}

GestoreDb& Gestore(const ContestoAiuti& c) {
    if (c.gestDb) return *c.gestDb;
    if (ctxComponenti().ggGestDb) return *ctxComponenti().ggGestDb;
    throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Database non aperto"), QStringLiteral("QorAiuti"));
}

// A column equal to a literal without regard to case, in words both engines
// take (the server knows no "collate nocase").
QString UgualeSenzaMaiuscole(const QString& colonna, const QString& letterale) {
    return QStringLiteral("upper(") + colonna + QStringLiteral(") = upper(") + letterale + QLatin1Char(')');
}

// The condition of the code's parts on the table's code columns; codes
// compare without regard to case.
QString CondizioneCodice(const TabellaAiuto& t, const QString& codice) {
    const QStringList parti = PartiCodice(t, codice);
    QStringList cond;
    for (int i = 0; i < t.colonneCodice.size(); ++i)
        cond << UgualeSenzaMaiuscole(t.colonneCodice[i], ggUtil().FormatoSql(Valore(parti.value(i)), 8));
    return cond.join(QStringLiteral(" and "));
}

QString Aggiungi(const QString& dove, const QString& filtro) {
    if (filtro.trimmed().isEmpty()) return dove;
    return dove.isEmpty() ? QStringLiteral("(") + filtro + QLatin1Char(')')
                          : dove + QStringLiteral(" and (") + filtro + QLatin1Char(')');
}

// The list's columns: the code columns and the description ("§pri§"), then
// those asked, or the table's own when none are asked.
QStringList ColonneLista(const TabellaAiuto& t, const QString& colonne) {
    QStringList scelte;
    for (QString c : colonne.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        c = c.trimmed();
        if (c.isEmpty() || c.compare(QStringLiteral("§pri§"), Qt::CaseInsensitive) == 0 ||
            c.compare(QStringLiteral("§dop§"), Qt::CaseInsensitive) == 0)
            continue;
        if (!t.colonneCodice.contains(c, Qt::CaseInsensitive) &&
            c.compare(t.colonnaDescrizione, Qt::CaseInsensitive) != 0 && !scelte.contains(c, Qt::CaseInsensitive))
            scelte << c;
    }
    if (scelte.isEmpty()) scelte = t.colonneLista;
    return t.colonneCodice + QStringList{t.colonnaDescrizione} + scelte;
}

// The code searched in the list as the list shows codes: an account typed
// without its separators ("0310") is looked for as "03-10".
QString CodiceCercato(const TabellaAiuto& t, const QString& testo) {
    if (t.colonneCodice.size() < 2 || testo.isEmpty()) return testo;
    QString c = CodiceDaParti(PartiCodice(t, testo));
    while (c.endsWith(QLatin1Char('-'))) c.chop(1);
    return c;
}

}  // namespace

QString QorAiutiSql::IdDb(bool condivisa) const {
    const QString id = condivisa ? contesto_.idDbMenu : contesto_.idDbase;
    if (!id.isEmpty()) return id;
    return condivisa ? ctxComponenti().gsIdDbMenu : ctxComponenti().gsIdDbase;
}

Valore QorAiutiSql::DecodificaCampo(const QString& tabella, QWidget* casella, QWidget* etichetta,
                                    const std::optional<Valore>&, int, const QString&, int, const Valore&,
                                    const QString& filtro) {
    const TabellaAiuto t = Tabella(tabella);
    const QString codice = TestoControllo(casella).trimmed();
    if (codice.isEmpty()) {
        ImpostaTestoControllo(etichetta, QString());
        return Valore(static_cast<int>(EsitoDecod::Vuoto));
    }
    const QString sql = QStringLiteral("select ") + t.colonnaDescrizione + QStringLiteral(" from ") + t.tabellaSql +
                        QStringLiteral(" where ") + Aggiungi(CondizioneCodice(t, codice), filtro);
    const RisultatoQuery r = EseguiQueryTesti(Gestore(contesto_), IdDb(t.condivisa), sql);
    if (r.righe.isEmpty()) {
        ImpostaTestoControllo(etichetta, TestoInesistente);
        return Valore(static_cast<int>(EsitoDecod::Inesistente));
    }
    ImpostaTestoControllo(etichetta, r.righe.first().value(0));
    return Valore(static_cast<int>(EsitoDecod::Trovato));
}

Valore QorAiutiSql::DecodificaValore(const QString& tabella, const QString& colChiave, QWidget* casella,
                                     QWidget* etichetta, int, int, int tipoChiave, const QString& colDescr,
                                     const std::optional<Valore>&, const std::optional<Valore>&,
                                     const QString& filtro) {
    const auto t = TabellaDiAiuto(tabella);
    const bool condivisa = t ? t->condivisa : false;
    const QString codice = TestoControllo(casella).trimmed();
    if (codice.isEmpty()) {
        ImpostaTestoControllo(etichetta, QString());
        return Valore(static_cast<int>(EsitoDecod::Vuoto));
    }
    // The program may prepare the decoding or refuse it.
    const Valore pronto = GestoreAiuto().SollevaClsPrepDecod(QString(), tabella, colChiave, Valore(codice), Valore(true),
                                                           Valore(false));
    if (!pronto.booleano()) return Valore(static_cast<int>(EsitoDecod::Vuoto));
    const QString sql = QStringLiteral("select ") + colDescr + QStringLiteral(" from ") +
                        (t ? t->tabellaSql : tabella) + QStringLiteral(" where ") +
                        Aggiungi(tipoChiave > 0 && tipoChiave != 8
                                     ? colChiave + QStringLiteral(" = ") + ggUtil().FormatoSql(Valore(codice), tipoChiave)
                                     : UgualeSenzaMaiuscole(colChiave, ggUtil().FormatoSql(Valore(codice), 8)),
                                 filtro);
    const RisultatoQuery r = EseguiQueryTesti(Gestore(contesto_), IdDb(condivisa), sql);
    if (r.righe.isEmpty()) {
        ImpostaTestoControllo(etichetta, TestoInesistente);
        return Valore(static_cast<int>(EsitoDecod::Inesistente));
    }
    ImpostaTestoControllo(etichetta, r.righe.first().value(0));
    return Valore(static_cast<int>(EsitoDecod::Trovato));
}

Valore QorAiutiSql::ApriListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode,
                                   QWidget* formAttiva, const std::optional<Valore>&, int& scelta, int,
                                   const QString& colonne, const QString& filtro) {
    scelta = 0;
    const TabellaAiuto t = Tabella(tabella);
    const QStringList cols = ColonneLista(t, colonne);
    QString sql = QStringLiteral("select ") + cols.join(QLatin1Char(',')) + QStringLiteral(" from ") + t.tabellaSql;
    if (!filtro.trimmed().isEmpty()) sql += QStringLiteral(" where (") + filtro + QLatin1Char(')');
    const bool perDescrizione = keyCode == 114;
    sql += QStringLiteral(" order by ") + (perDescrizione ? t.colonnaDescrizione : t.colonneCodice.join(QLatin1Char(',')));
    const RisultatoQuery r = EseguiQueryTesti(Gestore(contesto_), IdDb(t.condivisa), sql);

    // Rows as the list shows them: the code in one column, then the rest.
    const int nCodice = static_cast<int>(t.colonneCodice.size());
    QList<QStringList> righe;
    for (const QStringList& riga : r.righe) {
        QStringList v{CodiceDaParti(riga.mid(0, nCodice))};
        v << riga.mid(nCodice);
        righe << v;
    }
    // A column may carry a caption: "NomeCol<n>" names it, "DescCol<n>" titles it.
    QStringList intestazioni{QStringLiteral("Codice")};
    for (const QString& col : cols.mid(nCodice)) {
        QString titolo = col;
        for (int n = 1; n <= 9; ++n) {
            const QString nome = FormParametriAiuto().Leggi(QStringLiteral("NomeCol") + QString::number(n)).testo();
            const QString desc = FormParametriAiuto().Leggi(QStringLiteral("DescCol") + QString::number(n)).testo();
            if (!desc.isEmpty() && nome.compare(col, Qt::CaseInsensitive) == 0) titolo = desc;
        }
        intestazioni << titolo;
    }
    const int colonnaRicerca = perDescrizione ? 1 : 0;
    const QString digitato = TestoControllo(casella).trimmed();
    const QString cercato = perDescrizione ? digitato : CodiceCercato(t, digitato);

    FrmListaAiuto f(formAttiva);
    f.Carica(QStringLiteral("Aiuto - ") + t.nome, intestazioni, righe, colonnaRicerca, cercato);
    if (f.RigheVisibili().isEmpty() && FormListaAiuto().Leggi(QStringLiteral("RetZeroRec")).numero() == 1) {
        ImpostaTestoControllo(etichetta, TestoInesistente);
        return Valore(static_cast<int>(EsitoDecod::Inesistente));
    }
    if (!mostraLista(f) || f.RigaScelta() < 0) return Valore(static_cast<int>(EsitoDecod::Vuoto));
    const QStringList& scelto = righe[f.RigaScelta()];
    ImpostaTestoControllo(casella, scelto.value(0));
    ImpostaTestoControllo(etichetta, scelto.value(1));
    // What was picked, for callers that want a cell rather than the code:
    // "RetField" the column (the code's last part for the code column),
    // "Text" the cell, "RetVal<column>" every value of the row.
    const int colonna = std::clamp(f.ColonnaScelta(), 0, static_cast<int>(scelto.size()) - 1);
    FormListaAiuto().Imposta(QStringLiteral("RetField"), Valore(colonna == 0 ? t.colonneCodice.last()
                                                                             : cols.value(nCodice + colonna - 1)));
    FormListaAiuto().Imposta(QStringLiteral("Text"), Valore(scelto.value(colonna)));
    const QStringList& valori = r.righe[f.RigaScelta()];
    for (int i = 0; i < cols.size(); ++i)
        FormListaAiuto().Imposta(QStringLiteral("RetVal") + cols[i], Valore(valori.value(i)));
    scelta = 1;
    return Valore(static_cast<int>(EsitoDecod::Trovato));
}
