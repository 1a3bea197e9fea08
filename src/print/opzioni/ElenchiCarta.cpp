#include "print/opzioni/ElenchiCarta.h"

#include "components/util/UtilGenerali.h"

#include <algorithm>

QString NomeDriver(const QString& grezzo, int larghezza) {
    const int nul = grezzo.indexOf(QChar(0));
    return (nul >= 0 ? grezzo.left(nul) : grezzo).left(larghezza);
}

QStringList VociCassetti(const QList<int>& numeri, const QStringList& nomi) {
    QStringList voci{VoceNessunaImpostazione};
    const qsizetype n = std::min(numeri.size(), nomi.size());
    for (qsizetype i = 0; i < n; ++i)
        voci << QStringLiteral("%1 - %2").arg(numeri[i], 6).arg(NomeDriver(nomi[i], 24));
    return voci;
}

QStringList VociFormati(const QList<int>& numeri, const QStringList& nomi, int corrente) {
    QStringList voci{VoceNessunaImpostazione};
    const qsizetype n = std::min(numeri.size(), nomi.size());
    for (qsizetype i = 0; i < n; ++i) {
        QString v = QString::number(numeri[i]) + QStringLiteral(" - ") + NomeDriver(nomi[i], 64);
        if (corrente != 0 && numeri[i] == corrente) v += QStringLiteral(" (ATTUALE)");
        voci << v;
    }
    return voci;
}

int NumeroDaVoce(const QString& voce) {
    if (voce == VoceNessunaImpostazione) return 0;
    const int trattino = voce.indexOf(QLatin1Char('-'));
    if (trattino < 0) return 0;
    return static_cast<int>(ggUtil().InteroDaTesto(voce.left(trattino).trimmed()));
}

int IndiceVoce(const QStringList& voci, int numero) {
    int trovato = 0;
    for (int i = 1; i < voci.size(); ++i)
        if (NumeroDaVoce(voci[i]) == numero) trovato = i;
    return trovato;
}
