#include "components/platform/Sessioni.h"

#include <QByteArray>
#include <QtGlobal>

// Whether a session list is available; the number, when it is, goes in numero.
static bool ElencoSessioni(int& numero) {
    const QByteArray v = qgetenv(VariabileSessione).trimmed();
    if (v.isEmpty()) return false;
    bool ok = false;
    numero = v.toInt(&ok);
    return ok && numero >= 0;
}

int InfoSessione() {
    int numero = 0;
    return ElencoSessioni(numero) ? numero : 0;
}
