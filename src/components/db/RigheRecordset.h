#pragma once
// The rows of a record set, packed: each row's values one after the other (a
// tag byte, then the value: whole numbers in 1, 4 or 8 bytes, decimals in 8,
// texts with their length), followed by the rowids of the row's tables, in
// blocks of memory that never move. A record set of a few hundred thousand
// rows so takes a fraction of the memory that one value object per cell
// would, grows without copying what it holds, and reading a query costs one
// copy of its bytes. Values become Valore only when read. A row that is
// edited is written again in the last block.
#include "components/core/Valore.h"

#include <cstdint>
#include <memory>
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
    // Writes a row again with a table's new rowid (a server's row moves when
    // it is updated); its values stay.
    void ImpostaRowid(size_t riga, int tabella, int64_t rowid);

    // The value of a cell; with data, an ISO text becomes its date. Null stays Null.
    Valore Leggi(size_t riga, int colonna, bool data) const;
    // Every value of a row, texts as stored.
    std::vector<Valore> LeggiRiga(size_t riga) const;
    int64_t Rowid(size_t riga, int tabella) const;

    bool Cancellata(size_t riga) const { return cancellata_[riga] != 0; }
    void Cancella(size_t riga);

private:
    void Codifica(const Valore& v);
    void Riscrivi(size_t riga, const std::vector<Valore>& valori, const std::vector<int64_t>& rowid);
    // Writing of the row being added, in place at the top of the last block:
    // room for n more bytes (a row that does not fit moves to a new block).
    char* Spazio(size_t n);
    void Tag(uint8_t t) { *Spazio(1) = static_cast<char>(t); }
    template <typename T>
    void Con(uint8_t t, const T& x);
    void Intero(int64_t n);
    void Testo(const char* t, int n);
    // The row written is complete; returns where it lies.
    const char* Archivia();
    // Where a cell of the row starts; the offsets of the last row asked are kept.
    uint32_t Cella(size_t riga, int colonna) const;

    int colonne_;
    int tabelle_;
    std::vector<std::unique_ptr<char[]>> blocchi_;
    char* cima_ = nullptr;    // free room of the last block, where the row being written starts
    size_t liberi_ = 0;
    size_t usati_ = 0;        // bytes of the row being written
    std::vector<const char*> inizio_;  // each row's bytes
    std::vector<uint8_t> cancellata_;
    size_t cancellate_ = 0;
    mutable size_t rigaCelle_ = SIZE_MAX;
    mutable std::vector<uint32_t> celle_;
};
