#include "common/RiepilogoInterruzione.h"

namespace {

const QString kNessunaMarcata = QStringLiteral("nessuna registrazione è stata marcata come inviata");

QString Riga(const RiepilogoInterruzione::Parte& p) {
    using Stato = RiepilogoInterruzione::Stato;
    const QString elenco = p.file.join(QStringLiteral(", "));
    const bool molti = p.file.size() > 1;
    QString r = p.nome + QStringLiteral(": ");
    switch (p.stato) {
    case Stato::Completo:
        if (p.file.isEmpty()) {
            r += p.stampaInterrotta ? QStringLiteral("stampa interrotta") : QStringLiteral("stampa completata");
            break;
        }
        r += (molti ? QStringLiteral("file completi ") : QStringLiteral("file completo ")) + elenco;
        if (p.invio > 0)
            r += QStringLiteral("; invio n. %1 confermato: le registrazioni sono marcate come inviate").arg(p.invio);
        if (p.stampaInterrotta) r += QStringLiteral("; stampa interrotta");
        break;
    case Stato::Incompleto:
        if (p.file.isEmpty())
            r += QStringLiteral("stampa interrotta");
        else
            r += (molti ? QStringLiteral("file incompleti, da non trasmettere: ")
                        : QStringLiteral("file incompleto, da non trasmettere: ")) +
                 elenco;
        if (p.definitiva) r += QStringLiteral("; ") + kNessunaMarcata;
        break;
    case Stato::NessunDato:
        r += QStringLiteral("nessun dato da trasmettere");
        break;
    case Stato::NonEseguito:
        r += QStringLiteral("non elaborata");
        if (p.definitiva) r += QStringLiteral("; ") + kNessunaMarcata;
        break;
    }
    return r + QLatin1Char('.');
}

}  // namespace

QString RiepilogoInterruzione::Testo() const {
    QString t = QStringLiteral("Elaborazione interrotta");
    for (const Parte& p : parti_) t += QStringLiteral("\r\n") + Riga(p);
    return t;
}
