#include "components/menu/MenuClientFinto.h"

#include "components/core/ErroreRun.h"

static const long ErroreMenuAssente = 429;

void MenuClientFinto::RegistraProgramma(const QString& chiaveMenu, const QString& chiavePrg,
                                        const QString& paramAgg) {
    chiamate << QStringLiteral("RegistraProgramma|%1|%2|%3").arg(chiaveMenu, chiavePrg, paramAgg);
    if (menuAssente)
        throw ErroreRun(ErroreMenuAssente, QStringLiteral("Il menu non risponde"), QStringLiteral("MenuClient"));
}

Valore MenuClientFinto::LeggiValoreSess(const QString& nome) {
    // As the real link: a menu that is gone answers nothing.
    if (menuAssente)
        throw ErroreRun(ErroreMenuAssente, QStringLiteral("Il menu non risponde"), QStringLiteral("MenuClient"));
    auto it = valori_.constFind(nome.toLower());
    if (it != valori_.constEnd()) return *it;
    if (nome.startsWith(QLatin1String("Personal."), Qt::CaseInsensitive)) return MarcatoreParPers;
    return QString();
}

void MenuClientFinto::ScriviValoreSess(const QString& nome, const Valore& valore) {
    chiamate << QStringLiteral("ScriviValoreSess|%1|%2").arg(nome, valore.testo());
    valori_[nome.toLower()] = valore;
}

std::optional<QList<Valore>> MenuClientFinto::ParamDbMenu(const QString& sql, const QString& colonne) {
    chiamate << QStringLiteral("ParamDbMenu|%1|%2").arg(sql, colonne);
    auto it = righeDbMenu_.constFind(sql);
    if (it == righeDbMenu_.constEnd()) return std::nullopt;
    return *it;
}

void MenuClientFinto::MostraMenu(const QString& chi) {
    chiamate << QStringLiteral("MostraMenu|") + chi;
    if (menuAssente)
        throw ErroreRun(ErroreMenuAssente, QStringLiteral("Il menu non risponde"), QStringLiteral("MenuClient"));
}

Valore MenuClientFinto::ComandoMenu(const QString& comando, const QString& chi, Valore& parametro) {
    chiamate << QStringLiteral("ComandoMenu|%1|%2|%3").arg(comando, chi, parametro.testo());
    if (comando.compare(QLatin1String("MsgBox"), Qt::CaseInsensitive) == 0)
        messaggiMenu << parametro.testo();
    if (risposteComando.isEmpty()) return QString();
    return risposteComando.takeFirst();
}
