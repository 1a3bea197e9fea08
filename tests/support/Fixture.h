#pragma once
// A fresh company database and shared database, built from schema/ as files
// in a temporary folder, or on the tests' PostgreSQL cluster, and opened
// through a GestoreDb.
#include "components/core/Valore.h"
#include "support/PercorsiTest.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

class GestoreDb;
class DatabasePg;
struct Contesto;

enum class Motore { File, Server };

class FixtureDb {
public:
    // On the server the databases are services opened by their data-source
    // names; fileAzienda and fileCondiviso hold those names.
    explicit FixtureDb(Motore motore = Motore::File);
    ~FixtureDb();

    // Creates a database file from a schema script (e.g. "azienda.sql").
    static void CreaDatabase(const QString& file, const QString& schema);

    // Installs a fresh program context with these databases open in it.
    std::shared_ptr<Contesto> InstallaContesto();

    // Inserts one row; values go in as bound parameters.
    void Inserisci(const QString& idDb, const QString& tabella,
                   const std::vector<std::pair<QString, Valore>>& colonne);
    // Runs statements on the connection directly, outside EseguiSql.
    void Esegui(const QString& idDb, const QString& sql);

    QString Cartella() const { return dir_.path(); }

    // One more database of the fixture's engine, built from a schema script
    // and kept as long as the fixture: a file named `nome` in its folder, or
    // a database of its own on the server. Returns the name that opens it.
    QString AltroDatabase(const QString& nome, const QString& schema);

    std::shared_ptr<GestoreDb> gestDb;
    QString fileAzienda, fileCondiviso;
    QString idAzienda, idCondiviso;

    Motore motore;

private:
    QTemporaryDir dir_;
    std::vector<std::unique_ptr<DatabasePg>> server_;
};

// Readable values in test failures.
inline void PrintTo(const Valore& v, std::ostream* os) {
    static const char* tipi[] = {"vuoto", "null", "bool", "intero", "doppio", "data", "testo", "lista"};
    *os << tipi[static_cast<int>(v.tipo())] << "(" << v.testo().toStdString() << ")";
}
