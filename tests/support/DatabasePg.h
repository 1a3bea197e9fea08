#pragma once
// Databases of their own on the run's PostgreSQL cluster (tests/pg/cluster.sh,
// whose folder COMIVA_PG_DIR names), each defined as a connection service of
// the process's own service file (PGSERVICEFILE), owned by the role "comiva"
// (password "comiva"), and dropped at the end.
#include "support/PercorsiTest.h"

#include <QString>

struct pg_conn;

class DatabasePg {
public:
    // False when no cluster runs for the tests (the binary run by hand).
    static bool Disponibile();
    // Creates the database; with a schema script of schema/ ("azienda.sql"),
    // its tables as the program creates them on a server.
    explicit DatabasePg(const QString& schema = {});
    ~DatabasePg();
    DatabasePg(const DatabasePg&) = delete;
    DatabasePg& operator=(const DatabasePg&) = delete;

    // The service's name: what the program opens as a data-source name.
    const QString& Servizio() const { return servizio_; }
    // Runs statements as the owner, outside the layer under test.
    void Esegui(const QString& sql) const;

private:
    QString servizio_;
};

// The superuser's connection to a database of the cluster ("postgres" when empty).
pg_conn* ConnettiSuperutente(const QString& database = {});

#define SALTA_SENZA_PG()                                                                         \
    if (!DatabasePg::Disponibile()) GTEST_SKIP() << "nessun cluster PostgreSQL di prova (COMIVA_PG_DIR)"
