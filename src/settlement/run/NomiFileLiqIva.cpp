#include "settlement/run/NomiFileLiqIva.h"

#include "contesto/ImpostazioniIni.h"

#include <QDir>

namespace {

QString ValIni(const QString& sezione, const QString& chiave) {
    QString v;
    LeggiValIni(sezione, chiave, QString(), v);
    return v;
}

bool Separatore(QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); }

// Position just after the last separator: where the file name begins.
int InizioNomeFile(const QString& percorso) {
    for (int i = percorso.size() - 1; i >= 0; --i)
        if (Separatore(percorso[i])) return i + 1;
    return 0;
}

}  // namespace

QString CartellaUscitaLiqIva() {
    const QString dirCaDi = ValIni(QStringLiteral("Base"), QStringLiteral("DirCaDi"));
    if (!dirCaDi.trimmed().isEmpty()) return dirCaDi;
    const QString cartella = ValIni(QStringLiteral("Base"), QStringLiteral("DriveDB")) +
                             ValIni(QStringLiteral("Base"), QStringLiteral("DirDB"));
    if (!cartella.trimmed().isEmpty()) return cartella;
    return QDir::homePath();
}

QString NomeFileProposto(const QString& cartella, const QString& anno, const QString& numero, bool formatoTxt) {
    QString sep;
    if (cartella.isEmpty() || !Separatore(cartella.back()))
        sep = cartella.contains(QLatin1Char('/')) && !cartella.contains(QLatin1Char('\\')) ? QStringLiteral("/")
                                                                                          : QStringLiteral("\\");
    return cartella + sep + QStringLiteral("IT") + kSegnapostoCodFisc + QStringLiteral("_LI_") + anno.trimmed() +
           numero.trimmed() + (formatoTxt ? QStringLiteral(".txt") : QStringLiteral(".xml"));
}

QString CartellaDelPercorso(const QString& percorso) { return percorso.left(InizioNomeFile(percorso)); }

QString InserisciIdNelNome(const QString& nome, const QString& id) {
    const int inizio = InizioNomeFile(nome);
    const int punto = nome.lastIndexOf(QLatin1Char('.'));
    if (punto < inizio) return nome + id;
    return nome.left(punto) + id + nome.mid(punto);
}

