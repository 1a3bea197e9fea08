#include "components/stampanti/ServizioStampanti.h"

#include <QPageSize>
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
QPrinterInfo coda(const QString& nome) {
    return nome.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(nome);
}
constexpr int CassettoAutomatico = 7;
}  // namespace

QList<int> StampantiQt::NumeriCassetti(const QString& nome) const {
    return coda(nome).isNull() ? QList<int>() : QList<int>{CassettoAutomatico};
}

QStringList StampantiQt::NomiCassetti(const QString& nome) const {
    return coda(nome).isNull() ? QStringList() : QStringList{QStringLiteral("Automatico")};
}

QList<int> StampantiQt::NumeriFormati(const QString& nome) const {
    QList<int> n;
    for (const QPageSize& f : coda(nome).supportedPageSizes()) n.append(f.windowsId());
    return n;
}

QStringList StampantiQt::NomiFormati(const QString& nome) const {
    QStringList n;
    for (const QPageSize& f : coda(nome).supportedPageSizes()) n.append(f.name());
    return n;
}

int StampantiQt::FormatoCorrente(const QString& nome) const {
    const QPageSize f = coda(nome).defaultPageSize();
    return f.isValid() ? f.windowsId() : 0;
}

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
