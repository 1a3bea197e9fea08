#include "common/NumeriLetti.h"

QString NotaNonNumerico(const QString& soggetto, const QString& colonna, const Valore& valore) {
    return QStringLiteral("Il ") + soggetto + QStringLiteral(" ha nella colonna ") + colonna +
           QStringLiteral(" il valore \"") + valore.testo() + QStringLiteral("\", che non è un numero");
}
