#include "common/NomeDbAzienda.h"

#include "contesto/ImpostazioniIni.h"
#include "contesto/Isolamento.h"

namespace {

QString ValIni(const QString& sezione, const QString& chiave) {
    QString v;
    LeggiValIni(sezione, chiave, QString(), v);
    return v;
}

}  // namespace

void PreparaNomeDB(QString& nome) {
    // A data-source name opens a database on the server: a folder before it
    // would make it a file name.
    if (IsConnOdbc(nome)) return;
    if (nome.mid(1, 1) == QLatin1String(":") || nome.startsWith(QLatin1String("\\\\")) ||
        nome.startsWith(QLatin1Char('/')))
        return;
    const QString d = ValIni(QStringLiteral("Connessioni"), QStringLiteral("DriveDB")).trimmed();
    QString n = nome;
    if (!n.startsWith(QLatin1Char('\\'))) {
        const QString f = ValIni(QStringLiteral("Base"), QStringLiteral("DirDB"));
        n = f.endsWith(QLatin1Char('\\')) ? f + n : f + QLatin1Char('\\') + n;
    }
    const bool nomeDaRadice = n.startsWith(QLatin1Char('\\'));
    if (!d.isEmpty() && !d.endsWith(QLatin1Char(':')) && !d.endsWith(QLatin1Char('\\'))) {
        if (d.startsWith(QLatin1String("\\\\")))
            n = nomeDaRadice ? d + n : d + QLatin1Char('\\') + n;
        else
            n = d + QLatin1Char(':') + n;
    } else if (d.endsWith(QLatin1Char('\\')) && nomeDaRadice) {
        n = d + n.mid(1);
    } else {
        n = d + n;
    }
    nome = n;
}
