#include "contesto/Isolamento.h"

#include "components/db/GestoreDb.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

namespace {

Valore imposta(int (UtilGenerali::*operazione)(int, int), const char* istruzione, const Valore& numero, int flag,
               GestoreDb* server, int usaServerPrg, const QString& idDb) {
    (ggIsolamento().*operazione)(static_cast<int>(numero.intero()), flag);
    GestoreDb* s = usaServerPrg == -1 ? ctx().ggGestDb.get() : server;
    const QString id = idDb.trimmed().isEmpty() ? ctx().gsIdDbase : idDb;
    try {
        if (s && s->LeggiProprieta(id + QStringLiteral(":DbTipoSql"), 12).booleano())
            s->EseguiSql(id, QString::fromLatin1(istruzione), 64);
    } catch (...) {
        // The caller's work goes on at the level in force.
    }
    return {};
}

}  // namespace

Valore ImpIsolNonConferm(const Valore& numero, int flag, GestoreDb* server, int usaServerPrg, const QString& idDb) {
    return imposta(&UtilGenerali::IsolNonConferm, "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED", numero, flag,
                   server, usaServerPrg, idDb);
}

Valore ImpIsolConferm(const Valore& numero, int flag, GestoreDb* server, int usaServerPrg, const QString& idDb) {
    return imposta(&UtilGenerali::IsolConferm, "SET TRANSACTION ISOLATION LEVEL READ COMMITTED", numero, flag, server,
                   usaServerPrg, idDb);
}

Valore ImpIsolConferm2(const Valore& numero, int flag, GestoreDb* server, int usaServerPrg, const QString& idDb) {
    return imposta(&UtilGenerali::IsolConferm2, "SET TRANSACTION ISOLATION LEVEL READ COMMITTED", numero, flag,
                   server, usaServerPrg, idDb);
}

bool IsConnOdbc(const QString& nome) { return NomeDbOdbc(nome); }

ConnessioneDb PrepConnectOdbc(const QString& nome, const QString& login, const QString& password) {
    QString credenziali;
    if (!login.trimmed().isEmpty()) {
        credenziali = QStringLiteral("UID=") + login;
        if (!password.isEmpty()) credenziali += QStringLiteral(";PWD=") + password;
    }
    if (nome.startsWith(QStringLiteral("ODBC;"), Qt::CaseInsensitive)) return {QString(), nome};
    if (nome.endsWith(QStringLiteral(".dsn"), Qt::CaseInsensitive))
        return {QString(), QStringLiteral("ODBC;FIleDSN=") + nome + QLatin1Char(';') + credenziali};
    if (!nome.contains(QLatin1Char('.')))
        return {QString(), QStringLiteral("ODBC;DSN=") + nome + QLatin1Char(';') + credenziali};
    return {nome, QString()};
}

bool EsisteTabella(const QString& tabella, const QString& idDb) {
    const QString id = idDb.trimmed().isEmpty() ? ctx().gsIdDbase : idDb;
    try {
        const auto& s = ctx().ggGestDb;
        return s && s->DatabaseDaId(id)->EsisteTabella(tabella);
    } catch (...) {
        return false;
    }
}
