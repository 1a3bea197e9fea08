#include "components/lookup/TabelleAiuto.h"

#include "components/util/UtilGenerali.h"
#include "components/core/ContestoComponenti.h"

#include <QHash>

namespace {

QHash<QString, TabellaAiuto>& Registro() {
    static QHash<QString, TabellaAiuto> r = [] {
        QHash<QString, TabellaAiuto> h;
        auto metti = [&h](const TabellaAiuto& t) { h.insert(t.nome.toLower(), t); };
        metti({QStringLiteral("Conto"), QStringLiteral("PianoConti"), false,
               {QStringLiteral("Gruppo"), QStringLiteral("Mastro"), QStringLiteral("Conto")},
               QStringLiteral("Descrizione"), {}});
        metti({QStringLiteral("Decodifiche"), QStringLiteral("Decodifiche"), false, {QStringLiteral("Codice")},
               QStringLiteral("Descrizione"), {}});
        metti({QStringLiteral("Aziende"), QStringLiteral("Aziende"), true, {QStringLiteral("IdAzienda")},
               QStringLiteral("Descrizione"), {QStringLiteral("Azienda")}});
        return h;
    }();
    return r;
}

}  // namespace

std::optional<TabellaAiuto> TabellaDiAiuto(const QString& nome) {
    const auto it = Registro().constFind(nome.trimmed().toLower());
    if (it == Registro().constEnd()) return std::nullopt;
    return *it;
}

void RegistraTabellaAiuto(const TabellaAiuto& t) { Registro().insert(t.nome.toLower(), t); }

QStringList PartiCodice(const TabellaAiuto& t, const QString& codice) {
    const QString c = codice.trimmed();
    if (t.colonneCodice.size() != 3) return {c};
    QString gruppo = c.left(2), mastro, conto;
    if (c.contains(QLatin1Char('-'))) {
        mastro = c.mid(3, 2);
        conto = c.mid(6);
    } else {
        mastro = c.mid(2, 2);
        conto = c.mid(4);
    }
    return {gruppo, mastro, conto};
}

QString CodiceDaParti(const QStringList& parti) { return parti.join(QLatin1Char('-')); }

QString UgualeSenzaMaiuscole(const QString& colonna, const QString& letterale) {
    return QStringLiteral("upper(") + colonna + QStringLiteral(") = upper(") + letterale + QLatin1Char(')');
}

QString CondizioneLikeInizio(const QString& espressione, const QString& testo) {
    QString protetto;
    for (const QChar ch : testo) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('%') || ch == QLatin1Char('_')) protetto += QLatin1Char('\\');
        protetto += ch;
    }
    // A file's LIKE ignores case, the server's only on citext columns.
    return QStringLiteral("upper(") + espressione + QStringLiteral(") like upper(") +
           ggUtil().FormatoSql(Valore(protetto + QLatin1Char('%')), 8) + QStringLiteral(") escape '\\'");
}
