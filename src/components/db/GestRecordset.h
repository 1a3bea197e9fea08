#pragma once
// Record sets over the databases of a GestoreDb.
//
// Keyed (modes 2 and 4, the default): the rows of a query are read at
// opening, in the query's order; edits, new rows and deletions go to the
// database at once, row by row, through each table's rowid (on a server
// database, its ctid).
//
// Forward-only (mode 8): for a query read once from first row to last. The
// statement is stepped as the set moves, so only the current row is held,
// whatever the number of rows (on a server, a cursor read in batches). The
// current row can be edited (ModificaRec, ScriviCampo, AggiornaRec, through
// its tables' rowids as in the keyed mode) and reads back as edited, but the edits reach the database only once the
// set has stepped past its last row, after the statement is finished: an
// edit made while the query is still running could move a row the scan has
// not reached yet (a column of its index, its WHERE or its ORDER BY), so
// that the scan would skip it or return it twice. Edits wait packed (a few
// dozen bytes a row). A set closed before its end drops them: the caller
// stopped, and a half-run's edits are not wanted. Counting rows, going back
// to the first row once moved, new rows and deletions raise error 3251.
#include "components/core/Valore.h"

#include <QHash>
#include <QString>
#include <memory>

class GestoreDb;
struct sqlite3_stmt;

// Binds a value to a statement parameter: empty and null as NULL, dates as ISO text.
void LegaValore(sqlite3_stmt* st, int indice, const Valore& valore);
struct Recordset;

class GestRecordset {
public:
    GestRecordset();
    ~GestRecordset();
    GestRecordset(const GestRecordset&) = delete;
    GestRecordset& operator=(const GestRecordset&) = delete;

    // Opens the query and returns its key, positioned on the first row. Mode
    // 8 opens it forward-only, any other mode keyed. The key given, the flag
    // and the last argument are not used: every record set over real tables
    // can be edited.
    QString ApriRecordset(GestoreDb& gestDb, const QString& idDb, const QString& chiave, const QString& sql,
                          bool flag = false, int modo = 4, const Valore& opzionale = {});

    bool RecVuoto(const QString& chiave) const;
    bool FineRec(const QString& chiave) const;
    void PrimoRec(const QString& chiave);
    void RecSuccessivo(const QString& chiave);
    // Rows of the set (deleted ones left out, new ones counted).
    long ContaRec(const QString& chiave) const;

    // The column of the current row by "Table.Column", bare name or SQL alias;
    // a null column gives the empty value ("" as text, 0 as number).
    Valore LeggiCampo(const QString& chiave, const QString& nome) const;
    // The same, keeping the database Null.
    Valore LeggiCampoNull(const QString& chiave, const QString& nome) const;
    // The position of a column by name, for a run that reads the same
    // columns row after row: LeggiCampo(chiave, IndiceCampo(chiave, nome)).
    int IndiceCampo(const QString& chiave, const QString& nome) const;
    Valore LeggiCampo(const QString& chiave, int indice) const;

    // New row of a one-table query: NuovoRec, ScriviCampo per column, AggiornaRec.
    void NuovoRec(const QString& chiave);
    // Edit of the current row: ModificaRec, ScriviCampo, AggiornaRec; a column
    // of a joined query reaches its own table's row.
    void ModificaRec(const QString& chiave);
    void ScriviCampo(const QString& chiave, const QString& nome, const Valore& valore);
    void AggiornaRec(const QString& chiave);
    // Deletes the current row of a one-table query.
    void CancellaRec(const QString& chiave);

    void ChiudiRecordset(const QString& chiave);

private:
    Recordset& rs(const QString& chiave) const;
    QHash<QString, std::shared_ptr<Recordset>> aperti_;
    // The record set asked last: a run reads one set field after field.
    mutable QString ultimaChiave_;
    mutable Recordset* ultimo_ = nullptr;
};
