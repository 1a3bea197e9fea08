#pragma once
// Databases on a PostgreSQL server, reached by a data-source name. On Linux
// a data-source name is a connection service of `pg_service.conf` (the file
// PGSERVICEFILE names, else ~/.pg_service.conf, else the system's): "x",
// "x.dsn" and "ODBC;DSN=x;UID=..;PWD=.." all name the service "x", and the
// login and password become the role and its password. Failures reach the
// caller as the platform's run-time errors with Italian texts, as those of
// the database files do.
#include "components/core/ErroreRun.h"
#include "components/core/Valore.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

namespace ServerPg {

// The lock of a database's own that the program's transactions take, so that
// they follow one another as the writers of a database file do.
constexpr long long kChiaveTransazioni = 0x436f6d497661;

// The service and the login a data-source name or connect string carries.
struct Origine {
    QString servizio;
    QString utente;
    QString password;
};
Origine OrigineDaNome(const QString& nome, const QString& connect);

// Opens the connection; statements then wait at most attesaBloccoMs for
// another connection's locks. Raises 3059 when the login is refused, 3151
// when the service is not defined or its server does not answer.
pg_conn* Connetti(const Origine& origine, int attesaBloccoMs);
void Chiudi(pg_conn* c);

// Runs one or more statements and returns the rows the last one changed.
// Inside a transaction a failing statement takes back only its own work,
// as on a database file, and the transaction goes on.
long Esegui(pg_conn* c, const QString& sql, const QString& origine);
bool InTransazione(pg_conn* c);

struct LiberaRisultato {
    void operator()(pg_result* r) const;
};
using Righe = std::unique_ptr<pg_result, LiberaRisultato>;
// Runs a statement with its parameters ($1, $2, ...) and returns its result,
// inside a transaction under a savepoint as Esegui does.
Righe Interroga(pg_conn* c, const QString& sql, const QList<Valore>& parametri, const QString& origine);
// A value as a parameter in text form; nothing for Null and empty.
std::optional<QByteArray> TestoParametro(const Valore& v);
// A column of a result row as the program sees it on a database file:
// whole numbers (booleans as 1 and 0), decimals, texts; dates as dates when
// asked, else as their ISO text.
Valore ValoreDi(const pg_result* r, int riga, int colonna, bool dateComeDate);

// Type OIDs of the server's built-in types (fixed in its catalogue).
constexpr unsigned kOidBool = 16, kOidInt8 = 20, kOidInt2 = 21, kOidInt4 = 23, kOidFloat4 = 700, kOidFloat8 = 701,
                   kOidNumeric = 1700, kOidDate = 1082, kOidTimestamp = 1114, kOidTimestampTz = 1184;
// True when a table of that name is in the search path (any case).
bool EsisteTabella(pg_conn* c, const QString& nome);

// The run-time error for a server's SQLSTATE and message; the statement,
// when given, goes to the log only.
ErroreRun ErroreDaPg(const QString& sqlstate, const QString& messaggio, const QString& sql, const QString& origine);

// The schema scripts written for database files, as the server takes them:
// text keys compared without regard to case become `citext` (whose LIKE is
// case-blind too, where a case-blind collation would refuse LIKE).
QString SchemaPerServer(const QString& sql);

}  // namespace ServerPg
