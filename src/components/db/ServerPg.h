#pragma once
// Databases on a PostgreSQL server, reached by a data-source name. On Linux
// a data-source name is a connection service of `pg_service.conf` (the file
// PGSERVICEFILE names, else ~/.pg_service.conf, else the system's): "x",
// "x.dsn" and "ODBC;DSN=x;UID=..;PWD=.." all name the service "x", and the
// login and password become the role and its password. Failures reach the
// caller as the platform's run-time errors with Italian texts, as those of
// the database files do.
#include "components/core/ErroreRun.h"

#include <QString>

struct pg_conn;

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
