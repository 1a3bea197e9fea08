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

// Appends to a byte buffer whose size is its capacity: `usati` bytes hold
// data, the rest is room (one growth per doubling, no per-call bookkeeping).
class Scrittore {
public:
    Scrittore(std::vector<char>& b, size_t& usati) : b_(b), usati_(usati) {}
    char* Spazio(size_t n) {
        if (usati_ + n > b_.size()) b_.resize(std::max(b_.size() * 2, usati_ + n + 4096));
        char* p = b_.data() + usati_;
        usati_ += n;
        return p;
    }
    void Tag(uint8_t t) { *Spazio(1) = static_cast<char>(t); }
    template <typename T>
    void Con(uint8_t t, const T& x) {
        char* p = Spazio(1 + sizeof x);
        *p = static_cast<char>(t);
        std::memcpy(p + 1, &x, sizeof x);
    }
    void Intero(int64_t n) {
        if (n >= INT8_MIN && n <= INT8_MAX) Con(kIntero1, static_cast<int8_t>(n));
        else if (n >= INT32_MIN && n <= INT32_MAX) Con(kIntero4, static_cast<int32_t>(n));
        else Con(kIntero8, n);
    }
    void Testo(const char* t, int n) {
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

private:
    std::vector<char>& b_;
    size_t& usati_;
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

void RigheRecordset::AggiungiDaIstruzione(sqlite3_stmt* st) {
    inizio_.push_back(usati_);
    Scrittore w(dati_, usati_);
    for (int i = 0; i < colonne_; ++i) {
        // One call into the connection per column; the value is read without it.
        sqlite3_value* v = sqlite3_column_value(st, i);
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL: w.Tag(kNull); break;
        case SQLITE_INTEGER: w.Intero(sqlite3_value_int64(v)); break;
        case SQLITE_FLOAT: w.Con(kDoppio, sqlite3_value_double(v)); break;
        default: {
            const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
            w.Testo(t, sqlite3_value_bytes(v));
        }
        }
    }
    for (int i = 0; i < tabelle_; ++i) rowid_.push_back(sqlite3_column_int64(st, colonne_ + i));
    cancellata_.push_back(0);
}

void RigheRecordset::Codifica(const Valore& v) {
    Scrittore w(dati_, usati_);
    switch (v.tipo()) {
    case TipoValore::Vuoto: w.Tag(kVuoto); break;
    case TipoValore::Null:
    case TipoValore::Lista: w.Tag(kNull); break;
    case TipoValore::Booleano: w.Tag(v.booleano() ? kVero : kFalso); break;
    case TipoValore::Intero: w.Intero(v.intero()); break;
    case TipoValore::Doppio: w.Con(kDoppio, v.numero()); break;
    case TipoValore::Data:
    case TipoValore::Testo: {
        const QByteArray t = (v.eData() ? v.data().toString(Qt::ISODate) : v.testo()).toUtf8();
        w.Testo(t.constData(), static_cast<int>(t.size()));
        break;
    }
    }
}

void RigheRecordset::Aggiungi(const std::vector<Valore>& valori, const std::vector<int64_t>& rowid) {
    inizio_.push_back(usati_);
    for (int i = 0; i < colonne_; ++i) Codifica(i < static_cast<int>(valori.size()) ? valori[i] : Valore());
    for (int i = 0; i < tabelle_; ++i) rowid_.push_back(i < static_cast<int>(rowid.size()) ? rowid[i] : 0);
    cancellata_.push_back(0);
}

void RigheRecordset::Sostituisci(size_t riga, const std::vector<Valore>& valori) {
    inizio_[riga] = usati_;
    for (int i = 0; i < colonne_; ++i) Codifica(i < static_cast<int>(valori.size()) ? valori[i] : Valore());
    if (rigaCelle_ == riga) rigaCelle_ = SIZE_MAX;
}

void RigheRecordset::Cancella(size_t riga) {
    if (cancellata_[riga]) return;
    cancellata_[riga] = 1;
    ++cancellate_;
}

const uint32_t* RigheRecordset::Celle(size_t riga) const {
    if (rigaCelle_ != riga) {
        celle_.resize(static_cast<size_t>(colonne_));
        const char* base = dati_.data() + inizio_[riga];
        uint32_t pos = 0;
        for (int i = 0; i < colonne_; ++i) {
            celle_[static_cast<size_t>(i)] = pos;
            pos += Lunghezza(base + pos);
        }
        rigaCelle_ = riga;
    }
    return celle_.data();
}

Valore RigheRecordset::Leggi(size_t riga, int colonna, bool data) const {
    const char* p = dati_.data() + inizio_[riga] + Celle(riga)[colonna];
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
