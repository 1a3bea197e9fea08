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

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

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

// The rows of a statement, freed with it. Values are the server's text.
class Risultato {
public:
    Risultato() = default;
    explicit Risultato(pg_result* r) : r_(r) {}
    ~Risultato();
    Risultato(Risultato&& altro) noexcept : r_(altro.r_) { altro.r_ = nullptr; }
    Risultato& operator=(Risultato&& altro) noexcept;
    Risultato(const Risultato&) = delete;
    Risultato& operator=(const Risultato&) = delete;

    const pg_result* Dati() const { return r_; }
    int Righe() const;
    int Colonne() const;
    bool Null(int riga, int colonna) const;
    const char* Testo(int riga, int colonna) const;
    int Lunghezza(int riga, int colonna) const;

private:
    pg_result* r_ = nullptr;
};

// A parameter in the server's text format; nothing for Null.
using ParametroPg = std::optional<QByteArray>;
// A value as a parameter: empty and Null as Null, dates in ISO form.
ParametroPg Parametro(const Valore& v);

// How the server's values become the program's: as a database file gives
// them for the same schema. Types without a fixed number (citext) are texts.
enum class TipoPg : uint8_t { Intero, Booleano, Decimale, Data, Testo };
TipoPg TipoDi(unsigned oid);
std::vector<TipoPg> TipiDi(const Risultato& r);
// Null kept; whole numbers (booleans as 1 and 0), decimals, texts; a date
// column's text becomes its date only when asked.
Valore ValoreDi(const Risultato& r, int riga, int colonna, TipoPg tipo, bool data);

// Runs one statement with parameters $1..$n, their types left to the server
// (it takes them from the columns they meet), and returns its rows. Inside a
// transaction a failure takes back only the statement's own work, as Esegui.
Risultato EseguiParametri(pg_conn* c, const QString& sql, const std::vector<ParametroPg>& parametri,
                          const QString& origine);
// True when a table of that name is in the search path (any case).
bool EsisteTabella(pg_conn* c, const QString& nome);

// The run-time error for a server's SQLSTATE and message; the message and
// the statement go to the log only.
ErroreRun ErroreDaPg(const QString& sqlstate, const QString& messaggio, const QString& sql, const QString& origine);
// What a SQLSTATE the layer gives no number of its own means, in Italian
// words for the user (the server's own text goes to the log only).
QString DescrizioneSqlState(const QString& sqlstate);

// The schema scripts written for database files, as the server takes them:
// text keys compared without regard to case become `citext` (whose LIKE is
// case-blind too, where a case-blind collation would refuse LIKE).
QString SchemaPerServer(const QString& sql);

}  // namespace ServerPg
