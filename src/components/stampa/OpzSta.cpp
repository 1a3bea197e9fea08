#include "components/stampa/OpzSta.h"

QString OpzSta::DescrStampante(const QString& stampanteCorrente) const {
    switch (oiStaVid) {
    case Video:
        return QStringLiteral("Video");
    case File:
        return QStringLiteral("File: ") + FileName + QStringLiteral(" (") + DescrFormatoFile(FileForm) +
               QStringLiteral(")");
    case LarghezzaFissa:
        return QStringLiteral("Larghezza fissa: ") + FisFileName;
    default: {
        const QString nome = osNomeStampante.isEmpty() ? stampanteCorrente : osNomeStampante;
        if (nome.isEmpty()) return QStringLiteral("Stampante: predefinita");
        return QStringLiteral("Stampante: ") + nome + (NomePorta.isEmpty() ? QString() : QStringLiteral(" su ") + NomePorta);
    }
    }
}

void OpzSta::ModoEscluso(int percorso, bool escluso) {
    if (escluso)
        esclusi_.insert(percorso);
    else
        esclusi_.remove(percorso);
}

QString OpzSta::DescrFormatoFile(int formato) {
    switch (formato) {
    case CompatibileExcel: return QStringLiteral("Compatibile Excel");
    case Testo: return QStringLiteral("Testo");
    case FormatoExcel: return QStringLiteral("Formato Excel");
    default: return QString();
    }
}

void OpzSta::ImpOpzione(const QString& nome, int, const Valore& valore) {
    opzioni_.insert(nome.toLower(), valore);
}

void OpzSta::LeggiOpzione(const QString& nome, int, Valore& valore) const {
    valore = LeggiOpzione(nome);
}

Valore OpzSta::LeggiOpzione(const QString& nome) const {
    return opzioni_.value(nome.toLower());
}

QString OpzSta::RiservaNomePdf(const QString& percorso) {
    QString nome = percorso;
    const bool pdf = percorso.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    const QString radice = pdf ? percorso.left(percorso.size() - 4) : percorso;
    const QString estensione = pdf ? percorso.right(4) : QString();
    for (int n = 2; pdfSerie_.contains(nome); ++n) nome = radice + QStringLiteral("_%1").arg(n) + estensione;
    pdfSerie_.insert(nome);
    return nome;
}
