#pragma once
// Isolation level of the company database, ODBC names and the table check.
#include "components/core/Valore.h"

#include <QString>

class GestoreDb;

// The three routines call their utility operation on ggIsolamento(), then send
// the isolation statement only when the database is on an SQL server
// (id + ":DbTipoSql" true); every failure from the property read on is ignored.
// server is used when usaServerPrg is not -1, else ctx().ggGestDb; an empty id
// means ctx().gsIdDbase.
Valore ImpIsolNonConferm(const Valore& numero = 0, int flag = -1, GestoreDb* server = nullptr,
                         int usaServerPrg = -1, const QString& idDb = {});
Valore ImpIsolConferm(const Valore& numero = 0, int flag = -1, GestoreDb* server = nullptr,
                      int usaServerPrg = -1, const QString& idDb = {});
Valore ImpIsolConferm2(const Valore& numero = 0, int flag = -1, GestoreDb* server = nullptr,
                       int usaServerPrg = -1, const QString& idDb = {});

// True when the name designates an ODBC source ("ODBC;" connect string,
// ".dsn" file, or a name without a dot, the empty name included).
bool IsConnOdbc(const QString& nome);

// What to open for a database name: a database file as it stands, or an ODBC
// connect string built from the name and the credentials.
struct ConnessioneDb {
    QString nome;     // database file, or "" for an ODBC source
    QString connect;  // connect string, or "" for a database file
    bool operator==(const ConnessioneDb&) const = default;
};
ConnessioneDb PrepConnectOdbc(const QString& nome, const QString& login, const QString& password);

// True when the table exists in the database of the id (empty: the company
// database); every failure gives false.
bool EsisteTabella(const QString& tabella, const QString& idDb = {});
