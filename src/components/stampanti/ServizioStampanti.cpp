#include "components/stampanti/ServizioStampanti.h"

#include <QPrinterInfo>

std::optional<StampanteInstallata> ServizioStampanti::Cerca(const QString& nome) const {
    for (const auto& s : Installate())
        if (s.nome.compare(nome, Qt::CaseInsensitive) == 0) return s;
    return std::nullopt;
}

QList<StampanteInstallata> StampantiQt::Installate() const {
    QList<StampanteInstallata> elenco;
    for (const QString& nome : QPrinterInfo::availablePrinterNames()) elenco.append({nome, nome});
    return elenco;
}

QString StampantiQt::NomePredefinita() const { return QPrinterInfo::defaultPrinterName(); }

namespace {
std::shared_ptr<ServizioStampanti>& servizio() {
    static std::shared_ptr<ServizioStampanti> s;
    return s;
}
}  // namespace

ServizioStampanti& ggStampanti() {
    auto& s = servizio();
    if (!s) s = std::make_shared<StampantiQt>();
    return *s;
}

void ImpostaServizioStampanti(std::shared_ptr<ServizioStampanti> s) { servizio() = std::move(s); }
