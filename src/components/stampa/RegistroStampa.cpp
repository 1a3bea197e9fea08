#include "components/stampa/RetroStampa.h"

namespace {
std::shared_ptr<RegistroStampa>& installato() {
    static std::shared_ptr<RegistroStampa> r;
    return r;
}
QString mm(double v) { return QString::number(v, 'f', 2); }
}  // namespace

void RegistroStampa::Installa(std::shared_ptr<RegistroStampa> registro) { installato() = std::move(registro); }
std::shared_ptr<RegistroStampa> RegistroStampa::Installato() { return installato(); }

QStringList RegistroStampa::Testi() const {
    QStringList t;
    for (const auto& v : voci)
        if (v.operazione == QLatin1String("StampaTesto") || v.operazione == QLatin1String("StampaColonna"))
            t << v.testo;
    return t;
}

QList<VoceStampa> RegistroStampa::DiTipo(const QString& operazione) const {
    QList<VoceStampa> l;
    for (const auto& v : voci)
        if (v.operazione == operazione) l << v;
    return l;
}

QStringList RegistroStampa::Righe() const {
    QStringList r;
    for (const auto& v : voci) {
        QString s = QString::number(v.pagina) + QLatin1Char(' ') + v.operazione;
        if (v.operazione == QLatin1String("StampaTesto") || v.operazione == QLatin1String("StampaColonna"))
            s += QLatin1Char(' ') + v.slot + QLatin1Char(' ') + v.allineamento + QStringLiteral(" [") +
                 mm(v.sinistra) + QLatin1Char(',') + mm(v.destra) + QStringLiteral("]@") + mm(v.vert) +
                 QStringLiteral(" \"") + v.testo + QLatin1Char('"');
        else if (v.operazione == QLatin1String("StampaImmagine"))
            s += QStringLiteral(" %1,%2 %3x%4").arg(mm(v.scatola.x()), mm(v.scatola.y()), mm(v.scatola.width()),
                                                   mm(v.scatola.height()));
        else if (v.operazione == QLatin1String("RigaFis"))
            s += QStringLiteral(" %1 \"%2\"").arg(v.larghezza).arg(v.testo);
        r << s;
    }
    return r;
}
