#include "components/db/GestRecordset.h"

#include "components/core/ErroreRun.h"
#include "components/db/AnalisiSql.h"
#include "components/db/GestoreDb.h"
#include "components/db/RigheRecordset.h"
#include "components/db/ServerPg.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <libpq-fe.h>
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
        return Valore::DaTestoDb(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i)),
                          data);
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

[[noreturn]] void elencoNonScrivibile() {
    errore(NumErrore::TipoNonCorrispondente, QStringLiteral("Un elenco di valori non si può scrivere in un campo."));
}

struct Colonna {
    QString nome;     // as the engine names it
    QString tabella;  // its table, empty for an expression
    QString origine;  // column of its table, empty for an expression
    int istanza = -1;
    bool data = false;
};

// --- The server ------------------------------------------------------------

// A row's place on the server, "(block,offset)", packed in the whole number
// that the rows keep for a rowid: the offset in the low 16 bits.
int64_t impaccaCtid(const char* testo) {
    const QByteArray t = QByteArray(testo).trimmed();
    const qsizetype virgola = t.indexOf(',');
    if (!t.startsWith('(') || virgola < 0) return 0;
    const int64_t blocco = t.mid(1, virgola - 1).toLongLong();
    const int64_t posizione = t.mid(virgola + 1, t.size() - virgola - 2).toLongLong();
    return (blocco << 16) | (posizione & 0xffff);
}

QByteArray testoCtid(int64_t ctid) {
    return QByteArray("(") + QByteArray::number(ctid >> 16) + ',' + QByteArray::number(ctid & 0xffff) + ')';
}

std::vector<ServerPg::ParametroPg> parametriPg(const std::vector<Valore>& valori) {
    std::vector<ServerPg::ParametroPg> p;
    p.reserve(valori.size() + 1);
    for (const Valore& v : valori) p.push_back(ServerPg::Parametro(v));
    return p;
}

// The first n columns of a result as the program names them: the catalogue
// gives the table and column each comes from, one query for all the tables.
std::vector<Colonna> colonnePg(pg_conn* c, const ServerPg::Risultato& r, int n, std::vector<int>& numeri) {
    const PGresult* p = r.Dati();
    QStringList tabelle;
    for (int i = 0; i < n; ++i)
        if (const Oid t = PQftable(p, i); t != InvalidOid && !tabelle.contains(QString::number(t)))
            tabelle << QString::number(t);
    QHash<QPair<Oid, int>, QPair<QString, QString>> nomi;
    if (!tabelle.isEmpty()) {
        const ServerPg::Risultato cat = ServerPg::EseguiParametri(
            c,
            QStringLiteral("SELECT a.attrelid, a.attnum, t.relname, a.attname FROM pg_catalog.pg_attribute a "
                           "JOIN pg_catalog.pg_class t ON t.oid = a.attrelid "
                           "WHERE a.attrelid = ANY ($1::oid[]) AND a.attnum > 0"),
            {(QLatin1Char('{') + tabelle.join(QLatin1Char(',')) + QLatin1Char('}')).toUtf8()}, kOrigineGestRecordset);
        for (int i = 0; i < cat.Righe(); ++i)
            nomi.insert({static_cast<Oid>(std::strtoul(cat.Testo(i, 0), nullptr, 10)), std::atoi(cat.Testo(i, 1))},
                        {QString::fromUtf8(cat.Testo(i, 2)), QString::fromUtf8(cat.Testo(i, 3))});
    }
    std::vector<Colonna> colonne;
    numeri.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        Colonna col;
        col.nome = QString::fromUtf8(PQfname(p, i));
        col.data = ServerPg::TipoDi(PQftype(p, i)) == ServerPg::TipoPg::Data;
        const auto nome = nomi.constFind({PQftable(p, i), PQftablecol(p, i)});
        if (nome != nomi.cend()) {
            col.tabella = nome->first;
            col.origine = nome->second;
            numeri[static_cast<size_t>(i)] = PQftablecol(p, i);
        }
        colonne.push_back(col);
    }
    return colonne;
}

// The server names a column "Alias.Column" of the select list by its bare
// name, and tells its table but not which instance of it: the select list,
// read item by item beside the columns, gives the instance ("a.*" is a run of
// a's columns in their order, "*" one run per table of the FROM) and the name
// SQLite would give. A list that does not match the columns is left alone.
void istanzeDaElenco(const QString& sql, const AnalisiSql& a, const std::vector<int>& numeri,
                     std::vector<Colonna>& colonne) {
    const auto voci = vociElencoSelezione(sql, a);
    const auto istanza = [&](const QString& alias) {
        for (size_t k = 0; k < a.istanze.size(); ++k)
            if (a.istanze[k].alias.compare(alias, Qt::CaseInsensitive) == 0) return static_cast<int>(k);
        return -1;
    };
    std::vector<Colonna> esito = colonne;
    size_t c = 0;
    // A run of one instance's columns: its table, in the table's order.
    const auto serie = [&](int ist) {
        int ultimo = 0;
        const size_t inizio = c;
        while (c < esito.size() && numeri[c] > ultimo &&
               esito[c].tabella.compare(a.istanze[static_cast<size_t>(ist)].tabella, Qt::CaseInsensitive) == 0) {
            ultimo = numeri[c];
            esito[c++].istanza = ist;
        }
        return c > inizio;
    };
    for (const auto& v : voci) {
        const bool stella = !v.empty() && v.back().testo == QLatin1String("*") && !v.back().ident;
        if (stella && v.size() == 1) {
            for (size_t k = 0; k < a.istanze.size(); ++k)
                if (!serie(static_cast<int>(k))) return;
        } else if (stella && v.size() == 3 && v[0].ident && v[1].testo == QLatin1String(".")) {
            const int k = istanza(v[0].testo);
            if (k < 0 || !serie(k)) return;
        } else {
            if (c >= esito.size()) return;
            if (v.size() == 3 && v[0].ident && v[1].testo == QLatin1String(".") && v[2].ident &&
                esito[c].nome.compare(v[2].testo, Qt::CaseInsensitive) == 0)
                esito[c].nome = v[0].testo + QLatin1Char('.') + v[2].testo;
            ++c;
        }
    }
    if (c == esito.size()) colonne = std::move(esito);
}

// A forward-only query on the server: a cursor of the server's, read a batch
// of rows at a time, so that the program holds one batch whatever the rows.
// WITH HOLD lets it outlive the transaction it was opened in, if any.
class CursorePg final : public CursoreAvanti {
public:
    static constexpr int kBlocco = 500;
    CursorePg(std::shared_ptr<Database> db, QString nome, ServerPg::Risultato primo)
        : db_(std::move(db)), nome_(std::move(nome)), blocco_(std::move(primo)), tipi_(ServerPg::TipiDi(blocco_)) {}
    ~CursorePg() override { chiudi(); }
    CursorePg(const CursorePg&) = delete;
    CursorePg& operator=(const CursorePg&) = delete;
    static ServerPg::Risultato leggiBlocco(const Database& db, const QString& nome) {
        return ServerPg::EseguiParametri(db.Pg(), QStringLiteral("FETCH FORWARD %1 FROM %2").arg(kBlocco).arg(nome), {},
                                         kOrigineGestRecordset);
    }
    bool Passo() override {
        db_->Pg();  // raises once the database is closed
        if (riga_ + 1 < blocco_.Righe()) {
            ++riga_;
            return true;
        }
        if (aperto_ && blocco_.Righe() == kBlocco) {
            blocco_ = leggiBlocco(*db_, nome_);
            riga_ = 0;
            if (blocco_.Righe() > 0) return true;
        }
        chiudi();
        return false;
    }
    Valore Leggi(int colonna, bool data) const override {
        return ServerPg::ValoreDi(blocco_, riga_, colonna, tipi_[static_cast<size_t>(colonna)], data);
    }
    std::optional<int64_t> Intero(int colonna) const override {
        if (blocco_.Null(riga_, colonna)) return std::nullopt;
        return impaccaCtid(blocco_.Testo(riga_, colonna));
    }

private:
    void chiudi() {
        if (!aperto_) return;
        aperto_ = false;
        try {
            ServerPg::Esegui(db_->Pg(), QStringLiteral("CLOSE ") + nome_, kOrigineGestRecordset);
        } catch (const ErroreRun&) {
            // Closed database or connection: the server dropped the cursor with it.
        }
    }
    std::shared_ptr<Database> db_;
    QString nome_;
    ServerPg::Risultato blocco_;
    std::vector<ServerPg::TipoPg> tipi_;
    int riga_ = -1;
    bool aperto_ = true;
};

// --- What a record set asks of its engine ------------------------------------

// One UPDATE of some columns of a table's row, ready for row after row.
class Aggiornamento {
public:
    virtual ~Aggiornamento() = default;
    // The row's rowid after the update (the server moves an updated row);
    // nothing when no row has that rowid.
    virtual std::optional<int64_t> esegui(const std::vector<Valore>& valori, int64_t rowid) = 0;
    // Several rows, none twice, at once: where each went. The server takes
    // them in one statement, so a run that marks thousands of rows pays one
    // round trip per block instead of one per row.
    virtual std::vector<std::optional<int64_t>> eseguiBlocco(const std::vector<std::vector<Valore>>& valori,
                                                             const std::vector<int64_t>& rowid) {
        std::vector<std::optional<int64_t>> dopo;
        dopo.reserve(rowid.size());
        for (size_t i = 0; i < rowid.size(); ++i) dopo.push_back(esegui(valori[i], rowid[i]));
        return dopo;
    }
};

}  // namespace

struct Recordset;

namespace {

// A call per statement, never per value: the database file and the server
// differ in how a row is found again (rowid, ctid), in how names and
// parameters are written and in how a statement runs. The text of the
// statements is written once, here, from those pieces.
class Motore {
public:
    virtual ~Motore() = default;
    // Runs the query: the columns with their tables and, keyed, the rows with
    // their rowids, forward-only the cursor.
    virtual void apri(Recordset& r, const AnalisiSql& a, bool avanti) = 0;
    // With `dopo` the update runs later, and a wrong table or column is told now.
    virtual std::unique_ptr<Aggiornamento> aggiornamento(const QString& tabella, const QStringList& colonne,
                                                    bool dopo) = 0;
    // The new row's rowid.
    virtual int64_t inserisci(const QString& tabella, const QStringList& colonne, const std::vector<Valore>& valori) = 0;
    virtual void cancella(const QString& tabella, int64_t rowid) = 0;
    // The columns of a table's row as stored; nothing when the row is gone.
    virtual std::optional<std::vector<Valore>> rileggiRiga(const QString& tabella, const QStringList& colonne,
                                                      const std::vector<bool>& date, int64_t rowid) = 0;

protected:
    virtual QString identificatore(const QString& nome) const = 0;
    virtual QString segnaposto(int i) const = 0;
    virtual QString rigaUguale(int i) const = 0;  // the WHERE that finds a row by the parameter i
    virtual QString colonnaRiga() const = 0;
    virtual QString restituisciRiga() const { return {}; }

    // The query with each table's rowid at the end of the select list.
    QString sqlConRighe(const QString& sql, const AnalisiSql& a) const {
        QString aggiunta;
        for (size_t i = 0; i < a.istanze.size(); ++i)
            aggiunta += QStringLiteral(", %1.%2 AS \"__rowid%3\" ")
                            .arg(identificatore(a.istanze[i].alias), colonnaRiga())
                            .arg(i);
        return sql.left(a.posFrom) + aggiunta + sql.mid(a.posFrom);
    }
    QString sqlAggiorna(const QString& tabella, const QStringList& colonne) const {
        QStringList assegna;
        for (qsizetype k = 0; k < colonne.size(); ++k)
            assegna << identificatore(colonne[k]) + QStringLiteral(" = ") + segnaposto(static_cast<int>(k + 1));
        return QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                   .arg(identificatore(tabella), assegna.join(QLatin1String(", ")),
                        rigaUguale(static_cast<int>(colonne.size() + 1))) +
               restituisciRiga();
    }
    QString sqlInserisci(const QString& tabella, const QStringList& colonne) const {
        if (colonne.isEmpty())
            return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(identificatore(tabella)) + restituisciRiga();
        QStringList nomi, segni;
        for (qsizetype k = 0; k < colonne.size(); ++k) {
            nomi << identificatore(colonne[k]);
            segni << segnaposto(static_cast<int>(k + 1));
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(identificatore(tabella), nomi.join(QLatin1Char(',')), segni.join(QLatin1Char(','))) +
               restituisciRiga();
    }
    QString sqlCancella(const QString& tabella) const {
        return QStringLiteral("DELETE FROM %1 WHERE %2").arg(identificatore(tabella), rigaUguale(1));
    }
    // The columns of a table's row; with `nessuna`, of no row (the columns checked, nothing read).
    QString sqlRileggi(const QString& tabella, const QStringList& colonne, bool nessuna = false) const {
        QStringList nomi;
        for (const QString& c : colonne) nomi << identificatore(c);
        return QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(nomi.join(QLatin1Char(',')), identificatore(tabella),
                 nessuna ? QStringLiteral("false") : rigaUguale(1));
    }
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
    case TipoValore::Lista: elencoNonScrivibile();
    }
}

struct Recordset {
    std::shared_ptr<Database> db;
    std::unique_ptr<Motore> motore;
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
    // The columns and values that the writes give one table of the query.
    struct ScrittureTabella {
        QStringList nomi;
        std::vector<Valore> valori;
    };
    static ScrittureTabella scrittureDi(const std::vector<Scrittura>& scritture, size_t ist) {
        ScrittureTabella t;
        for (const Scrittura& s : scritture)
            if (s.istanza == static_cast<int>(ist)) {
                t.nomi << s.colonna;
                t.valori.push_back(s.valore);
            }
        return t;
    }
    // A server moves a row when it updates it: where the rows this set
    // updated went, by table and former rowid, for the other rows of the set
    // that show the same table row (a join). Always empty on a database file.
    QHash<QPair<QString, int64_t>, int64_t> spostate;

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
        std::unique_ptr<Aggiornamento> aggiorna;
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
    // Where a table's row is now.
    int64_t rowidAttuale(int ist, int64_t rowid) const {
        if (spostate.isEmpty()) return rowid;
        const QString tabella = istanze[static_cast<size_t>(ist)].tabella.toLower();
        for (qsizetype n = 0; n <= spostate.size(); ++n) {
            const auto s = spostate.constFind({tabella, rowid});
            if (s == spostate.cend()) break;
            rowid = *s;
        }
        return rowid;
    }
    void spostata(int ist, int64_t prima, int64_t dopo) {
        if (prima == dopo) return;
        const QString tabella = istanze[static_cast<size_t>(ist)].tabella.toLower();
        spostate.insert({tabella, prima}, dopo);
        spostate.remove({tabella, dopo});  // a place taken again is that row's now
    }
    // Runs an update of a table's row; the row's rowid after it.
    int64_t aggiorna(Aggiornamento& a, int ist, const std::vector<Valore>& valori, int64_t rowid) {
        const int64_t attuale = rowidAttuale(ist, rowid);
        const auto dopo = a.esegui(valori, attuale);
        // A left join without a row on this side has nothing to update.
        if (!dopo)
            errore(NumErroreDb::CampoNonAggiornabile,
                   QStringLiteral("La riga della tabella %1 non esiste più.").arg(istanze[ist].alias));
        spostata(ist, attuale, *dopo);
        return *dopo;
    }
    void scriviPendenti() {
        const auto gruppi = std::move(pendenti);
        pendenti.clear();
        for (const Pendenti& g : gruppi) scriviGruppo(g);
    }
    // A row edited more than once in the scan (a header joined to its lines)
    // is written once, with its last values, as the edits one after the
    // other would have left it.
    void scriviGruppo(const Pendenti& g) {
        constexpr size_t kBlocco = 1000;
        std::vector<int64_t> rowid;
        std::vector<size_t> ultima;
        QHash<int64_t, size_t> posizione;
        for (size_t i = 0; i < g.righe.Righe(); ++i) {
            const int64_t r = rowidAttuale(g.istanza, g.righe.Rowid(i, 0));
            const auto p = posizione.constFind(r);
            if (p != posizione.cend()) {
                ultima[*p] = i;
                continue;
            }
            posizione.insert(r, rowid.size());
            rowid.push_back(r);
            ultima.push_back(i);
        }
        for (size_t inizio = 0; inizio < rowid.size(); inizio += kBlocco) {
            const size_t fine = std::min(rowid.size(), inizio + kBlocco);
            std::vector<std::vector<Valore>> valori;
            valori.reserve(fine - inizio);
            for (size_t k = inizio; k < fine; ++k) valori.push_back(g.righe.LeggiRiga(ultima[k]));
            const std::vector<int64_t> blocco(rowid.begin() + static_cast<std::ptrdiff_t>(inizio),
                                              rowid.begin() + static_cast<std::ptrdiff_t>(fine));
            const auto dopo = g.aggiorna->eseguiBlocco(valori, blocco);
            for (size_t k = 0; k < blocco.size(); ++k) {
                if (!dopo[k])
                    errore(NumErroreDb::CampoNonAggiornabile,
                           QStringLiteral("La riga della tabella %1 non esiste più.").arg(istanze[g.istanza].alias));
                spostata(g.istanza, blocco[k], *dopo[k]);
            }
        }
    }
    // Raises 3420 once the database is closed.
    void richiediAperto() const {
        if (db->SuServer()) db->Pg();
        else db->Handle();
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
            const auto [nomi, valori] = scrittureDi(scritture, ist);
            if (nomi.isEmpty()) continue;
            const auto rowid = cursore->Intero(static_cast<int>(colonne.size() + ist));
            Pendenti* g = nullptr;
            for (Pendenti& p : pendenti)
                if (p.istanza == static_cast<int>(ist) && p.colonne == nomi) g = &p;
            if (!g) {
                // Made now, so that a wrong column is told at once.
                pendenti.push_back({static_cast<int>(ist), nomi, motore->aggiornamento(istanze[ist].tabella, nomi, true),
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
        std::vector<bool> date;
        for (size_t c = 0; c < colonne.size(); ++c)
            if (colonne[c].istanza == ist) {
                cols.push_back(static_cast<int>(c));
                nomi << colonne[c].origine;
                date.push_back(colonne[c].data);
            }
        if (cols.empty()) return;
        const auto letti =
            motore->rileggiRiga(istanze[ist].tabella, nomi, date, rowidAttuale(ist, righe.Rowid(riga, ist)));
        if (!letti) return;
        std::vector<Valore> valori = righe.LeggiRiga(riga);
        for (size_t k = 0; k < cols.size(); ++k) valori[cols[k]] = (*letti)[k];
        righe.Sostituisci(riga, valori);
    }
    // Which instance of the FROM each column comes from, and the names the
    // columns are found by.
    void descriviColonne() {
        for (Colonna& c : colonne) {
            if (c.origine.isEmpty() || c.istanza >= 0) continue;
            const int punto = c.nome.lastIndexOf(QLatin1Char('.'));
            if (punto > 0) {  // written qualified: the qualifier names the alias
                const int k = istanzaDi(normalizza(c.nome.left(punto)));
                if (k >= 0 && istanze[k].tabella.compare(c.tabella, Qt::CaseInsensitive) == 0) c.istanza = k;
            }
            if (c.istanza < 0) {  // from "*" or unqualified: the table's own instance, else its first
                for (size_t k = 0; k < istanze.size(); ++k) {
                    if (istanze[k].tabella.compare(c.tabella, Qt::CaseInsensitive) != 0) continue;
                    if (c.istanza < 0 || istanze[k].alias.compare(c.tabella, Qt::CaseInsensitive) == 0)
                        c.istanza = static_cast<int>(k);
                }
            }
        }
        // Names: first as the engine gives them (aliases win), then
        // "Alias.Column" and the bare column; the first column takes a name
        // shared by several.
        const auto aggiungi = [&](const QString& nome, int i) {
            const QString k = normalizza(nome);
            if (!indice.contains(k)) indice.insert(k, i);
        };
        const int n = static_cast<int>(colonne.size());
        for (int i = 0; i < n; ++i) aggiungi(colonne[i].nome, i);
        for (int i = 0; i < n; ++i) {
            const Colonna& c = colonne[i];
            const bool conAlias =
                !c.nome.contains(QLatin1Char('.')) && c.nome.compare(c.origine, Qt::CaseInsensitive) != 0;
            if (c.origine.isEmpty() || conAlias) continue;
            aggiungi((c.istanza >= 0 ? istanze[c.istanza].alias : c.tabella) + QLatin1Char('.') + c.origine, i);
            aggiungi(c.origine, i);
        }
    }
};

namespace {

// --- The database file ---------------------------------------------------------

class AggiornamentoSqlite final : public Aggiornamento {
public:
    AggiornamentoSqlite(Database& db, const QString& sql) : db_(db), q_(db, sql) {}
    std::optional<int64_t> esegui(const std::vector<Valore>& valori, int64_t rowid) override {
        sqlite3* h = db_.Handle();
        const int n = static_cast<int>(valori.size());
        for (int k = 0; k < n; ++k) LegaValore(q_.st, k + 1, valori[static_cast<size_t>(k)]);
        sqlite3_bind_int64(q_.st, n + 1, rowid);
        // The engine's message is read before the statement is reset.
        if (sqlite3_step(q_.st) != SQLITE_DONE) db_.Errore(QString::fromUtf8(sqlite3_sql(q_.st)), kOrigineGestRecordset);
        sqlite3_reset(q_.st);
        if (sqlite3_changes(h) != 1) return std::nullopt;
        return rowid;
    }

private:
    Database& db_;
    Istruzione q_;
};

class MotoreSqlite final : public Motore {
public:
    explicit MotoreSqlite(std::shared_ptr<Database> db) : db_(std::move(db)) {}

    void apri(Recordset& r, const AnalisiSql& a, bool avanti) override {
        // The rowid of every table goes at the end of the select list, so
        // that an edit finds its row again; a query that will not take them
        // is read-only.
        sqlite3* db = db_->Handle();
        sqlite3_stmt* st = nullptr;
        int extra = 0;
        if (a.semplice && a.posFrom >= 0 && !a.istanze.empty()) {
            const QString conRowid = sqlConRighe(r.sql, a);
            if (sqlite3_prepare_v2(db, conRowid.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && st) {
                extra = static_cast<int>(a.istanze.size());
                r.aggiornabile = true;
            } else {
                sqlite3_finalize(st);
                st = nullptr;
            }
        }
        if (!st && sqlite3_prepare_v2(db, r.sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            db_->Errore(r.sql, kOrigineGestRecordset);
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
                c.tabella = QString::fromUtf8(tab);
            }
            r.colonne.push_back(c);
        }
        if (avanti) {
            r.cursore = std::make_unique<CursoreSqlite>(db_, st, r.sql);
            return;
        }
        r.righe = RigheRecordset(n, extra);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) r.righe.AggiungiDaIstruzione(st);
        // The failure as it stood, before the statement is let go.
        const std::optional<GuastoSqlite> guasto = GuastoSqlite::delPasso(db, rc);
        sqlite3_finalize(st);
        if (guasto) db_->Errore(*guasto, r.sql, kOrigineGestRecordset);
    }
    // The statement is compiled at once: a wrong column is told either way.
    std::unique_ptr<Aggiornamento> aggiornamento(const QString& tabella, const QStringList& colonne, bool) override {
        return std::make_unique<AggiornamentoSqlite>(*db_, sqlAggiorna(tabella, colonne));
    }
    int64_t inserisci(const QString& tabella, const QStringList& colonne, const std::vector<Valore>& valori) override {
        const QString sql = sqlInserisci(tabella, colonne);
        Istruzione q(*db_, sql);
        for (size_t i = 0; i < valori.size(); ++i) LegaValore(q.st, static_cast<int>(i + 1), valori[i]);
        if (sqlite3_step(q.st) != SQLITE_DONE) db_->Errore(sql, kOrigineGestRecordset);
        return sqlite3_last_insert_rowid(db_->Handle());
    }
    void cancella(const QString& tabella, int64_t rowid) override {
        const QString sql = sqlCancella(tabella);
        Istruzione q(*db_, sql);
        sqlite3_bind_int64(q.st, 1, rowid);
        if (sqlite3_step(q.st) != SQLITE_DONE) db_->Errore(sql, kOrigineGestRecordset);
    }
    std::optional<std::vector<Valore>> rileggiRiga(const QString& tabella, const QStringList& colonne,
                                              const std::vector<bool>& date, int64_t rowid) override {
        Istruzione q(*db_, sqlRileggi(tabella, colonne));
        sqlite3_bind_int64(q.st, 1, rowid);
        if (sqlite3_step(q.st) != SQLITE_ROW) return std::nullopt;
        std::vector<Valore> valori;
        for (qsizetype k = 0; k < colonne.size(); ++k)
            valori.push_back(leggiValore(q.st, static_cast<int>(k), date[static_cast<size_t>(k)]));
        return valori;
    }

protected:
    QString identificatore(const QString& nome) const override { return virgolette(nome); }
    QString segnaposto(int i) const override { return QStringLiteral("?%1").arg(i); }
    QString rigaUguale(int i) const override { return QStringLiteral("rowid = ?%1").arg(i); }
    QString colonnaRiga() const override { return QStringLiteral("rowid"); }

private:
    std::shared_ptr<Database> db_;
};

// --- The server --------------------------------------------------------------

class MotorePg final : public Motore {
public:
    explicit MotorePg(std::shared_ptr<Database> db) : db_(std::move(db)) {}

    void apri(Recordset& r, const AnalisiSql& a, bool avanti) override {
        // Each table's ctid goes at the end of the select list, as the
        // rowids on a file; a query that will not take them is read-only.
        const auto esegui = [&](const QString& sql) {
            if (!avanti) return ServerPg::EseguiParametri(db_->Pg(), sql, {}, kOrigineGestRecordset);
            static std::atomic<long> prossimo{1};
            const QString nome = QStringLiteral("comiva_rs%1").arg(prossimo++);
            ServerPg::Esegui(db_->Pg(), QStringLiteral("DECLARE %1 NO SCROLL CURSOR WITH HOLD FOR %2").arg(nome, sql),
                             kOrigineGestRecordset);
            cursore_ = nome;
            try {
                return CursorePg::leggiBlocco(*db_, nome);
            } catch (const ErroreRun&) {
                try {
                    ServerPg::Esegui(db_->Pg(), QStringLiteral("CLOSE ") + nome, kOrigineGestRecordset);
                } catch (const ErroreRun&) {
                    // The connection is gone, and the cursor with it.
                }
                throw;
            }
        };
        ServerPg::Risultato righe;
        int extra = 0;
        if (a.semplice && a.posFrom >= 0 && !a.istanze.empty()) {
            try {
                righe = esegui(sqlConRighe(r.sql, a));
                extra = static_cast<int>(a.istanze.size());
                r.aggiornabile = true;
            } catch (const ErroreRun&) {
                // Read-only: the query as written tells its own error, if any.
            }
        }
        if (!r.aggiornabile) righe = esegui(r.sql);

        const int n = righe.Colonne() - extra;
        std::vector<int> numeri;
        r.colonne = colonnePg(db_->Pg(), righe, n, numeri);
        if (a.posFrom >= 0) istanzeDaElenco(r.sql, a, numeri, r.colonne);
        if (avanti) {
            r.cursore = std::make_unique<CursorePg>(db_, cursore_, std::move(righe));
            return;
        }
        const std::vector<ServerPg::TipoPg> tipi = ServerPg::TipiDi(righe);
        r.righe = RigheRecordset(n, extra);
        std::vector<Valore> valori(static_cast<size_t>(n));
        std::vector<int64_t> ctid(static_cast<size_t>(extra));
        for (int i = 0; i < righe.Righe(); ++i) {
            for (int c = 0; c < n; ++c) valori[static_cast<size_t>(c)] = ServerPg::ValoreDi(righe, i, c, tipi[static_cast<size_t>(c)], false);
            for (int k = 0; k < extra; ++k)
                ctid[static_cast<size_t>(k)] = righe.Null(i, n + k) ? 0 : impaccaCtid(righe.Testo(i, n + k));
            r.righe.Aggiungi(valori, ctid);
        }
    }
    std::unique_ptr<Aggiornamento> aggiornamento(const QString& tabella, const QStringList& colonne, bool dopo) override {
        if (dopo)
            ServerPg::EseguiParametri(db_->Pg(), sqlRileggi(tabella, colonne, true), {}, kOrigineGestRecordset);
        return std::make_unique<AggiornamentoPg>(db_, sqlAggiorna(tabella, colonne), sqlAggiornaBlocco(tabella, colonne),
                                                 colonne);
    }
    int64_t inserisci(const QString& tabella, const QStringList& colonne, const std::vector<Valore>& valori) override {
        const auto r = ServerPg::EseguiParametri(db_->Pg(), sqlInserisci(tabella, colonne), parametriPg(valori),
                                                 kOrigineGestRecordset);
        return r.Righe() == 1 ? impaccaCtid(r.Testo(0, 0)) : 0;
    }
    void cancella(const QString& tabella, int64_t rowid) override {
        ServerPg::EseguiParametri(db_->Pg(), sqlCancella(tabella), {testoCtid(rowid)}, kOrigineGestRecordset);
    }
    std::optional<std::vector<Valore>> rileggiRiga(const QString& tabella, const QStringList& colonne,
                                              const std::vector<bool>& date, int64_t rowid) override {
        const auto r = ServerPg::EseguiParametri(db_->Pg(), sqlRileggi(tabella, colonne), {testoCtid(rowid)},
                                                 kOrigineGestRecordset);
        if (r.Righe() != 1) return std::nullopt;
        const std::vector<ServerPg::TipoPg> tipi = ServerPg::TipiDi(r);
        std::vector<Valore> valori;
        for (int k = 0; k < r.Colonne(); ++k)
            valori.push_back(ServerPg::ValoreDi(r, 0, k, tipi[static_cast<size_t>(k)], date[static_cast<size_t>(k)]));
        return valori;
    }

protected:
    // The program's tables are created unquoted, so their names are lower
    // case on the server; names in statements are quoted lower case.
    QString identificatore(const QString& nome) const override { return virgolette(nome.toLower()); }
    QString segnaposto(int i) const override { return QStringLiteral("$%1").arg(i); }
    QString rigaUguale(int i) const override { return QStringLiteral("ctid = $%1::tid").arg(i); }
    QString colonnaRiga() const override { return QStringLiteral("ctid"); }
    QString restituisciRiga() const override { return QStringLiteral(" RETURNING ctid"); }

private:
    // The rows of a block travel as one JSON array read into the table's own
    // row type, so each value takes its column's type as a single row's
    // parameter would; the ctids as an array beside it, in the same order.
    QString sqlAggiornaBlocco(const QString& tabella, const QStringList& colonne) const {
        const QString t = identificatore(tabella);
        QStringList assegna, scelte;
        for (const QString& c : colonne) {
            assegna << identificatore(c) + QStringLiteral(" = v.") + identificatore(c);
            scelte << QStringLiteral("r.") + identificatore(c);
        }
        return QStringLiteral("UPDATE %1 SET %2 FROM (SELECT %3, k.\"__riga\" FROM json_populate_recordset(NULL::%1, $1::json) "
                              "WITH ORDINALITY AS r JOIN unnest($2::tid[]) WITH ORDINALITY AS k(\"__riga\", \"__n\") "
                              "ON k.\"__n\" = r.ordinality) AS v WHERE %1.ctid = v.\"__riga\" RETURNING v.\"__riga\", %1.ctid")
            .arg(t, assegna.join(QLatin1String(", ")), scelte.join(QLatin1String(", ")));
    }

    class AggiornamentoPg final : public Aggiornamento {
    public:
        AggiornamentoPg(std::shared_ptr<Database> db, QString sql, QString sqlBlocco, const QStringList& colonne)
            : db_(std::move(db)), sql_(std::move(sql)), sqlBlocco_(std::move(sqlBlocco)) {
            for (const QString& c : colonne) chiavi_ << c.toLower();
        }
        std::vector<std::optional<int64_t>> eseguiBlocco(const std::vector<std::vector<Valore>>& valori,
                                                         const std::vector<int64_t>& rowid) override {
            if (rowid.size() == 1) return {esegui(valori[0], rowid[0])};
            QJsonArray righe;
            QByteArray ctid("{");
            for (size_t i = 0; i < rowid.size(); ++i) {
                QJsonObject riga;
                for (qsizetype c = 0; c < chiavi_.size(); ++c) {
                    const ServerPg::ParametroPg p = ServerPg::Parametro(valori[i][static_cast<size_t>(c)]);
                    riga.insert(chiavi_[c], p ? QJsonValue(QString::fromUtf8(*p)) : QJsonValue(QJsonValue::Null));
                }
                righe.append(riga);
                if (i > 0) ctid += ',';
                ctid += '"' + testoCtid(rowid[i]) + '"';
            }
            ctid += '}';
            const auto r = ServerPg::EseguiParametri(
                db_->Pg(), sqlBlocco_, {QJsonDocument(righe).toJson(QJsonDocument::Compact), ctid}, kOrigineGestRecordset);
            QHash<int64_t, int64_t> dove;
            for (int k = 0; k < r.Righe(); ++k) dove.insert(impaccaCtid(r.Testo(k, 0)), impaccaCtid(r.Testo(k, 1)));
            std::vector<std::optional<int64_t>> dopo;
            dopo.reserve(rowid.size());
            for (int64_t id : rowid) {
                const auto d = dove.constFind(id);
                dopo.push_back(d == dove.cend() ? std::nullopt : std::optional<int64_t>(*d));
            }
            return dopo;
        }
        std::optional<int64_t> esegui(const std::vector<Valore>& valori, int64_t rowid) override {
            auto p = parametriPg(valori);
            p.push_back(testoCtid(rowid));
            const auto r = ServerPg::EseguiParametri(db_->Pg(), sql_, p, kOrigineGestRecordset);
            if (r.Righe() != 1) return std::nullopt;
            return impaccaCtid(r.Testo(0, 0));
        }

    private:
        std::shared_ptr<Database> db_;
        QString sql_;
        QString sqlBlocco_;
        QStringList chiavi_;
    };
    std::shared_ptr<Database> db_;
    QString cursore_;
};

}  // namespace

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
    if (r->db->SuServer()) r->motore = std::make_unique<MotorePg>(r->db);
    else r->motore = std::make_unique<MotoreSqlite>(r->db);
    r->sql = sql;
    const AnalisiSql a = analizzaSql(sql);
    r->istanze = a.istanze;
    r->avanti = modo == kModoAvanti;
    r->motore->apri(*r, a, r->avanti);
    r->descriviColonne();
    if (r->avanti) r->passo();

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
    r.richiediAperto();
    if (r.avanti) {
        r.aggiornaAvanti(std::move(buffer));
        return;
    }

    if (stato == Recordset::Stato::Nuovo) {
        QStringList nomi;
        std::vector<Valore> valori;
        for (const auto& s : buffer) {
            nomi << s.colonna;
            valori.push_back(s.valore);
        }
        const int64_t rowid = r.motore->inserisci(r.istanze[0].tabella, nomi, valori);
        // The new row joins the set at its end; the position does not move.
        const bool eraAllaFine = r.fine();
        r.righe.Aggiungi(std::vector<Valore>(r.colonne.size()), {rowid});
        r.rileggi(r.righe.Righe() - 1, 0);
        if (eraAllaFine) r.corrente = r.righe.Righe();
        return;
    }

    const size_t riga = r.rigaCorrente();
    for (size_t ist = 0; ist < r.istanze.size(); ++ist) {
        const auto [nomi, valori] = Recordset::scrittureDi(buffer, ist);
        if (nomi.isEmpty()) continue;
        const int i = static_cast<int>(ist);
        const auto aggiornamento = r.motore->aggiornamento(r.istanze[ist].tabella, nomi, false);
        const int64_t dopo = r.aggiorna(*aggiornamento, i, valori, r.righe.Rowid(riga, i));
        if (dopo != r.righe.Rowid(riga, i)) r.righe.ImpostaRowid(riga, i, dopo);
        r.rileggi(riga, i);
    }
}

void GestRecordset::CancellaRec(const QString& chiave) {
    Recordset& r = rs(chiave);
    if (r.avanti) nonAmmessa(QStringLiteral("Cancellazione non ammessa in un record set in sola avanti."));
    r.richiediAggiornabile();
    if (r.istanze.size() != 1)
        errore(NumErroreDb::CampoNonAggiornabile, QStringLiteral("Cancellazione solo in una query su una tabella."));
    const size_t riga = r.rigaCorrente();
    r.motore->cancella(r.istanze[0].tabella, r.rowidAttuale(0, r.righe.Rowid(riga, 0)));
    r.righe.Cancella(riga);
}

void GestRecordset::ChiudiRecordset(const QString& chiave) {
    if (chiave == ultimaChiave_) ultimo_ = nullptr;
    aperti_.remove(chiave);
}
