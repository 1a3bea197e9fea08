#pragma once
// The database server: opens SQLite database files, or databases on a
// PostgreSQL server reached by a data-source name (ServerPg.h), under a text
// id, runs action statements on an id, keeps the credential properties and
// closes ids.
// A file keeps the journal mode it has (rollback journal or write-ahead log):
// switching it would need the file to itself, and a write-ahead log needs
// shared memory that a network share does not give. The engine's failures
// are raised as the platform's run-time errors with Italian texts; the SQL
// statement goes to the log, never into the text the user reads.
#include "components/core/ErroreRun.h"
#include "components/db/ErroriDb.h"
#include "components/db/UsoDb.h"
#include "components/core/Valore.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

struct sqlite3;
struct pg_conn;


// The run-time error for an engine result code (extended codes understood),
// the engine's own message and the system's error number behind an I/O
// failure (sqlite3_system_errno, 0 when none). The engine's message and the
// statement go to the log only.
ErroreRun ErroreDaSqlite(int codiceEsteso, const QString& messaggio, const QString& sql, const QString& origine,
                         int errnoSistema = 0);
// What a failing engine call left on its connection, taken right after the
// call: its result code, the engine's message and the system's error number
// behind an I/O failure. Taken later, after logging or other file work (the
// damage mark), the system's number would be that work's.
struct GuastoSqlite {
    int codice = 0;
    QString messaggio;
    int errnoSistema = 0;
    static GuastoSqlite di(sqlite3* db);
    // The failure of a step that ended with `rc`, taken before its statement
    // is reset or let go; none when the step ran to its end.
    static std::optional<GuastoSqlite> delPasso(sqlite3* db, int rc);
};
ErroreRun ErroreDaSqlite(const GuastoSqlite& guasto, const QString& sql, const QString& origine);
// The same for the last failure on a connection, taken now.
ErroreRun ErroreDaSqlite(sqlite3* db, const QString& sql, const QString& origine);

// True when the name designates a data source on a server rather than a
// database file: a connect string beginning "ODBC;", a ".dsn" file, or a name
// without a dot.
bool NomeDbOdbc(const QString& nome);

// One open database. `RecordsAffected` is the row count of the last statement
// run through `GestoreDb::EseguiSql` on it.
class Database {
public:
    // `uso` is the connection's share of the file (UsoDb.h), held while it is open.
    Database(sqlite3* db, QString id, QString file, UsoDb uso = {});
    // A database on a server; `File` is then the name of its data source.
    Database(pg_conn* pg, QString id, QString origine);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& Id() const { return id_; }
    const QString& File() const { return file_; }
    long RecordsAffected() const { return recordsAffected_; }
    // True when a table of that name exists (names compared without regard to case).
    bool EsisteTabella(const QString& nome);

    // True for a database on a server, whose connection is Pg(), not Handle().
    bool SuServer() const { return server_; }
    // The connection; raises 3420 once the database is closed, and 3170 on a
    // database of the other kind.
    sqlite3* Handle() const;
    pg_conn* Pg() const;
    void Chiudi();
    // Raises the run-time error for the connection's last failure.
    [[noreturn]] void Errore(const QString& sql, const QString& origine = QStringLiteral("GestoreDb")) const;
    // The same for a failure taken when it happened.
    [[noreturn]] void Errore(const GuastoSqlite& guasto, const QString& sql,
                             const QString& origine = QStringLiteral("GestoreDb")) const;

private:
    friend class GestoreDb;
    // The compiled pattern of an insert run through EseguiSql (ParametriSql.h),
    // kept for the next insert of the same pattern; nullptr when it does not
    // compile.
    struct sqlite3_stmt* Preparata(const QByteArray& modello);
    sqlite3* db_ = nullptr;
    pg_conn* pg_ = nullptr;
    bool server_ = false;
    QString id_;
    QString file_;
    UsoDb uso_;
    long recordsAffected_ = 0;
    QHash<QByteArray, struct sqlite3_stmt*> preparate_;
};

class GestoreDb {
public:
    GestoreDb();
    virtual ~GestoreDb();

    // How long a statement waits for another process's lock before it fails
    // with DatabaseBloccato; for the databases opened from now on.
    void ImpostaAttesaBlocco(int ms) { attesaBloccoMs_ = ms; }

    // Opens an existing SQLite database file and returns its id, leaving its
    // journal mode as it is. While a recovery holds the file (UsoDb.h) the
    // opening waits as long as for a lock, then raises 3260. It reads the schema only, never the whole file:
    // a file that is no database raises 3343 at once, a damaged page when the
    // work meets it. A file on which damage or a disk failure was met
    // (VerificaDb.h) is checked whole first, and raises 3343 when the check
    // fails. A data-source name, or a connect string
    // beginning "ODBC;", opens a database on the server instead, with the
    // string's UID and PWD or else "DbSqlPubUID" and "DbSqlPubPWD". The three
    // middle arguments are accepted for the callers' sake and not used.
    virtual QString ApriDatabase(const QString& nome, int opzioni = 0, bool esclusivo = false,
                                 bool solaLettura = false, const QString& connect = {});
    // "DbAccPWD", "DbSqlPubUID", "DbSqlPubPWD" as written; id + ":DbTipoSql"
    // is true for a database on a server.
    virtual Valore LeggiProprieta(const QString& nome, int tipo = 12) const;
    void ScriviProprieta(const QString& nome, int tipo, const Valore& valore);
    // Runs one or more statements; option 64 (pass-through) changes nothing here.
    virtual void EseguiSql(const QString& id, const QString& sql, int opzioni = 0);
    // The database of the id; raises 3420 for an id not open.
    std::shared_ptr<Database> DatabaseDaId(const QString& id) const;
    // Closes the id; an id not open is ignored.
    void ChiudiDatabase(const QString& id);

    // One transaction on an id, for runs that delete and rewrite rows. Its
    // writer waits for another connection's transaction to end before it
    // begins, on a database file and on a server alike.
    void IniziaTransazione(const QString& id);
    void ConfermaTransazione(const QString& id);
    void AnnullaTransazione(const QString& id);
    // After a run has filled tables: on a server their statistics are taken
    // at once, since its planner would otherwise plan the next run's joins as
    // over empty tables until the server's own analysis comes round. A file
    // needs nothing. Never raises.
    void AggiornaStatistiche(const QString& id, const QStringList& tabelle);

private:
    QString apriSuServer(const QString& nome, const QString& connect);
    QHash<QString, std::shared_ptr<Database>> database_;
    QHash<QString, Valore> proprieta_;
    int prossimoId_ = 1;
    int attesaBloccoMs_ = 5000;
};
