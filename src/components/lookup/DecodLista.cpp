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
    const RisultatoQuery r = EseguiQueryTesti(gestDb, idDb, sql);
    if (r.righe.isEmpty()) return DecodListaInesistente;
    FrmListaAiuto f(nullptr);
    // The query is already narrowed to the search; the list searches further
    // in the column it is ordered by.
    const int chiave = static_cast<int>(r.colonne.indexOf(colChiave));
    int colonnaRicerca = chiave >= 0 ? chiave : 0;
    if (TastoLista() != 113)
        for (int i = 0; i < r.colonne.size(); ++i)
            if (r.colonne[i].compare(QLatin1String("Descrizione"), Qt::CaseInsensitive) == 0) colonnaRicerca = i;
    f.Carica(QStringLiteral("Aiuto - ") + nome, r.colonne, r.righe, colonnaRicerca, QString());
    if (!mostraLista(f) || f.RigaScelta() < 0) return 0;
    colonne_ = r.colonne;
    riga_ = r.righe[f.RigaScelta()];
    codice = ValoreColonna(colChiave);
    return 0;
}
