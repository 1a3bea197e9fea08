#include "components/stampa/FontSta.h"

QString FamigliaInstallata(const QString& nome) {
    const QString n = nome.trimmed().toLower();
    if (n == QLatin1String("arial")) return QStringLiteral("Liberation Sans");
    if (n == QLatin1String("times new roman")) return QStringLiteral("Liberation Serif");
    if (n == QLatin1String("courier new")) return QStringLiteral("Liberation Mono");
    return nome;
}
