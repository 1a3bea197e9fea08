#pragma once
// The rows of a record set, packed: each row's values one after the other in
// one byte buffer (a tag byte, then the value: whole numbers in 1, 4 or 8
// bytes, decimals in 8, texts with their length), the rowids of the row's
// tables beside them. A record set of a few hundred thousand rows so takes a
// fraction of the memory that one value object per cell would, and reading a
// query costs one copy of its bytes. Values become Valore only when read.
// A row that is edited is written again at the end of the buffer.
#include "components/core/Valore.h"

#include <cstdint>
#include <vector>

struct sqlite3_stmt;

class RigheRecordset {
public:
    // colonne: values per row; tabelle: rowids per row.
    RigheRecordset(int colonne = 0, int tabelle = 0);

    int Colonne() const { return colonne_; }
    size_t Righe() const { return inizio_.size(); }
    // Rows not deleted.
    size_t Vive() const { return inizio_.size() - cancellate_; }

    // Appends the statement's current row: its first Colonne() columns as
    // values, the next Tabelle() as rowids.
    void AggiungiDaIstruzione(sqlite3_stmt* st);
    // Appends a row of values (Vuoto, Null, flags, numbers, texts; dates as
    // ISO text) and its rowids.
    void Aggiungi(const std::vector<Valore>& valori, const std::vector<int64_t>& rowid);
    // Writes a row again with these values; its rowids stay.
    void Sostituisci(size_t riga, const std::vector<Valore>& valori);

    // The value of a cell; with data, an ISO text becomes its date. Null stays Null.
    Valore Leggi(size_t riga, int colonna, bool data) const;
    // Every value of a row, texts as stored.
    std::vector<Valore> LeggiRiga(size_t riga) const;
    int64_t Rowid(size_t riga, int tabella) const {
        return tabelle_ == 0 ? 0 : rowid_[riga * static_cast<size_t>(tabelle_) + static_cast<size_t>(tabella)];
    }

    bool Cancellata(size_t riga) const { return cancellata_[riga] != 0; }
    void Cancella(size_t riga);

private:
    void Codifica(const Valore& v);
    // Where each cell of the row starts, kept for the last row asked.
    const uint32_t* Celle(size_t riga) const;

    int colonne_;
    int tabelle_;
    std::vector<char> dati_;  // its size is its capacity
    size_t usati_ = 0;
    std::vector<size_t> inizio_;     // start of each row in dati_
    std::vector<int64_t> rowid_;     // Righe() x tabelle_
    std::vector<uint8_t> cancellata_;
    size_t cancellate_ = 0;
    mutable size_t rigaCelle_ = SIZE_MAX;
    mutable std::vector<uint32_t> celle_;
};
