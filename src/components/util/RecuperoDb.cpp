#include "components/util/RecuperoDb.h"

#include "components/db/ErroriDb.h"
#include "components/db/UsoDb.h"
#include "components/db/VerificaDb.h"
#include "components/util/RecuperoTabelle.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>
#include <sqlite3.h>
#include <cstdio>
#include <unistd.h>

static void inizRisorseSchemi() { Q_INIT_RESOURCE(schemi_sql); }

namespace {

Q_LOGGING_CATEGORY(logRecupero, "comiva.db")

// What SQLite keeps beside a database file and belongs to its content: the
// write-ahead log and the rollback journal of an interrupted write.
const QStringList kFileCompagni = {QStringLiteral("-wal"), QStringLiteral("-journal")};

int fallito(const QString& file, const QString& motivo) {
    qCWarning(logRecupero).noquote() << "recupero di" << file << "non riuscito:" << motivo;
    return 1;
}

// A write-ahead-log file says so in bytes 18 and 19 of its header.
bool inModoWal(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray testa = f.read(20);
    return testa.size() == 20 && testa.at(18) == 2 && testa.at(19) == 2;
}

QString primoValore(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    QString v;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return v;
}

bool esegui(sqlite3* db, const QString& sql, QString& motivo) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    motivo = QString::fromUtf8(sqlite3_errmsg(db)) + QStringLiteral(" in ") + sql;
    return false;
}

using RecuperoTabelle::nomeSql;

QString testoColonna(sqlite3_stmt* st, int i) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
}

using RecuperoTabelle::Connessione;

Connessione apri(const QString& file, int modo, QString& motivo) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db, modo, nullptr);
    if (rc != SQLITE_OK) motivo = QString::fromUtf8(sqlite3_errmsg(db));
    Connessione c(db, &sqlite3_close_v2);
    return rc == SQLITE_OK ? std::move(c) : Connessione(nullptr, &sqlite3_close_v2);
}

// With writable_schema on, a stored definition that does not parse fails
// the first statement only; the next one sees the rest of the schema.
bool prepara(sqlite3* db, const QString& sql, sqlite3_stmt** st) {
    const QByteArray testo = sql.toUtf8();
    for (int prova = 0; prova < 2; ++prova)
        if (sqlite3_prepare_v2(db, testo.constData(), -1, st, nullptr) == SQLITE_OK) return true;
    return false;
}

struct Oggetto {
    QString tipo, nome, tabella, sql;
    qint64 riga = 0;  // its row in sqlite_master
};

bool leggiSchema(sqlite3* db, QList<Oggetto>& schema, QString& motivo) {
    sqlite3_exec(db, "PRAGMA writable_schema = ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    int rc = SQLITE_ERROR;
    if (prepara(db,
                QStringLiteral("SELECT type, name, tbl_name, sql, rowid FROM sqlite_master WHERE sql IS NOT NULL "
                               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"),
                &st))
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            schema.append({testoColonna(st, 0), testoColonna(st, 1), testoColonna(st, 2), testoColonna(st, 3),
                           sqlite3_column_int64(st, 4)});
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) motivo = QStringLiteral("schema illeggibile: ") + QString::fromUtf8(sqlite3_errmsg(db));
    return rc == SQLITE_DONE;
}

// The program's own table definitions, by lower-case name: the schema
// scripts built into the library, run on an empty database, which then
// states each table as SQLite stores it.
const QHash<QString, QString>& definizioniProgramma() {
    static const QHash<QString, QString> definizioni = [] {
        inizRisorseSchemi();
        QHash<QString, QString> d;
        for (const QString& script : {QStringLiteral(":/schema/azienda.sql"), QStringLiteral(":/schema/condiviso.sql")}) {
            QFile f(script);
            QString motivo;
            const Connessione db = apri(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, motivo);
            if (!f.open(QIODevice::ReadOnly) || !db || !esegui(db.get(), QString::fromUtf8(f.readAll()), motivo)) {
                qCWarning(logRecupero).noquote() << "definizioni di" << script << "non lette:" << motivo;
                continue;
            }
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db.get(), "SELECT name, sql FROM sqlite_master WHERE type = 'table'", -1, &st, nullptr) ==
                SQLITE_OK)
                while (sqlite3_step(st) == SQLITE_ROW)
                    if (!d.contains(testoColonna(st, 0).toLower())) d.insert(testoColonna(st, 0).toLower(), testoColonna(st, 1));
            sqlite3_finalize(st);
        }
        return d;
    }();
    return definizioni;
}

// Whether a stored definition parses, tried on an empty database.
bool siLegge(const QString& sql) {
    QString motivo;
    const Connessione vuoto = apri(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, motivo);
    sqlite3_stmt* st = nullptr;
    const bool ok = vuoto && sqlite3_prepare_v2(vuoto.get(), sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK;
    sqlite3_finalize(st);
    return ok;
}

// A table whose stored definition no longer parses gets, in the copy being
// read, the definition RecuperoTabelle gives it (from the columns still
// readable in the text, else the program's), at the same root page, so that
// its rows are read from its pages as any table's. Returns those tables by
// name; the copy must be opened afresh to read them.
QHash<QString, RecuperoTabelle::Ripristino> ripristinaDefinizioni(sqlite3* lettore, const QList<Oggetto>& schema) {
    QHash<QString, RecuperoTabelle::Ripristino> ripristinate;
    for (const Oggetto& o : schema) {
        if (o.tipo != QLatin1String("table") || siLegge(o.sql)) continue;
        const RecuperoTabelle::Ripristino r =
            RecuperoTabelle::ripristina(o.nome, o.sql, definizioniProgramma().value(o.nome.toLower()));
        if (r.fonte == RecuperoTabelle::Ripristino::Fonte::Nessuna) continue;
        const QByteArray definizione = r.lettura.toUtf8();
        sqlite3_stmt* st = nullptr;
        bool ok = prepara(lettore, QStringLiteral("UPDATE sqlite_master SET sql = ?1 WHERE rowid = ?2"), &st);
        if (ok) {
            sqlite3_bind_text(st, 1, definizione.constData(), static_cast<int>(definizione.size()), SQLITE_STATIC);
            sqlite3_bind_int64(st, 2, o.riga);
            ok = sqlite3_step(st) == SQLITE_DONE;
        }
        sqlite3_finalize(st);
        if (ok)
            ripristinate.insert(o.nome, r);
        else
            qCWarning(logRecupero).noquote() << "definizione di" << o.nome << "non ripristinata:" << sqlite3_errmsg(lettore);
    }
    return ripristinate;
}

constexpr qsizetype kCaratteriChiave = 40;

// A value of a key as the user reads it.
QString leggibile(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return QStringLiteral("Null");
    case SQLITE_INTEGER: return QString::number(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT: return QString::number(sqlite3_column_double(st, i), 'g', 15);
    case SQLITE_BLOB: return QStringLiteral("(dati binari)");
    default: {
        // A key of garbage may hold line breaks and run long: one short line a row.
        QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        for (QChar& c : t)
            if (c.unicode() < 0x20) c = QChar::ReplacementCharacter;
        if (t.size() > kCaratteriChiave) t = t.left(kCaratteriChiave) + QStringLiteral("...");
        return QLatin1Char('\'') + t + QLatin1Char('\'');
    }
    }
}

// How many rows a table of the damaged file holds: its pages' counts, which
// stay readable when the rows on a page are not; the file's page map when the
// table's definition does not parse. Empty when a page of the table is
// unreadable as a page, since its rows can no longer be counted.
std::optional<qint64> righeRegistrate(sqlite3* db, const QString& tabella) {
    const QByteArray nome = tabella.toUtf8();
    for (const QString& sql :
         {QStringLiteral("SELECT count(*), 0 FROM %1 NOT INDEXED").arg(nomeSql(tabella)),
          QStringLiteral("SELECT sum(CASE WHEN pagetype = 'leaf' THEN ncell ELSE 0 END), "
                         "sum(CASE WHEN pagetype = 'corrupted' THEN 1 ELSE 0 END) FROM dbstat WHERE name = ?1")}) {
        sqlite3_stmt* st = nullptr;
        std::optional<qint64> n;
        if (prepara(db, sql, &st)) {
            sqlite3_bind_text(st, 1, nome.constData(), static_cast<int>(nome.size()), SQLITE_STATIC);
            if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL &&
                sqlite3_column_int64(st, 1) == 0)
                n = sqlite3_column_int64(st, 0);
        }
        sqlite3_finalize(st);
        if (n) return n;
    }
    return std::nullopt;
}

// A value of a read row kept past the row, and the values that name a
// registration or communication (RecuperoTabelle::Gruppo) of a suspicious row.
using ValoreTenuto = std::shared_ptr<sqlite3_value>;
struct ChiaveGruppo {
    std::vector<ValoreTenuto> valori;
    QString testo;  // the same values as the user reads them, which tells two keys apart
};

// Copies one table's rows into the new file. A damaged page stops a scan, so
// what is left is read from its other end too, and where both ends stop on
// damage the rowids between are halved until every readable row is reached
// (or the tries run out: rowids far apart under a damaged inner page).
class CopiaTabella {
public:
    // `colonne`: how many of the table's columns as read go into the new file
    // (-1: all), the others being spare ones that must read empty; `conforme`:
    // every row must fit, or the copy stops (nonConforme). `gruppo`: the
    // columns whose values are kept of each suspicious row.
    CopiaTabella(sqlite3* lettore, sqlite3* scrittore, const QString& tabella, int colonne, bool conforme,
                 const QStringList& gruppo)
        : scrittore_(scrittore), tabella_(tabella), conforme_(conforme) {
        const QString da = QStringLiteral("SELECT rowid, * FROM ") + nomeSql(tabella) +
                           QStringLiteral(" NOT INDEXED WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid");
        if (!prepara(lettore, da, &avanti_) || !prepara(lettore, da + QStringLiteral(" DESC"), &indietro_)) return;
        QStringList nomi, segnaposto{QStringLiteral("?1")};
        colonne_ = sqlite3_column_count(avanti_);
        vere_ = colonne < 0 ? colonne_ : std::min(colonne_, colonne + 1);
        nomi_ << QStringLiteral("rowid");
        nomi << QStringLiteral("rowid");
        for (int i = 1; i < colonne_; ++i) {
            nomi_ << QString::fromUtf8(sqlite3_column_name(avanti_, i));
            if (i >= vere_) continue;
            nomi << nomeSql(nomi_.last());
            segnaposto << QStringLiteral("?%1").arg(i + 1);
        }
        for (const QString& c : gruppo)
            for (int i = 1; i < vere_; ++i)
                if (nomi_[i].compare(c, Qt::CaseInsensitive) == 0) gruppo_ << i;
        if (gruppo_.size() != gruppo.size()) gruppo_.clear();
        leggiColonne(lettore, tabella);
        prepara(scrittore,
                QStringLiteral("INSERT INTO main.%1 (%2) VALUES (%3)")
                    .arg(nomeSql(tabella), nomi.join(QLatin1Char(',')), segnaposto.join(QLatin1Char(','))),
                &scrivi_);
    }
    ~CopiaTabella() {
        sqlite3_finalize(avanti_);
        sqlite3_finalize(indietro_);
        sqlite3_finalize(scrivi_);
    }
    CopiaTabella(const CopiaTabella&) = delete;
    CopiaTabella& operator=(const CopiaTabella&) = delete;

    // False when the table cannot be read by rowid or written.
    bool pronta() const { return scrivi_ != nullptr; }

    // False when the new file refused a write for a reason other than the row itself.
    bool copia(QString& motivo) {
        struct Intervallo {
            qint64 da, a;
        };
        QList<Intervallo> daLeggere{{std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()}};
        int tentativi = 0;
        while (!daLeggere.isEmpty() && errore_.isEmpty() && !nonConforme_) {
            auto [da, a] = daLeggere.takeLast();
            std::optional<qint64> ultimo;
            if (leggi(avanti_, da, a, true, ultimo)) continue;
            if (ultimo) {
                if (*ultimo == a) continue;
                da = *ultimo + 1;
            }
            ultimo.reset();
            if (leggi(indietro_, da, a, false, ultimo)) continue;
            if (ultimo) {
                if (*ultimo == da) continue;
                a = *ultimo - 1;
            }
            // Both ends of [da, a] are damaged; a single rowid there is lost.
            if (da >= a || ++tentativi > kTentativi) continue;
            const qint64 meta = static_cast<qint64>(static_cast<quint64>(da) +
                                                    (static_cast<quint64>(a) - static_cast<quint64>(da)) / 2);
            daLeggere << Intervallo{meta + 1, a} << Intervallo{da, meta};
        }
        motivo = errore_;
        return errore_.isEmpty();
    }
    qint64 salvate() const { return salvate_; }
    // Keys of the rows left out because a value of theirs cannot be read.
    const QStringList& sospette() const { return sospette_; }
    // Of those, the registrations or communications they belong to.
    const QList<ChiaveGruppo>& gruppiSospetti() const { return gruppiSospetti_; }
    // A row that must fit did not: the copy stopped, and what it wrote must go.
    bool nonConforme() const { return nonConforme_; }

private:
    static constexpr int kTentativi = 20000;

    // The kind of each column from its declared type, and the primary key's
    // columns (by position in the row read: the table's order, after the rowid).
    void leggiColonne(sqlite3* lettore, const QString& tabella) {
        using RecuperoTabelle::Genere;
        generi_.assign(static_cast<size_t>(colonne_), Genere::Libero);
        sqlite3_stmt* st = nullptr;
        QList<std::pair<int, int>> chiave;  // (position in the key, column)
        QString tipoUnico;
        if (prepara(lettore, QStringLiteral("PRAGMA table_info(%1)").arg(nomeSql(tabella)), &st))
            while (sqlite3_step(st) == SQLITE_ROW) {
                const int colonna = sqlite3_column_int(st, 0) + 1;
                if (colonna >= vere_) continue;
                generi_[static_cast<size_t>(colonna)] = RecuperoTabelle::genereDi(testoColonna(st, 2));
                if (const int pk = sqlite3_column_int(st, 5); pk > 0) {
                    chiave << std::pair{pk, colonna};
                    tipoUnico = testoColonna(st, 2);
                }
            }
        sqlite3_finalize(st);
        std::sort(chiave.begin(), chiave.end());
        for (const auto& [posizione, colonna] : chiave) chiave_ << colonna;
        // An INTEGER PRIMARY KEY is the rowid itself, whatever its size.
        if (chiave_.size() == 1 && tipoUnico.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
            generi_[static_cast<size_t>(chiave_[0])] = Genere::Libero;
    }

    QString chiaveDi(sqlite3_stmt* riga) const {
        if (chiave_.isEmpty()) return QStringLiteral("rowid ") + QString::number(sqlite3_column_int64(riga, 0));
        QStringList parti;
        for (int c : chiave_) parti << nomi_[c] + QLatin1Char(' ') + leggibile(riga, c);
        return parti.join(QStringLiteral(", "));
    }

    // Reads the rows of [da, a] in one direction; true when it reached the
    // end. A row out of rowid order is taken for damage, as SQLite would.
    bool leggi(sqlite3_stmt* st, qint64 da, qint64 a, bool crescente, std::optional<qint64>& ultimo) {
        sqlite3_bind_int64(st, 1, da);
        sqlite3_bind_int64(st, 2, a);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const qint64 rowid = sqlite3_column_int64(st, 0);
            // Garbage read as a row stays out of the new file; its rowid is
            // garbage too, so it says nothing of where the scan stands.
            if (sospetta(st)) {
                if (nonConforme_) break;
                continue;
            }
            if (ultimo && (crescente ? rowid <= *ultimo : rowid >= *ultimo)) break;
            if (!scrivi(st)) break;
            ultimo = rowid;
        }
        sqlite3_reset(st);
        return rc == SQLITE_DONE || !errore_.isEmpty() || nonConforme_;
    }

    // Whether a value of the row is one the program cannot read, or stands
    // past the table's last column; such a row is noted once, however many
    // scans meet it.
    bool sospetta(sqlite3_stmt* riga) {
        QStringList fuori;
        for (int i = 1; i < vere_; ++i)
            if (!RecuperoTabelle::leggibile(sqlite3_column_value(riga, i), generi_[static_cast<size_t>(i)])) fuori << nomi_[i];
        for (int i = vere_; i < colonne_; ++i)
            if (sqlite3_column_type(riga, i) != SQLITE_NULL) {
                fuori << QStringLiteral("valori oltre l'ultima colonna");
                break;
            }
        if (fuori.isEmpty()) return false;
        const QString chiave = chiaveDi(riga);
        if (conforme_) {
            nonConforme_ = true;
            qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1: la riga %2 non corrisponde alla definizione (%3)")
                                                    .arg(tabella_, chiave, fuori.join(QStringLiteral(", ")));
            return true;
        }
        if (giaViste_.contains({sqlite3_column_int64(riga, 0), chiave})) return true;
        giaViste_.insert({sqlite3_column_int64(riga, 0), chiave});
        sospette_ << chiave;
        qCWarning(logRecupero).noquote() << QStringLiteral("riga sospetta non copiata, %1: %2; valori non leggibili in %3")
                                                .arg(tabella_, chiave, fuori.join(QStringLiteral(", ")));
        tieniGruppo(riga);
        return true;
    }

    // The registration of a suspicious row, when the values that name it can be read.
    void tieniGruppo(sqlite3_stmt* riga) {
        if (gruppo_.isEmpty()) return;
        ChiaveGruppo g;
        QStringList testo;
        for (int c : gruppo_) {
            sqlite3_value* v = sqlite3_column_value(riga, c);
            if (sqlite3_value_type(v) == SQLITE_NULL || !RecuperoTabelle::leggibile(v, generi_[static_cast<size_t>(c)])) return;
            g.valori.emplace_back(sqlite3_value_dup(v), &sqlite3_value_free);
            testo << nomi_[c] + QLatin1Char(' ') + leggibile(riga, c);
        }
        g.testo = testo.join(QStringLiteral(", "));
        gruppiSospetti_ << g;
    }

    bool scrivi(sqlite3_stmt* riga) {
        for (int i = 0; i < vere_; ++i) sqlite3_bind_value(scrivi_, i + 1, sqlite3_column_value(riga, i));
        const int rc = sqlite3_step(scrivi_);
        sqlite3_reset(scrivi_);
        if (rc == SQLITE_DONE) ++salvate_;
        // A row the table's own rules refuse (garbage read as a row) is lost,
        // or, where the rows must fit, stops the copy; anything else is the
        // new file failing, and ends the recovery.
        else if ((rc & 0xff) == SQLITE_CONSTRAINT || (rc & 0xff) == SQLITE_MISMATCH || (rc & 0xff) == SQLITE_TOOBIG)
            nonConforme_ = conforme_;
        else
            errore_ = QString::fromUtf8(sqlite3_errmsg(scrittore_));
        return errore_.isEmpty() && !nonConforme_;
    }

    sqlite3* scrittore_;
    QString tabella_;
    bool conforme_;
    sqlite3_stmt* avanti_ = nullptr;
    sqlite3_stmt* indietro_ = nullptr;
    sqlite3_stmt* scrivi_ = nullptr;
    int colonne_ = 0;               // of the row read
    int vere_ = 0;                  // of those, the ones written: the rest are spare
    QStringList nomi_;              // of the row read: rowid, then the table's columns
    std::vector<RecuperoTabelle::Genere> generi_;  // by the same position
    QList<int> chiave_;             // positions of the primary key's columns
    QList<int> gruppo_;             // positions of the columns naming a registration
    qint64 salvate_ = 0;
    QStringList sospette_;
    QList<ChiaveGruppo> gruppiSospetti_;
    QSet<std::pair<qint64, QString>> giaViste_;  // rowid and key of each suspicious row
    bool nonConforme_ = false;
    QString errore_;
};

QString nonRicreato(const QString& tipo, const QString& nome, sqlite3* db) {
    static const QHash<QString, QString> nomi = {{QStringLiteral("index"), QStringLiteral("Indice %1 non ricreato")},
                                                 {QStringLiteral("view"), QStringLiteral("Vista %1 non ricreata")},
                                                 {QStringLiteral("trigger"), QStringLiteral("Trigger %1 non ricreato")}};
    return nomi.value(tipo).arg(nome) + ((sqlite3_errcode(db) & 0xff) == SQLITE_CONSTRAINT
                                             ? QStringLiteral(": righe con la stessa chiave")
                                             : QStringLiteral(": definizione illeggibile"));
}

// Takes out of the new file the rows of `tabella` that belong to the
// registration or communication `chiave` names, noting their keys; how many
// went, or -1 when the new file failed.
qint64 escludi(sqlite3* db, const QString& tabella, const QStringList& colonne, const ChiaveGruppo& chiave,
               QStringList& chiavi, QString& motivo) {
    QStringList condizioni, nomiChiave;
    for (qsizetype i = 0; i < colonne.size(); ++i) condizioni << nomeSql(colonne[i]) + QStringLiteral(" = ?%1").arg(i + 1);
    sqlite3_stmt* st = nullptr;
    if (prepara(db, QStringLiteral("PRAGMA main.table_info(%1)").arg(nomeSql(tabella)), &st)) {
        QList<std::pair<int, QString>> chiave;
        while (sqlite3_step(st) == SQLITE_ROW)
            if (const int pk = sqlite3_column_int(st, 5); pk > 0) chiave << std::pair{pk, testoColonna(st, 1)};
        std::sort(chiave.begin(), chiave.end());
        for (const auto& [posizione, nome] : chiave) nomiChiave << nome;
    }
    sqlite3_finalize(st);
    st = nullptr;
    const QString dove = QStringLiteral(" FROM main.") + nomeSql(tabella) + QStringLiteral(" WHERE ") + condizioni.join(QStringLiteral(" AND "));
    QStringList scelte;
    for (const QString& n : nomiChiave) scelte << nomeSql(n);
    // A table whose columns are not the program's (restored from another layout) keeps its rows.
    if (!prepara(db, QStringLiteral("SELECT rowid") + (scelte.isEmpty() ? QString() : QLatin1Char(',') + scelte.join(QLatin1Char(','))) + dove, &st))
        return 0;
    for (qsizetype i = 0; i < colonne.size(); ++i) sqlite3_bind_value(st, static_cast<int>(i + 1), chiave.valori[static_cast<size_t>(i)].get());
    qint64 n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList parti;
        for (int i = 0; i < nomiChiave.size(); ++i) parti << nomiChiave[i] + QLatin1Char(' ') + leggibile(st, i + 1);
        chiavi << (parti.isEmpty() ? QStringLiteral("rowid ") + QString::number(sqlite3_column_int64(st, 0)) : parti.join(QStringLiteral(", ")));
        qCWarning(logRecupero).noquote() << QStringLiteral("riga non copiata con la sua registrazione (%1), %2: %3")
                                                .arg(chiave.testo, tabella, chiavi.last());
        ++n;
    }
    sqlite3_finalize(st);
    st = nullptr;
    bool ok = n == 0 || prepara(db, QStringLiteral("DELETE") + dove, &st);
    if (ok && st) {
        for (qsizetype i = 0; i < colonne.size(); ++i) sqlite3_bind_value(st, static_cast<int>(i + 1), chiave.valori[static_cast<size_t>(i)].get());
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    if (!ok) motivo = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    return ok ? n : -1;
}

// The registrations or communications of `tabella` (which lost rows) that
// came back short in the new file: an index of the damaged file led by the
// group's key columns lives on pages of its own, so it still counts each
// key's rows where a page of the table can no longer be read. Nothing when no
// such index reads through.
std::optional<QList<ChiaveGruppo>> registrazioniIncomplete(sqlite3* lettore, sqlite3* db, const QString& tabella,
                                                           const QStringList& colonne) {
    QStringList indici;
    sqlite3_stmt* st = nullptr;
    if (prepara(lettore, QStringLiteral("PRAGMA index_list(%1)").arg(nomeSql(tabella)), &st))
        while (sqlite3_step(st) == SQLITE_ROW)
            if (sqlite3_column_int(st, 4) == 0) indici << testoColonna(st, 1);  // a partial index counts only some rows
    sqlite3_finalize(st);
    QStringList chiave;
    for (const QString& c : colonne) chiave << nomeSql(c);
    const QString perChiave = QStringLiteral("SELECT %1, count(*) FROM %2%3 GROUP BY %1").arg(chiave.join(QLatin1Char(',')));
    // Keys as the user reads them: their texts tell the two files' keys apart.
    const auto testoChiave = [&](sqlite3_stmt* riga) {
        QStringList parti;
        for (int i = 0; i < colonne.size(); ++i) parti << colonne[i] + QLatin1Char(' ') + leggibile(riga, i);
        return parti.join(QStringLiteral(", "));
    };
    for (const QString& indice : indici) {
        QStringList guida;
        st = nullptr;
        if (prepara(lettore, QStringLiteral("PRAGMA index_info(%1)").arg(nomeSql(indice)), &st))
            while (sqlite3_step(st) == SQLITE_ROW && guida.size() < colonne.size()) guida << testoColonna(st, 2).toLower();
        sqlite3_finalize(st);
        const bool adatto = guida.size() == colonne.size() && std::all_of(colonne.cbegin(), colonne.cend(), [&](const QString& c) {
                                return guida.contains(c.toLower());
                            });
        if (!adatto) continue;
        QList<std::pair<ChiaveGruppo, qint64>> contate;
        st = nullptr;
        int rc = SQLITE_ERROR;
        if (prepara(lettore, perChiave.arg(nomeSql(tabella), QStringLiteral(" INDEXED BY ") + nomeSql(indice)), &st))
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                ChiaveGruppo k;
                for (int i = 0; i < colonne.size(); ++i) {
                    if (sqlite3_column_type(st, i) == SQLITE_NULL) break;
                    k.valori.emplace_back(sqlite3_value_dup(sqlite3_column_value(st, i)), &sqlite3_value_free);
                }
                if (k.valori.size() != static_cast<size_t>(colonne.size())) continue;
                k.testo = testoChiave(st);
                contate.append({std::move(k), sqlite3_column_int64(st, static_cast<int>(colonne.size()))});
            }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1: indice %2 illeggibile: %3").arg(tabella, indice, sqlite3_errmsg(lettore));
            continue;
        }
        QHash<QString, qint64> copiate;
        st = nullptr;
        if (!prepara(db, perChiave.arg(QStringLiteral("main.") + nomeSql(tabella), QString()), &st)) return std::nullopt;
        while (sqlite3_step(st) == SQLITE_ROW) copiate.insert(testoChiave(st), sqlite3_column_int64(st, static_cast<int>(colonne.size())));
        sqlite3_finalize(st);
        QList<ChiaveGruppo> incomplete;
        for (auto& [k, n] : contate)
            if (copiate.value(k.testo) < n) {
                qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1: %2 righe di %3 nel file danneggiato, %4 salvate")
                                                        .arg(tabella)
                                                        .arg(n)
                                                        .arg(k.testo)
                                                        .arg(copiate.value(k.testo));
                incomplete << std::move(k);
            }
        return incomplete;
    }
    qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1: righe perse, e nessun indice leggibile dice di quali registrazioni")
                                            .arg(tabella);
    return std::nullopt;
}

// A registration or communication goes into the new file whole or not at
// all: when a row of its header or of its lines is suspicious, or was lost
// (registrazioniIncomplete), the others sharing its key are taken out too and named; when a table of the group
// could not be copied, the others are left out with it.
bool registrazioniIntere(sqlite3* db, EsitoRecupero& esito, QSet<QString>& create,
                         const QHash<QString, QList<ChiaveGruppo>>& sospette, QString& motivo) {
    for (const RecuperoTabelle::Gruppo& g : RecuperoTabelle::gruppi()) {
        QList<TabellaRecuperata*> membri;
        for (TabellaRecuperata& t : esito.tabelle)
            if (g.tabelle.contains(t.nome, Qt::CaseInsensitive)) membri << &t;
        const auto fuori = std::find_if(membri.cbegin(), membri.cend(), [&](const TabellaRecuperata* t) { return !create.contains(t->nome); });
        if (fuori != membri.cend()) {
            for (TabellaRecuperata* t : membri) {
                if (!create.contains(t->nome)) continue;
                if (!esegui(db, QStringLiteral("DROP TABLE main.") + nomeSql(t->nome), motivo)) return false;
                create.remove(t->nome);
                t->perse += t->salvate + t->sospette;
                t->salvate = t->sospette = 0;
                t->chiaviSospette.clear();
                t->messaDaParte = true;
                t->motivoDaParte = QStringLiteral("non copiata insieme a %1, perché ogni registrazione resti intera").arg((*fuori)->nome);
                qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1 %2").arg(t->nome, t->motivoDaParte);
            }
            continue;
        }
        QSet<QString> viste;
        for (const TabellaRecuperata* s : membri)
            for (const ChiaveGruppo& k : sospette.value(s->nome)) {
                if (viste.contains(k.testo)) continue;
                viste.insert(k.testo);
                for (TabellaRecuperata* t : membri) {
                    const qint64 n = escludi(db, t->nome, g.chiave, k, t->chiaviEscluse, motivo);
                    if (n < 0) return false;
                    t->salvate -= n;
                    t->escluse += n;
                }
            }
    }
    return true;
}

// What SQLite can still read of `danneggiato` goes into the new file `nuovo`:
// the tables whose definition parses or can be restored, every row of theirs
// that can be read and that the program reads (each registration whole),
// then the indexes (built anew from the rows, so a damaged index costs
// nothing), the views and the triggers; the version numbers of the file too.
// The damaged file is read on a connection of its own, so that its errors
// never touch the transaction that writes the new one.
bool copiaLeggibile(const QString& danneggiato, const QString& nuovo, EsitoRecupero& esito, QString& motivo) {
    using RecuperoTabelle::Ripristino;
    Connessione lettore = apri(danneggiato, SQLITE_OPEN_READWRITE, motivo);
    if (!lettore) return false;
    QList<Oggetto> schema;
    if (!leggiSchema(lettore.get(), schema, motivo)) return false;
    const QHash<QString, Ripristino> ripristinate = ripristinaDefinizioni(lettore.get(), schema);
    if (!ripristinate.isEmpty()) {
        // A connection keeps the schema it read; a fresh one reads the restored rows.
        lettore = apri(danneggiato, SQLITE_OPEN_READWRITE, motivo);
        schema.clear();
        if (!lettore || !leggiSchema(lettore.get(), schema, motivo)) return false;
    }
    const Connessione scrittore = apri(nuovo, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, motivo);
    if (!scrittore) return false;
    sqlite3* db = scrittore.get();
    if (!esegui(db, QStringLiteral("BEGIN"), motivo)) return false;
    QSet<QString> create;
    QHash<QString, QList<ChiaveGruppo>> gruppiSospetti;
    for (const Oggetto& o : schema) {
        if (o.tipo != QLatin1String("table")) continue;
        TabellaRecuperata t;
        t.nome = o.nome;
        const auto ripristino = ripristinate.constFind(o.nome);
        const bool ripristinata = ripristino != ripristinate.cend();
        // Rows read with a definition they may not fit are copied under a
        // savepoint, so that the table goes whole at the first that does not.
        const bool conforme = ripristinata && ripristino->conforme;
        if (conforme && !esegui(db, QStringLiteral("SAVEPOINT tabella"), motivo)) return false;
        const bool creata =
            sqlite3_exec(db, (ripristinata ? ripristino->sql : o.sql).toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        t.definizioneRipristinata = creata && ripristinata;
        t.definizioneDalTesto = t.definizioneRipristinata && ripristino->fonte == Ripristino::Fonte::Testo;
        t.definizioneLeggibile = creata && !ripristinata;
        if (creata) {
            const RecuperoTabelle::Gruppo* gruppo = RecuperoTabelle::gruppoDi(o.nome);
            CopiaTabella copia(lettore.get(), db, o.nome, ripristinata ? ripristino->colonne : -1, conforme,
                               gruppo ? gruppo->chiave : QStringList());
            if (copia.pronta() && !copia.copia(motivo)) return false;
            if (copia.nonConforme()) {
                if (!esegui(db, QStringLiteral("ROLLBACK TO tabella"), motivo)) return false;
                t.messaDaParte = true;
                t.motivoDaParte = ripristino->fonte == Ripristino::Fonte::Testo
                                      ? QStringLiteral("definizione illeggibile, righe che non corrispondono alle colonne ancora leggibili")
                                      : QStringLiteral("definizione illeggibile, righe che non corrispondono a quella del programma");
                qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1: %2, non copiata").arg(o.nome, t.motivoDaParte);
            } else {
                create.insert(o.nome);
                t.salvate = copia.salvate();
                t.chiaviSospette = copia.sospette();
                t.sospette = t.chiaviSospette.size();
                if (!copia.gruppiSospetti().isEmpty()) gruppiSospetti.insert(o.nome, copia.gruppiSospetti());
            }
        }
        if (conforme && !esegui(db, QStringLiteral("RELEASE tabella"), motivo)) return false;
        if (t.definizioneRipristinata && !t.messaDaParte)
            qCWarning(logRecupero).noquote() << (t.definizioneDalTesto
                                                     ? QStringLiteral("tabella %1: definizione illeggibile, ripristinata dalle colonne ancora leggibili")
                                                     : QStringLiteral("tabella %1: definizione illeggibile, ripristinata da quella del programma"))
                                                    .arg(o.nome);
        const std::optional<qint64> registrate = righeRegistrate(lettore.get(), o.nome);
        t.perseContate = registrate.has_value();
        t.perse = std::max<qint64>(0, registrate.value_or(0) - t.salvate - t.sospette);
        esito.tabelle << t;
    }
    // A registration that lost rows to an unreadable page goes as one with a suspicious row.
    for (const TabellaRecuperata& t : esito.tabelle) {
        const RecuperoTabelle::Gruppo* gruppo = RecuperoTabelle::gruppoDi(t.nome);
        if (!gruppo || !create.contains(t.nome) || (t.perse == 0 && t.perseContate)) continue;
        if (const auto incomplete = registrazioniIncomplete(lettore.get(), db, t.nome, gruppo->chiave))
            gruppiSospetti[t.nome] += *incomplete;
    }
    if (!registrazioniIntere(db, esito, create, gruppiSospetti, motivo)) return false;
    qint64 salvate = 0;
    bool perse = false;
    for (const TabellaRecuperata& t : esito.tabelle) {
        if (t.perse > 0 || !t.perseContate || t.sospette > 0 || t.escluse > 0)
            qCWarning(logRecupero).noquote() << QStringLiteral("tabella %1: %2 righe salvate, %3 sospette, %4 escluse con la loro registrazione, %5 %6")
                                                    .arg(t.nome)
                                                    .arg(t.salvate)
                                                    .arg(t.sospette)
                                                    .arg(t.escluse)
                                                    .arg(t.perseContate ? QString::number(t.perse) : QStringLiteral("altre"))
                                                    .arg(t.messaDaParte ? QStringLiteral("conservate nell'originale") : QStringLiteral("perse"));
        salvate += t.salvate;
        perse = perse || t.perse > 0 || !t.perseContate;
    }
    if (create.isEmpty() || (salvate == 0 && perse)) {
        motivo = QStringLiteral("nessuna riga leggibile");
        return false;
    }
    for (const QString& tipo : {QStringLiteral("index"), QStringLiteral("view"), QStringLiteral("trigger")})
        for (const Oggetto& o : schema) {
            // Those of a table left out go with it: the table is named already.
            if (o.tipo != tipo || (tipo != QLatin1String("view") && !create.contains(o.tabella))) continue;
            if (sqlite3_exec(db, o.sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK) continue;
            qCWarning(logRecupero).noquote() << o.nome << "non ricreato:" << sqlite3_errmsg(db);
            esito.nonRicreati << nonRicreato(tipo, o.nome, db);
        }
    const QString versione = primoValore(lettore.get(), "PRAGMA user_version");
    const QString applicazione = primoValore(lettore.get(), "PRAGMA application_id");
    return esegui(db, QStringLiteral("PRAGMA main.user_version = %1").arg(versione.toLongLong()), motivo) &&
           esegui(db, QStringLiteral("PRAGMA main.application_id = %1").arg(applicazione.toLongLong()), motivo) &&
           esegui(db, QStringLiteral("COMMIT"), motivo);
}

// The recovered file is whole and holds tables; it takes the original's journal mode.
bool verificaRecuperato(const QString& file, bool wal, QString& motivo) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        motivo = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        return false;
    }
    const QString integrita = primoValore(db, "PRAGMA integrity_check");
    const int tabelle =
        primoValore(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")
            .toInt();
    bool ok = integrita == QLatin1String("ok") && tabelle > 0;
    if (!ok) motivo = QStringLiteral("il file recuperato non è valido (%1, %2 tabelle)").arg(integrita).arg(tabelle);
    if (ok && wal && primoValore(db, "PRAGMA journal_mode=WAL").compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        motivo = QStringLiteral("impossibile impostare il registro WAL sul file recuperato");
        ok = false;
    }
    sqlite3_close_v2(db);
    return ok;
}

// Whether the file opens and passes its whole check, read only.
bool fileIntegro(const QString& file) {
    QString motivo;
    const Connessione db = apri(file, SQLITE_OPEN_READONLY, motivo);
    return db && primoValore(db.get(), "PRAGMA integrity_check") == QLatin1String("ok");
}

// Moves a database file with the files that belong to it; false when the
// file itself does not move (its companions then stay too).
bool spostaConCompagni(const QString& da, const QString& a) {
    if (!QFile::rename(da, a)) return false;
    QStringList spostati;
    for (const QString& s : kFileCompagni) {
        if (!QFile::exists(da + s)) continue;
        if (!QFile::rename(da + s, a + s)) {
            for (const QString& indietro : spostati) QFile::rename(a + indietro, da + indietro);
            QFile::rename(a, da);
            return false;
        }
        spostati << s;
    }
    return true;
}

// The recovered file `nuovo` takes the place of `file`, whose content and
// companions go to `danneggiato`. Where the file system allows a second name,
// the original keeps its place until the new file replaces it in one rename,
// so that an opening never meets a missing file; elsewhere the original is
// moved first. On failure everything is as it was.
bool scambia(const QString& file, const QString& danneggiato, const QString& nuovo) {
    const QByteArray f = QFile::encodeName(file), d = QFile::encodeName(danneggiato), n = QFile::encodeName(nuovo);
    if (::link(f.constData(), d.constData()) != 0) {
        if (!spostaConCompagni(file, danneggiato)) return false;
        if (std::rename(n.constData(), f.constData()) == 0) return true;
        spostaConCompagni(danneggiato, file);
        return false;
    }
    QStringList spostati;
    bool fatto = true;
    for (const QString& s : kFileCompagni) {
        if (!QFile::exists(file + s)) continue;
        if (!QFile::rename(file + s, danneggiato + s)) {
            fatto = false;
            break;
        }
        spostati << s;
    }
    if (fatto && std::rename(n.constData(), f.constData()) == 0) return true;
    for (const QString& s : spostati) QFile::rename(danneggiato + s, file + s);
    ::unlink(d.constData());
    return false;
}

}  // namespace

int recuperaDatabase(const QString& nome, EsitoRecupero* esito) {
    // The reason goes to the user too: some of them only the user can remove.
    const auto fallito = [esito](const QString& file, const QString& motivo) {
        if (esito) esito->motivo = motivo;
        return ::fallito(file, motivo);
    };
    if (!QFileInfo(nome).isFile()) return fallito(nome, QStringLiteral("il file non esiste"));
    // Held until the recovered file stands in the original's place: no
    // connection has the file open meanwhile, through any of its names, and
    // none opens it halfway through the swap.
    UsoDb::Esito uso;
    const UsoDb soloQui = UsoDb::Esclusivo(nome, uso);
    if (uso == UsoDb::Esito::Occupato) {
        qCWarning(logRecupero).noquote() << "recupero di" << nome << "non eseguito: il file è aperto altrove";
        return NumErroreDb::FileInUso;
    }
    if (uso != UsoDb::Esito::Preso)
        return fallito(nome, QStringLiteral("impossibile bloccare il file per averlo solo per sé"));
    // The file itself, links resolved: the link stays a link, now to the
    // recovered file, and the write-ahead log read is the one beside the file.
    const QString file = soloQui.File();
    const QFileInfo info(file);
    if (esito) esito->file = file;
    // A second hard name would go on naming the damaged original beside the
    // recovered file: two databases where there was one.
    if (soloQui.Nomi() > 1)
        return fallito(file, QStringLiteral("il file ha %1 nomi (collegamenti fisici): va lasciato un nome solo")
                                 .arg(soloQui.Nomi()));
    // Beside the file, so that the recovered one reaches its place by a rename.
    QTemporaryDir lavoro(info.absolutePath() + QStringLiteral("/.recupero-XXXXXX"));
    if (!lavoro.isValid()) return fallito(file, lavoro.errorString());
    const QString copia = lavoro.filePath(QStringLiteral("copia.db"));
    if (!QFile::copy(file, copia)) return fallito(file, QStringLiteral("copia non riuscita"));
    for (const QString& s : kFileCompagni)
        if (QFile::exists(file + s) && !QFile::copy(file + s, copia + s))
            return fallito(file, QStringLiteral("copia di %1 non riuscita").arg(file + s));

    // A repair that another terminal finished while this one waited for its
    // answer removed the mark: a file without a mark whose copy reads whole
    // is left as it stands (the check costs a read only in this rare case).
    if (!daVerificare(file) && fileIntegro(copia)) {
        qCInfo(logRecupero).noquote() << "recupero di" << file << "non eseguito: il file è già integro";
        if (esito) esito->giaIntegro = true;
        return 0;
    }

    const QString nuovo = lavoro.filePath(QStringLiteral("recuperato.db"));
    QString motivo;
    EsitoRecupero letto;
    if (!copiaLeggibile(copia, nuovo, letto, motivo) || !verificaRecuperato(nuovo, inModoWal(copia), motivo))
        return fallito(file, motivo);

    const QString estensione = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString danneggiato = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                                QStringLiteral("-danneggiato-") +
                                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + estensione;
    if (QFile::exists(danneggiato)) return fallito(file, danneggiato + QStringLiteral(" esiste già"));
    if (!scambia(file, danneggiato, nuovo))
        return fallito(file, QStringLiteral("impossibile mettere il file recuperato al posto di quello danneggiato"));
    // The shared-memory index of the old file would not match the new one.
    QFile::remove(file + QStringLiteral("-shm"));
    // The new file passed its whole check: the next opening need not read it all.
    togliSegnoVerifica(file);
    qCInfo(logRecupero).noquote() << "database" << file << "recuperato; l'originale danneggiato è" << danneggiato;
    letto.originale = danneggiato;
    letto.file = file;
    if (esito) *esito = letto;
    return 0;
}

bool TabellaRecuperata::daSegnalare() const {
    return perse > 0 || !perseContate || !definizioneLeggibile || sospette > 0 || escluse > 0 || messaDaParte;
}

bool EsitoRecupero::conPerdite() const {
    return !nonRicreati.isEmpty() ||
           std::any_of(tabelle.cbegin(), tabelle.cend(), [](const TabellaRecuperata& t) { return t.daSegnalare(); });
}

namespace {

// Suspicious rows named in the box, table by table; the log names them all.
constexpr int kSospetteNelBox = 20;

QString righe(qint64 n, const char* una, const char* molte) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? una : molte);
}

QString conti(const TabellaRecuperata& t) {
    QString testo = righe(t.salvate, "riga salvata", "righe salvate");
    if (t.sospette > 0) testo += QStringLiteral(", ") + righe(t.sospette, "sospetta", "sospette");
    if (t.escluse > 0) testo += QStringLiteral(", ") + righe(t.escluse, "esclusa con la sua registrazione", "escluse con la loro registrazione");
    return testo + QStringLiteral(", ") +
           (t.perseContate ? righe(t.perse, "persa", "perse") : QStringLiteral("numero di righe perse non noto"));
}

}  // namespace

QString EsitoRecupero::resoconto(const QString& file) const {
    if (giaIntegro)
        return QStringLiteral("Il database ") + file +
               QStringLiteral(" risulta già recuperato su un altro terminale ed è integro: non è stato modificato.");
    QStringList testo{QStringLiteral("Il database ") + file + QStringLiteral(" è stato recuperato.")};
    QStringList nominate, sospette, escluse;
    for (const TabellaRecuperata& t : tabelle) {
        if (!t.daSegnalare()) continue;
        if (t.messaDaParte)
            nominate << t.nome + QStringLiteral(": ") + t.motivoDaParte + QStringLiteral(": tabella non copiata, conservata intera nell'originale (") +
                            (t.perseContate ? righe(t.perse, "riga", "righe") : QStringLiteral("numero di righe non noto")) + QLatin1Char(')');
        else if (t.definizioneDalTesto)
            nominate << t.nome + QStringLiteral(": definizione illeggibile, ripristinata dalle colonne ancora leggibili; ") + conti(t);
        else if (t.definizioneRipristinata)
            nominate << t.nome + QStringLiteral(": definizione illeggibile, ripristinata da quella del programma; ") + conti(t);
        else if (!t.definizioneLeggibile)
            nominate << t.nome + QStringLiteral(": definizione illeggibile, tabella non recuperata (") +
                            (t.perseContate ? righe(t.perse, "riga persa", "righe perse") : QStringLiteral("numero di righe perse non noto")) +
                            QLatin1Char(')');
        else
            nominate << t.nome + QStringLiteral(": ") + conti(t);
        for (const QString& chiave : t.chiaviSospette.mid(0, kSospetteNelBox)) sospette << t.nome + QStringLiteral(": ") + chiave;
        if (t.chiaviSospette.size() > kSospetteNelBox)
            sospette << t.nome + QStringLiteral(": altre %1 righe sospette, elencate nel registro del programma")
                                     .arg(t.chiaviSospette.size() - kSospetteNelBox);
        for (const QString& chiave : t.chiaviEscluse.mid(0, kSospetteNelBox)) escluse << t.nome + QStringLiteral(": ") + chiave;
        if (t.chiaviEscluse.size() > kSospetteNelBox)
            escluse << t.nome + QStringLiteral(": altre %1 righe escluse, elencate nel registro del programma")
                                    .arg(t.chiaviEscluse.size() - kSospetteNelBox);
    }
    if (!nominate.isEmpty()) testo << QStringLiteral("Tabelle con righe perse o sospette, o con la definizione ripristinata:") << nominate;
    const qsizetype resto = tabelle.size() - nominate.size();
    if (resto > 0)
        testo << (nominate.isEmpty() ? (resto == 1 ? QStringLiteral("L'unica tabella: tutte le righe salvate")
                                                   : QStringLiteral("Le %1 tabelle: tutte le righe salvate").arg(resto))
                                     : (resto == 1 ? QStringLiteral("Un'altra tabella: tutte le righe salvate")
                                                   : QStringLiteral("Altre %1 tabelle: tutte le righe salvate").arg(resto)));
    if (!sospette.isEmpty())
        testo << QStringLiteral("Righe sospette (valori non validi per la colonna), non copiate nel nuovo file: "
                                "da verificare nell'originale conservato")
              << sospette;
    if (!escluse.isEmpty())
        testo << QStringLiteral("Righe della stessa registrazione di una riga sospetta o persa, non copiate perché la registrazione "
                                "resti intera: da verificare nell'originale conservato")
              << escluse;
    testo << nonRicreati;
    testo << QStringLiteral("L'originale danneggiato è stato conservato come ") + originale;
    return testo.join(QLatin1Char('\n'));
}
