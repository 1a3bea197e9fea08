#include "components/lookup/DecodLista.h"

#include "components/lookup/FrmListaAiuto.h"

Valore DecodLista::ValoreColonna(const QString& colonna) const {
    for (int i = 0; i < colonne_.size(); ++i)
        if (colonne_[i].compare(colonna, Qt::CaseInsensitive) == 0) return Valore(riga_.value(i));
    return {};
}

long DecodListaSql::DecodificaCodice(const QString& nome, GestoreDb& gestDb, const QString& idDb, const QString& sql,
                                     const QString& colChiave, Valore& codice) {
    codice = Valore();
    colonne_.clear();
    riga_.clear();
    // The list holds every row of the provider's query (Sql(), before the
    // field's text narrowed it), in the order the key asked for; the field's
    // text only places the current row.
    QString tutte = sql;
    if (!Sql().trimmed().isEmpty()) {
        const qsizetype ordine = sql.lastIndexOf(QLatin1String(" order by "), -1, Qt::CaseInsensitive);
        tutte = Sql() + (ordine >= 0 ? sql.mid(ordine) : QString());
    }
    const RisultatoQuery r = EseguiQueryTesti(gestDb, idDb, tutte);
    if (r.righe.isEmpty()) return DecodListaInesistente;
    int chiave = -1, descrizione = -1;
    for (int i = 0; i < r.colonne.size(); ++i) {
        if (chiave < 0 && r.colonne[i].compare(colChiave, Qt::CaseInsensitive) == 0) chiave = i;
        if (r.colonne[i].compare(QLatin1String("Descrizione"), Qt::CaseInsensitive) == 0) descrizione = i;
    }
    // The search looks at the code and at the description.
    QList<int> ricerca;
    if (chiave >= 0) ricerca << chiave;
    if (descrizione >= 0 && descrizione != chiave) ricerca << descrizione;
    if (ricerca.isEmpty()) ricerca << 0;
    const int colonnaCampo = TastoLista() == 113 || descrizione < 0 ? ricerca.first() : descrizione;
    FrmListaAiuto f(nullptr);
    f.Carica(QStringLiteral("Aiuto - ") + nome, r.colonne, r.righe, ricerca, QString());
    const QString testo = TestoRicerca().trimmed();
    if (!testo.isEmpty())
        for (int i = 0; i < r.righe.size(); ++i)
            if (r.righe[i].value(colonnaCampo).trimmed().startsWith(testo, Qt::CaseInsensitive)) {
                f.ImpostaRigaCorrente(i);
                break;
            }
    if (!mostraLista(f) || f.RigaScelta() < 0) return 0;
    colonne_ = r.colonne;
    riga_ = r.righe[f.RigaScelta()];
    codice = ValoreColonna(colChiave);
    return 0;
}
