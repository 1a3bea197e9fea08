#pragma once
// Keyed record sets over the databases of a GestoreDb. The rows of a query are
// read at opening, in the query's order; edits, new rows and deletions go to
// the database at once, row by row, through each table's rowid.
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

    // Opens the query and returns its key, positioned on the first row. The key
    // given, the flag, the mode (2 or 4) and the last argument are not used:
    // every record set over real tables can be edited.
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
