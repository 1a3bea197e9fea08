#include "components/db/GestRecordset.h"

#include "components/core/ErroreRun.h"
#include "components/db/AnalisiSql.h"
#include "components/db/GestoreDb.h"
#include "components/db/RigheRecordset.h"

#include <QSet>
#include <atomic>
#include <optional>
#include <sqlite3.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr long kNessunNuovoOModifica = 3020;
constexpr long kRecordEliminato = 3167;
constexpr int kModoAvanti = 8;

[[noreturn]] void errore(long numero, const QString& testo) { throw ErroreRun(numero, testo, kOrigineGestRecordset); }

QString virgolette(const QString& nome) {
    QString n = nome;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

// The name as callers may write it: case, blanks and quotes do not count.
QString normalizza(const QString& nome) {
    QString n;
    n.reserve(nome.size());
    for (const QChar c : nome)
        if (!c.isSpace() && c != u'"' && c != u'[' && c != u']' && c != u'`') n += c.toLower();
    return n;
}

bool eData(const char* tipoDichiarato) {
    if (!tipoDichiarato) return false;
    const QByteArray t = QByteArray(tipoDichiarato).toUpper();
    return t.contains("DATE") || t.contains("TIME");
}

// Values as the program sees them: dates from the ISO text of date columns.
Valore leggiValore(sqlite3_stmt* st, int i, bool data) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return Valore::null();
    case SQLITE_INTEGER: return Valore(static_cast<long long>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return Valore(sqlite3_column_double(st, i));
    default: {
        const QString s = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i));
        if (data && s.size() >= 10) {
            const QDate d = QDate::fromString(s.left(10), Qt::ISODate);
            if (d.isValid()) return Valore(d);
        }
        return Valore(s);
    }
    }
}


// A prepared statement that finalises itself.
struct Istruzione {
    sqlite3_stmt* st = nullptr;
    Istruzione(Database& d, const QString& sql) {
        if (sqlite3_prepare_v2(d.Handle(), sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            d.Errore(sql, kOrigineGestRecordset);
    }
    ~Istruzione() { sqlite3_finalize(st); }
    Istruzione(const Istruzione&) = delete;
    Istruzione& operator=(const Istruzione&) = delete;
};

[[noreturn]] void nonAmmessa(const QString& testo) { errore(NumErroreDb::OperazioneNonAmmessa, testo); }

// The engine's side of a forward-only set, all it needs of the engine: step
// the statement, read a column of the current row. Owns the statement.
class CursoreAvanti {
public:
    virtual ~CursoreAvanti() = default;
    // The next row; false past the last one. A failure raises.
    virtual bool Passo() = 0;
    virtual Valore Leggi(int colonna, bool data) const = 0;
    // A whole-number column (a rowid), nothing when null.
    virtual std::optional<int64_t> Intero(int colonna) const = 0;
};

class CursoreSqlite final : public CursoreAvanti {
public:
    CursoreSqlite(std::shared_ptr<Database> db, sqlite3_stmt* st, QString sql)
        : db_(std::move(db)), st_(st), sql_(std::move(sql)) {}
    ~CursoreSqlite() override { sqlite3_finalize(st_); }
    CursoreSqlite(const CursoreSqlite&) = delete;
    CursoreSqlite& operator=(const CursoreSqlite&) = delete;
    bool Passo() override {
        db_->Handle();  // raises once the database is closed
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) db_->Errore(sql_, kOrigineGestRecordset);
        return false;
    }
    Valore Leggi(int colonna, bool data) const override { return leggiValore(st_, colonna, data); }
    std::optional<int64_t> Intero(int colonna) const override {
        if (sqlite3_column_type(st_, colonna) == SQLITE_NULL) return std::nullopt;
        return sqlite3_column_int64(st_, colonna);
    }

private:
    std::shared_ptr<Database> db_;
    sqlite3_stmt* st_;
    QString sql_;
};

}  // namespace

void LegaValore(sqlite3_stmt* st, int i, const Valore& v) {
    switch (v.tipo()) {
    case TipoValore::Vuoto:
    case TipoValore::Null: sqlite3_bind_null(st, i); break;
    case TipoValore::Booleano:
    case TipoValore::Intero: sqlite3_bind_int64(st, i, v.intero()); break;
    case TipoValore::Doppio: sqlite3_bind_double(st, i, v.numero()); break;
    case TipoValore::Data:
        if (v.data().isValid())
            sqlite3_bind_text(st, i, v.data().toString(Qt::ISODate).toUtf8().constData(), -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, i);
        break;
    case TipoValore::Testo: {
        const QByteArray b = v.testo().toUtf8();
        sqlite3_bind_text(st, i, b.constData(), b.size(), SQLITE_TRANSIENT);
        break;
    }
    case TipoValore::Lista:
        errore(NumErrore::TipoNonCorrispondente, QStringLiteral("Un elenco di valori non si può scrivere in un campo."));
    }
}

struct Colonna {
    QString nome;     // as SQLite names it
    QString origine;  // column of its table, empty for an expression
    int istanza = -1;
    bool data = false;
};

struct Recordset {
    std::shared_ptr<Database> db;
    QString sql;
    std::vector<IstanzaTabella> istanze;
    std::vector<Colonna> colonne;
    QHash<QString, int> indice;  // normalised name -> column
    // Names as callers write them, row after row, with a cheap hash of the
    // text (the name of a column is short; QHash's seeded hash would cost
    // more than the rest of the read).
    struct HashNome {
        size_t operator()(const QString& s) const noexcept {
            uint64_t h = 1469598103934665603ull;
            for (const QChar c : s) h = (h ^ c.unicode()) * 1099511628211ull;
            return static_cast<size_t>(h);
        }
    };
    mutable std::unordered_map<QString, int, HashNome> nomiUsati;
    int colonna(const QString& nome) const {
        if (const auto u = nomiUsati.find(nome); u != nomiUsati.end()) return u->second;
        const int trovata = colonnaPerNome(nome);
        nomiUsati.emplace(nome, trovata);
        return trovata;
    }
    RigheRecordset righe;  // values, then the rowid of each table of the FROM (0 when missing)
    size_t corrente = 0;
    bool aggiornabile = false;
    enum class Stato { Nessuno, Modifica, Nuovo } stato = Stato::Nessuno;
    struct Scrittura {
        int istanza;
        QString colonna;
        Valore valore;
    };
    std::vector<Scrittura> buffer;

    // Forward-only: the statement still running (null past the last row),
    // the rows stepped to, the edits of the current row (read back as
    // written) and the edits waiting for the end of the scan, one group per
    // table and list of columns, each with its compiled UPDATE.
    bool avanti = false;
    std::unique_ptr<CursoreAvanti> cursore;
    long passi = 0;
    std::vector<Scrittura> modificheRiga;
    struct Pendenti {
        int istanza;
        QStringList colonne;
        std::unique_ptr<Istruzione> aggiorna;
        RigheRecordset righe;  // the values, then the rowid
    };
    std::vector<Pendenti> pendenti;

    bool fine() const { return avanti ? !cursore : corrente >= righe.Righe(); }
    // Steps the forward-only statement; past its last row the statement is
    // finished and the edits waiting are written. A failure ends the scan
    // and drops them.
    void passo() {
        modificheRiga.clear();
        bool riga = false;
        try {
            riga = cursore->Passo();
        } catch (...) {
            cursore.reset();
            pendenti.clear();
            throw;
        }
        if (riga) {
            ++passi;
            return;
        }
        cursore.reset();
        scriviPendenti();
    }
    void scriviPendenti() {
        const auto gruppi = std::move(pendenti);
        pendenti.clear();
        sqlite3* h = db->Handle();
        for (const Pendenti& g : gruppi) {
            sqlite3_stmt* st = g.aggiorna->st;
            const int n = static_cast<int>(g.colonne.size());
            for (size_t i = 0; i < g.righe.Righe(); ++i) {
                const std::vector<Valore> valori = g.righe.LeggiRiga(i);
                for (int k = 0; k < n; ++k) LegaValore(st, k + 1, valori[k]);
                sqlite3_bind_int64(st, n + 1, g.righe.Rowid(i, 0));
                // The engine's message is read before the statement is reset.
                if (sqlite3_step(st) != SQLITE_DONE) db->Errore(QString::fromUtf8(sqlite3_sql(st)), kOrigineGestRecordset);
                sqlite3_reset(st);
                if (sqlite3_changes(h) != 1)
                    errore(NumErroreDb::CampoNonAggiornabile,
                           QStringLiteral("La riga della tabella %1 non esiste più.").arg(istanze[g.istanza].alias));
            }
        }
    }
    void correnteAvanti() const {
        if (!cursore) errore(NumErrore::NessunRecordCorrente, QStringLiteral("Nessun record corrente."));
    }
    Valore leggi(int c) const {
        if (!avanti) return righe.Leggi(rigaCorrente(), c, colonne[c].data);
        correnteAvanti();
        const Colonna& col = colonne[c];
        for (auto s = modificheRiga.rbegin(); s != modificheRiga.rend(); ++s)
            if (s->istanza == col.istanza && s->colonna.compare(col.origine, Qt::CaseInsensitive) == 0) return s->valore;
        return cursore->Leggi(c, col.data);
    }
    // The edits of the current row join those waiting for the end of the scan.
    void aggiornaAvanti(std::vector<Scrittura> scritture) {
        correnteAvanti();
        // Every table written must have its row (a left join may have none)
        // before any edit is kept.
        for (const Scrittura& s : scritture)
            if (!cursore->Intero(static_cast<int>(colonne.size()) + s.istanza))
                errore(NumErroreDb::CampoNonAggiornabile,
                       QStringLiteral("La riga della tabella %1 non esiste.").arg(istanze[s.istanza].alias));
        for (size_t ist = 0; ist < istanze.size(); ++ist) {
            QStringList nomi;
            std::vector<Valore> valori;
            for (const Scrittura& s : scritture)
                if (s.istanza == static_cast<int>(ist)) {
                    nomi << s.colonna;
                    valori.push_back(s.valore);
                }
            if (nomi.isEmpty()) continue;
            const auto rowid = cursore->Intero(static_cast<int>(colonne.size() + ist));
            Pendenti* g = nullptr;
            for (Pendenti& p : pendenti)
                if (p.istanza == static_cast<int>(ist) && p.colonne == nomi) g = &p;
            if (!g) {
                // Compiled now, so that a wrong column is told at once.
                QStringList assegna;
                for (qsizetype k = 0; k < nomi.size(); ++k)
                    assegna << QStringLiteral("%1 = ?%2").arg(virgolette(nomi[k])).arg(k + 1);
                auto q = std::make_unique<Istruzione>(
                    *db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                             .arg(virgolette(istanze[ist].tabella), assegna.join(QLatin1String(", ")))
                             .arg(nomi.size() + 1));
                pendenti.push_back({static_cast<int>(ist), nomi, std::move(q),
                                    RigheRecordset(static_cast<int>(nomi.size()), 1)});
                g = &pendenti.back();
            }
            g->righe.Aggiungi(valori, {*rowid});
        }
        for (Scrittura& s : scritture) modificheRiga.push_back(std::move(s));
    }
    void salta() {
        while (corrente < righe.Righe() && righe.Cancellata(corrente)) ++corrente;
    }
    // The current row's index.
    size_t rigaCorrente() const {
        if (fine()) errore(NumErrore::NessunRecordCorrente, QStringLiteral("Nessun record corrente."));
        if (righe.Cancellata(corrente)) errore(kRecordEliminato, QStringLiteral("Il record è stato eliminato."));
        return corrente;
    }
    int colonnaPerNome(const QString& nome) const {
        const int c = indice.value(normalizza(nome), -1);
        if (c < 0) errore(NumErrore::OggettoInesistente, QStringLiteral("Campo \"%1\" non trovato nella query.").arg(nome));
        return c;
    }
    int istanzaDi(const QString& nome) const {
        for (size_t i = 0; i < istanze.size(); ++i)
            if (istanze[i].alias.compare(nome, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
        return -1;
    }
    void richiediAggiornabile() const {
        if (!aggiornabile || istanze.empty())
            errore(NumErroreDb::CampoNonAggiornabile,
                   QStringLiteral("Impossibile aggiornare: i dati letti non sono righe di una tabella."));
    }
    // Reads back the columns of one table's row, as the database stored them.
    void rileggi(size_t riga, int ist) {
        std::vector<int> cols;
        QStringList nomi;
        for (size_t c = 0; c < colonne.size(); ++c)
            if (colonne[c].istanza == ist) {
                cols.push_back(static_cast<int>(c));
                nomi << virgolette(colonne[c].origine);
            }
        if (cols.empty()) return;
        Istruzione q(*db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                              .arg(nomi.join(QLatin1Char(',')), virgolette(istanze[ist].tabella)));
        sqlite3_bind_int64(q.st, 1, righe.Rowid(riga, ist));
        if (sqlite3_step(q.st) != SQLITE_ROW) return;
        std::vector<Valore> valori = righe.LeggiRiga(riga);
        for (size_t k = 0; k < cols.size(); ++k)
            valori[cols[k]] = leggiValore(q.st, static_cast<int>(k), colonne[cols[k]].data);
        righe.Sostituisci(riga, valori);
    }
};

GestRecordset::GestRecordset() = default;
GestRecordset::~GestRecordset() = default;

Recordset& GestRecordset::rs(const QString& chiave) const {
    if (ultimo_ && chiave == ultimaChiave_) return *ultimo_;
    const auto r = aperti_.constFind(chiave);
    if (r == aperti_.cend() || !*r)
        errore(NumErroreDb::DatabaseChiuso, QStringLiteral("Record set \"%1\" non aperto.").arg(chiave));
    ultimaChiave_ = chiave;
    ultimo_ = r->get();
    return **r;
}

QString GestRecordset::ApriRecordset(GestoreDb& gestDb, const QString& idDb, const QString&, const QString& sql, bool,
                                     int modo, const Valore&) {
    static std::atomic<long> prossima{1};
    auto r = std::make_shared<Recordset>();
    r->db = gestDb.DatabaseDaId(idDb);
    r->sql = sql;
    const AnalisiSql a = analizzaSql(sql);
    r->istanze = a.istanze;

    // The rowid of every table goes at the end of the select list, so that an
    // edit finds its row again; a query that will not take them is read-only.
    sqlite3* db = r->db->Handle();
    sqlite3_stmt* st = nullptr;
    int extra = 0;
    if (a.semplice && a.posFrom >= 0 && !a.istanze.empty()) {
        QString aggiunta;
        for (size_t i = 0; i < a.istanze.size(); ++i)
            aggiunta += QStringLiteral(", %1.rowid AS \"__rowid%2\" ").arg(virgolette(a.istanze[i].alias)).arg(i);
        const QString conRowid = sql.left(a.posFrom) + aggiunta + sql.mid(a.posFrom);
        if (sqlite3_prepare_v2(db, conRowid.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && st) {
            extra = static_cast<int>(a.istanze.size());
            r->aggiornabile = true;
        } else {
            sqlite3_finalize(st);
            st = nullptr;
        }
    }
    if (!st && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        r->db->Errore(sql, kOrigineGestRecordset);
    if (!st) errore(NumErrore::ErroreSql, QStringLiteral("Query vuota."));

    const int n = sqlite3_column_count(st) - extra;
    for (int i = 0; i < n; ++i) {
        Colonna c;
        c.nome = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* tab = sqlite3_column_table_name(st, i);
        const char* ori = sqlite3_column_origin_name(st, i);
        c.data = eData(sqlite3_column_decltype(st, i));
        if (tab && ori) {
            c.origine = QString::fromUtf8(ori);
            const QString tabella = QString::fromUtf8(tab);
            const int punto = c.nome.lastIndexOf(QLatin1Char('.'));
            if (punto > 0) {  // written qualified: the qualifier names the alias
                const int k = r->istanzaDi(normalizza(c.nome.left(punto)));
                if (k >= 0 && r->istanze[k].tabella.compare(tabella, Qt::CaseInsensitive) == 0) c.istanza = k;
            }
            if (c.istanza < 0) {  // from "*" or unqualified: the table's own instance, else its first
                for (size_t k = 0; k < r->istanze.size(); ++k) {
                    if (r->istanze[k].tabella.compare(tabella, Qt::CaseInsensitive) != 0) continue;
                    if (c.istanza < 0 || r->istanze[k].alias.compare(tabella, Qt::CaseInsensitive) == 0)
                        c.istanza = static_cast<int>(k);
                }
            }
        }
        r->colonne.push_back(c);
    }
    // Names: first as SQLite gives them (aliases win), then "Alias.Column" and
    // the bare column; the first column takes a name shared by several.
    const auto aggiungi = [&](const QString& nome, int i) {
        const QString k = normalizza(nome);
        if (!r->indice.contains(k)) r->indice.insert(k, i);
    };
    for (int i = 0; i < n; ++i) aggiungi(r->colonne[i].nome, i);
    for (int i = 0; i < n; ++i) {
        const Colonna& c = r->colonne[i];
        const bool conAlias = !c.nome.contains(QLatin1Char('.')) && c.nome.compare(c.origine, Qt::CaseInsensitive) != 0;
        if (c.origine.isEmpty() || conAlias) continue;
        aggiungi(c.istanza >= 0 ? r->istanze[c.istanza].alias + QLatin1Char('.') + c.origine
                                : QString::fromUtf8(sqlite3_column_table_name(st, i)) + QLatin1Char('.') + c.origine,
                 i);
        aggiungi(c.origine, i);
    }

    if (modo == kModoAvanti) {
        r->avanti = true;
        r->cursore = std::make_unique<CursoreSqlite>(r->db, st, sql);
        r->passo();
    } else {
        r->righe = RigheRecordset(n, extra);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) r->righe.AggiungiDaIstruzione(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) r->db->Errore(sql, kOrigineGestRecordset);
    }

    const QString chiave = QStringLiteral("RS%1").arg(prossima++);
    aperti_.insert(chiave, std::move(r));
    return chiave;
}

bool GestRecordset::RecVuoto(const QString& chiave) const {
    const Recordset& r = rs(chiave);
    return r.avanti ? r.passi == 0 : r.righe.Vive() == 0;
}

bool GestRecordset::FineRec(const QString& chiave) const { return rs(chiave).fine(); }

void GestRecordset::PrimoRec(const QString& chiave) {
    Recordset& r = rs(chiave);
    if (r.avanti) {
        // Still on the first row (or empty): nothing to do.
        if (r.passi > 1 || (r.passi == 1 && !r.cursore))
            nonAmmessa(QStringLiteral("Un record set in sola avanti non torna al primo record."));
        return;
    }
    r.corrente = 0;
    r.salta();
}

void GestRecordset::RecSuccessivo(const QString& chiave) {
    Recordset& r = rs(chiave);
    if (r.fine()) errore(NumErrore::NessunRecordCorrente, QStringLiteral("Nessun record corrente."));
    if (r.avanti) {
        r.passo();
        return;
    }
    ++r.corrente;
    r.salta();
}

long GestRecordset::ContaRec(const QString& chiave) const {
    const Recordset& r = rs(chiave);
    if (r.avanti) nonAmmessa(QStringLiteral("Il numero dei record non è noto in un record set in sola avanti."));
    return static_cast<long>(r.righe.Vive());
}

Valore GestRecordset::LeggiCampoNull(const QString& chiave, const QString& nome) const {
    const Recordset& r = rs(chiave);
    return r.leggi(r.colonna(nome));
}

int GestRecordset::IndiceCampo(const QString& chiave, const QString& nome) const { return rs(chiave).colonna(nome); }

Valore GestRecordset::LeggiCampo(const QString& chiave, int indice) const {
    const Recordset& r = rs(chiave);
    if (indice < 0 || indice >= static_cast<int>(r.colonne.size()))
        errore(NumErrore::OggettoInesistente, QStringLiteral("Campo numero %1 non presente nella query.").arg(indice));
    Valore v = r.leggi(indice);
    return v.eNull() ? Valore() : std::move(v);
}

Valore GestRecordset::LeggiCampo(const QString& chiave, const QString& nome) const {
    Valore v = LeggiCampoNull(chiave, nome);
    return v.eNull() ? Valore() : std::move(v);
}

void GestRecordset::NuovoRec(const QString& chiave) {
    Recordset& r = rs(chiave);
    if (r.avanti) nonAmmessa(QStringLiteral("Nuove righe non ammesse in un record set in sola avanti."));
    r.richiediAggiornabile();
    if (r.istanze.size() != 1)
        errore(NumErroreDb::CampoNonAggiornabile, QStringLiteral("Nuove righe solo in una query su una tabella."));
    r.stato = Recordset::Stato::Nuovo;
    r.buffer.clear();
}

void GestRecordset::ModificaRec(const QString& chiave) {
    Recordset& r = rs(chiave);
    r.richiediAggiornabile();
    if (r.avanti) r.correnteAvanti();
    else r.rigaCorrente();
    r.stato = Recordset::Stato::Modifica;
    r.buffer.clear();
}

void GestRecordset::ScriviCampo(const QString& chiave, const QString& nome, const Valore& valore) {
    Recordset& r = rs(chiave);
    if (r.stato == Recordset::Stato::Nessuno)
        errore(kNessunNuovoOModifica, QStringLiteral("ScriviCampo senza NuovoRec o ModificaRec."));
    int istanza = -1;
    QString colonna;
    const int c = r.indice.value(normalizza(nome), -1);
    if (c >= 0 && r.colonne[c].istanza >= 0) {
        istanza = r.colonne[c].istanza;
        colonna = r.colonne[c].origine;
    } else if (c >= 0) {
        errore(NumErroreDb::CampoNonAggiornabile, QStringLiteral("Il campo \"%1\" non si può aggiornare.").arg(nome));
    } else {  // a column of a table of the query that the select list leaves out
        const int punto = nome.lastIndexOf(QLatin1Char('.'));
        istanza = punto > 0 ? r.istanzaDi(normalizza(nome.left(punto))) : (r.istanze.size() == 1 ? 0 : -1);
        colonna = nome.mid(punto + 1).trimmed();
        if (istanza < 0)
            errore(NumErrore::OggettoInesistente, QStringLiteral("Campo \"%1\" non trovato nella query.").arg(nome));
    }
    for (auto& s : r.buffer)
        if (s.istanza == istanza && s.colonna.compare(colonna, Qt::CaseInsensitive) == 0) {
            s.valore = valore;
            return;
        }
    r.buffer.push_back({istanza, colonna, valore});
}

void GestRecordset::AggiornaRec(const QString& chiave) {
    Recordset& r = rs(chiave);
    if (r.stato == Recordset::Stato::Nessuno)
        errore(kNessunNuovoOModifica, QStringLiteral("AggiornaRec senza NuovoRec o ModificaRec."));
    const auto stato = r.stato;
    r.stato = Recordset::Stato::Nessuno;
    auto buffer = std::move(r.buffer);
    r.buffer.clear();
    sqlite3* db = r.db->Handle();
    if (r.avanti) {
        r.aggiornaAvanti(std::move(buffer));
        return;
    }

    if (stato == Recordset::Stato::Nuovo) {
        QStringList nomi, segnaposto;
        for (size_t i = 0; i < buffer.size(); ++i) {
            nomi << virgolette(buffer[i].colonna);
            segnaposto << QStringLiteral("?%1").arg(i + 1);
        }
        const QString sql = nomi.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(virgolette(r.istanze[0].tabella))
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(virgolette(r.istanze[0].tabella), nomi.join(QLatin1Char(',')),
                                           segnaposto.join(QLatin1Char(',')));
        Istruzione q(*r.db, sql);
        for (size_t i = 0; i < buffer.size(); ++i) LegaValore(q.st, static_cast<int>(i + 1), buffer[i].valore);
        if (sqlite3_step(q.st) != SQLITE_DONE) r.db->Errore(sql, kOrigineGestRecordset);
        // The new row joins the set at its end; the position does not move.
        const bool eraAllaFine = r.fine();
        r.righe.Aggiungi(std::vector<Valore>(r.colonne.size()), {sqlite3_last_insert_rowid(db)});
        r.rileggi(r.righe.Righe() - 1, 0);
        if (eraAllaFine) r.corrente = r.righe.Righe();
        return;
    }

    const size_t riga = r.rigaCorrente();
    for (size_t ist = 0; ist < r.istanze.size(); ++ist) {
        QStringList assegna;
        std::vector<const Valore*> valori;
        for (const auto& s : buffer)
            if (s.istanza == static_cast<int>(ist)) {
                valori.push_back(&s.valore);
                assegna << QStringLiteral("%1 = ?%2").arg(virgolette(s.colonna)).arg(valori.size());
            }
        if (valori.empty()) continue;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                                .arg(virgolette(r.istanze[ist].tabella), assegna.join(QLatin1String(", ")))
                                .arg(valori.size() + 1);
        Istruzione q(*r.db, sql);
        for (size_t i = 0; i < valori.size(); ++i) LegaValore(q.st, static_cast<int>(i + 1), *valori[i]);
        sqlite3_bind_int64(q.st, static_cast<int>(valori.size() + 1), r.righe.Rowid(riga, static_cast<int>(ist)));
        if (sqlite3_step(q.st) != SQLITE_DONE) r.db->Errore(sql, kOrigineGestRecordset);
        // A left join without a row on this side has nothing to update.
        if (sqlite3_changes(db) != 1)
            errore(NumErroreDb::CampoNonAggiornabile,
                   QStringLiteral("La riga della tabella %1 non esiste più.").arg(r.istanze[ist].alias));
        r.rileggi(riga, static_cast<int>(ist));
    }
}

void GestRecordset::CancellaRec(const QString& chiave) {
    Recordset& r = rs(chiave);
    if (r.avanti) nonAmmessa(QStringLiteral("Cancellazione non ammessa in un record set in sola avanti."));
    r.richiediAggiornabile();
    if (r.istanze.size() != 1)
        errore(NumErroreDb::CampoNonAggiornabile, QStringLiteral("Cancellazione solo in una query su una tabella."));
    const size_t riga = r.rigaCorrente();
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(virgolette(r.istanze[0].tabella));
    Istruzione q(*r.db, sql);
    sqlite3_bind_int64(q.st, 1, r.righe.Rowid(riga, 0));
    if (sqlite3_step(q.st) != SQLITE_DONE) r.db->Errore(sql, kOrigineGestRecordset);
    r.righe.Cancella(riga);
}

void GestRecordset::ChiudiRecordset(const QString& chiave) {
    if (chiave == ultimaChiave_) ultimo_ = nullptr;
    aperti_.remove(chiave);
}
