#include "components/db/RigheRecordset.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace {

// Tags of the packed values.
enum Tag : uint8_t {
    kVuoto = 0,
    kNull = 1,
    kFalso = 2,
    kVero = 3,
    kIntero1 = 4,  // signed, 1 byte
    kIntero4 = 5,  // signed, 4 bytes
    kIntero8 = 6,
    kDoppio = 7,
    kTestoCorto = 8,  // length in 1 byte
    kTestoLungo = 9,  // length in 4 bytes
};

template <typename T>
T LeggiGrezzo(const char* p) {
    T x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

// Bytes the cell at p takes, tag included.
uint32_t Lunghezza(const char* p) {
    switch (static_cast<uint8_t>(*p)) {
    case kIntero1: return 2;
    case kIntero4: return 5;
    case kIntero8:
    case kDoppio: return 9;
    case kTestoCorto: return 2 + static_cast<uint8_t>(p[1]);
    case kTestoLungo: return 5 + LeggiGrezzo<uint32_t>(p + 1);
    default: return 1;
    }
}

}  // namespace

RigheRecordset::RigheRecordset(int colonne, int tabelle) : colonne_(colonne), tabelle_(tabelle) {}

char* RigheRecordset::Spazio(size_t n) {
    if (usati_ + n > liberi_) {
        // Blocks from 16 KiB, doubling up to 1 MiB: a small set stays small.
        const size_t blocco16 = size_t(16) << std::min<size_t>(blocchi_.size(), 6);
        const size_t dimensione = std::max(blocco16 << 10, 2 * (usati_ + n));
        auto blocco = std::make_unique_for_overwrite<char[]>(dimensione);
        if (usati_ > 0) std::memcpy(blocco.get(), cima_, usati_);
        cima_ = blocco.get();
        liberi_ = dimensione;
        blocchi_.push_back(std::move(blocco));
    }
    char* p = cima_ + usati_;
    usati_ += n;
    return p;
}

template <typename T>
void RigheRecordset::Con(uint8_t t, const T& x) {
    char* p = Spazio(1 + sizeof x);
    *p = static_cast<char>(t);
    std::memcpy(p + 1, &x, sizeof x);
}

void RigheRecordset::Intero(int64_t n) {
    if (n >= INT8_MIN && n <= INT8_MAX) Con(kIntero1, static_cast<int8_t>(n));
    else if (n >= INT32_MIN && n <= INT32_MAX) Con(kIntero4, static_cast<int32_t>(n));
    else Con(kIntero8, n);
}

void RigheRecordset::Testo(const char* t, int n) {
    const size_t testa = n < 255 ? 2 : 5;
    char* p = Spazio(testa + static_cast<size_t>(n));
    if (n < 255) {
        p[0] = static_cast<char>(kTestoCorto);
        p[1] = static_cast<char>(static_cast<uint8_t>(n));
    } else {
        p[0] = static_cast<char>(kTestoLungo);
        const uint32_t u = static_cast<uint32_t>(n);
        std::memcpy(p + 1, &u, sizeof u);
    }
    if (n > 0) std::memcpy(p + testa, t, static_cast<size_t>(n));
}

const char* RigheRecordset::Archivia() {
    const char* p = cima_;
    cima_ += usati_;
    liberi_ -= usati_;
    usati_ = 0;
    rigaCelle_ = SIZE_MAX;
    return p;
}

void RigheRecordset::AggiungiDaIstruzione(sqlite3_stmt* st) {
    for (int i = 0; i < colonne_; ++i) {
        // One call into the connection per column; the value is read without it.
        sqlite3_value* v = sqlite3_column_value(st, i);
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL: Tag(kNull); break;
        case SQLITE_INTEGER: Intero(sqlite3_value_int64(v)); break;
        case SQLITE_FLOAT: Con(kDoppio, sqlite3_value_double(v)); break;
        default: {
            const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
            Testo(t, sqlite3_value_bytes(v));
        }
        }
    }
    for (int i = 0; i < tabelle_; ++i) Intero(sqlite3_column_int64(st, colonne_ + i));
    inizio_.push_back(Archivia());
    cancellata_.push_back(0);
}

void RigheRecordset::Codifica(const Valore& v) {
    switch (v.tipo()) {
    case TipoValore::Vuoto: Tag(kVuoto); break;
    case TipoValore::Null:
    case TipoValore::Lista: Tag(kNull); break;
    case TipoValore::Booleano: Tag(v.booleano() ? kVero : kFalso); break;
    case TipoValore::Intero: Intero(v.intero()); break;
    case TipoValore::Doppio: Con(kDoppio, v.numero()); break;
    case TipoValore::Data:
    case TipoValore::Testo: {
        const QByteArray t = (v.eData() ? v.data().toString(Qt::ISODate) : v.testo()).toUtf8();
        Testo(t.constData(), static_cast<int>(t.size()));
        break;
    }
    }
}

void RigheRecordset::Aggiungi(const std::vector<Valore>& valori, const std::vector<int64_t>& rowid) {
    for (int i = 0; i < colonne_; ++i) Codifica(i < static_cast<int>(valori.size()) ? valori[i] : Valore());
    for (int i = 0; i < tabelle_; ++i) Intero(i < static_cast<int>(rowid.size()) ? rowid[i] : 0);
    inizio_.push_back(Archivia());
    cancellata_.push_back(0);
}

void RigheRecordset::Riscrivi(size_t riga, const std::vector<Valore>& valori, const std::vector<int64_t>& rowid) {
    for (int i = 0; i < colonne_; ++i) Codifica(i < static_cast<int>(valori.size()) ? valori[i] : Valore());
    for (const int64_t r : rowid) Intero(r);
    inizio_[riga] = Archivia();
}

void RigheRecordset::Sostituisci(size_t riga, const std::vector<Valore>& valori) {
    std::vector<int64_t> rowid;
    for (int i = 0; i < tabelle_; ++i) rowid.push_back(Rowid(riga, i));
    Riscrivi(riga, valori, rowid);
}

void RigheRecordset::ImpostaRowid(size_t riga, int tabella, int64_t nuovo) {
    if (tabella < 0 || tabella >= tabelle_) return;
    std::vector<int64_t> rowid;
    for (int i = 0; i < tabelle_; ++i) rowid.push_back(i == tabella ? nuovo : Rowid(riga, i));
    Riscrivi(riga, LeggiRiga(riga), rowid);
}

void RigheRecordset::Cancella(size_t riga) {
    if (cancellata_[riga]) return;
    cancellata_[riga] = 1;
    ++cancellate_;
}

uint32_t RigheRecordset::Cella(size_t riga, int colonna) const {
    // Offsets found by walking the row, as far as the furthest cell asked.
    if (rigaCelle_ != riga) {
        rigaCelle_ = riga;
        celle_.assign(1, 0);
    }
    const char* base = inizio_[riga];
    while (static_cast<int>(celle_.size()) <= colonna) celle_.push_back(celle_.back() + Lunghezza(base + celle_.back()));
    return celle_[static_cast<size_t>(colonna)];
}

int64_t RigheRecordset::Rowid(size_t riga, int tabella) const {
    if (tabella < 0 || tabella >= tabelle_) return 0;
    return Leggi(riga, colonne_ + tabella, false).intero();
}

Valore RigheRecordset::Leggi(size_t riga, int colonna, bool data) const {
    const char* p = inizio_[riga] + Cella(riga, colonna);
    switch (static_cast<uint8_t>(*p)) {
    case kVuoto: return Valore();
    case kNull: return Valore::null();
    case kFalso: return Valore(false);
    case kVero: return Valore(true);
    case kIntero1: return Valore(static_cast<long long>(static_cast<int8_t>(p[1])));
    case kIntero4: return Valore(static_cast<long long>(LeggiGrezzo<int32_t>(p + 1)));
    case kIntero8: return Valore(static_cast<long long>(LeggiGrezzo<int64_t>(p + 1)));
    case kDoppio: return Valore(LeggiGrezzo<double>(p + 1));
    default: {
        const bool corto = static_cast<uint8_t>(*p) == kTestoCorto;
        const int n = corto ? static_cast<uint8_t>(p[1]) : static_cast<int>(LeggiGrezzo<uint32_t>(p + 1));
        const char* t = p + (corto ? 2 : 5);
        if (data && n >= 10) {
            const QDate d = QDate::fromString(QString::fromLatin1(t, 10), Qt::ISODate);
            if (d.isValid()) return Valore(d);
        }
        return Valore(QString::fromUtf8(t, n));
    }
    }
}

std::vector<Valore> RigheRecordset::LeggiRiga(size_t riga) const {
    std::vector<Valore> v;
    v.reserve(static_cast<size_t>(colonne_));
    for (int i = 0; i < colonne_; ++i) v.push_back(Leggi(riga, i, false));
    return v;
}
