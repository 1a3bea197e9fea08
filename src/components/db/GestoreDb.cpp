#include "components/db/GestoreDb.h"

#include "components/core/ErroreRun.h"
#include "components/db/ParametriSql.h"
#include "components/util/Percorsi.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

// A second process waits this long for a lock before the statement fails.
constexpr int kAttesaBloccoMs = 5000;

bool iniziaCon(const QString& s, const QString& prefisso) {
    return s.startsWith(prefisso, Qt::CaseInsensitive);
}

[[noreturn]] void errore(long numero, const QString& testo) {
    throw ErroreRun(numero, testo, kOrigineGestoreDb);
}

void esegui(sqlite3* db, const char* sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        const QString testo = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db));
        const int codice = sqlite3_errcode(db);
        sqlite3_free(msg);
        if (codice == SQLITE_NOTADB)
            errore(NumErrore::FileNonDatabase, QStringLiteral("Il file non è un database riconosciuto (%1).").arg(testo));
        errore(NumErrore::ErroreSql, testo);
    }
}

}  // namespace

bool NomeDbOdbc(const QString& nome) {
    if (iniziaCon(nome, QStringLiteral("ODBC;"))) return true;
    if (nome.endsWith(QStringLiteral(".dsn"), Qt::CaseInsensitive)) return true;
    return !nome.contains(QLatin1Char('.'));
}

Database::Database(sqlite3* db, QString id, QString file) : db_(db), id_(std::move(id)), file_(std::move(file)) {}

Database::~Database() { Chiudi(); }

void Database::Chiudi() {
    for (sqlite3_stmt* st : std::as_const(preparate_)) sqlite3_finalize(st);
    preparate_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

sqlite3_stmt* Database::Preparata(const QByteArray& modello) {
    if (sqlite3_stmt* st = preparate_.value(modello)) return st;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v3(Handle(), modello.constData(), static_cast<int>(modello.size()), SQLITE_PREPARE_PERSISTENT,
                           &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return nullptr;
    }
    // A handful of patterns is what a run uses; others come and go.
    if (preparate_.size() >= 32) {
        for (sqlite3_stmt* vecchia : std::as_const(preparate_)) sqlite3_finalize(vecchia);
        preparate_.clear();
    }
    preparate_.insert(modello, st);
    return st;
}

sqlite3* Database::Handle() const {
    if (!db_)
        errore(NumErroreDb::DatabaseChiuso, QStringLiteral("Il database \"%1\" è stato chiuso.").arg(id_));
    return db_;
}

void Database::Errore(const QString& sql, const QString& origine) const {
    const int codice = sqlite3_errcode(db_);
    QString testo = QString::fromUtf8(sqlite3_errmsg(db_));
    if (codice == SQLITE_NOTADB)
        throw ErroreRun(NumErrore::FileNonDatabase, QStringLiteral("Il file non è un database riconosciuto (%1).").arg(testo), origine);
    if (!sql.isEmpty()) testo += QStringLiteral(" (istruzione: %1)").arg(sql.simplified());
    throw ErroreRun(NumErrore::ErroreSql, QStringLiteral("Errore del database: ") + testo, origine);
}

bool Database::EsisteTabella(const QString& nome) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(Handle(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
                           -1, &st, nullptr) != SQLITE_OK)
        Errore({});
    const QByteArray n = nome.toUtf8();
    sqlite3_bind_text(st, 1, n.constData(), n.size(), SQLITE_STATIC);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Errore({});
    return rc == SQLITE_ROW;
}

GestoreDb::GestoreDb() = default;
GestoreDb::~GestoreDb() = default;

QString GestoreDb::ApriDatabase(const QString& nome, int, bool, bool, const QString& connect) {
    if (iniziaCon(connect.trimmed(), QStringLiteral("ODBC;")) || (!nome.trimmed().isEmpty() && NomeDbOdbc(nome.trimmed())))
        errore(NumErroreDb::FormatoNonSupportato,
               QStringLiteral("Il database \"%1\" è una sorgente ODBC: sono supportati solo file di database.")
                   .arg(nome.trimmed().isEmpty() ? connect.trimmed() : nome.trimmed()));
    const QString file = PercorsoLocale(nome.trimmed());
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile())
        errore(NumErroreDb::FileDbNonTrovato, QStringLiteral("Impossibile trovare il file di database \"%1\".").arg(nome));
    // SQLite would take an empty file for an empty database and start writing
    // into it; a zero-length file is a damaged database, not a new one.
    if (info.size() == 0)
        errore(NumErrore::FileNonDatabase, QStringLiteral("Il file \"%1\" non è un database riconosciuto (file vuoto).").arg(nome));

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString testo = QString::fromUtf8(db ? sqlite3_errmsg(db) : "memoria esaurita");
        sqlite3_close_v2(db);
        errore(NumErrore::ErroreSql, QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(nome, testo));
    }
    try {
        sqlite3_busy_timeout(db, kAttesaBloccoMs);
        // WAL: readers never block the writer and a commit does not wait for
        // the disk; synchronous NORMAL keeps the file consistent after a crash.
        esegui(db, "PRAGMA journal_mode=WAL");
        esegui(db, "PRAGMA synchronous=NORMAL");
        // Result columns named as written in the query ("Causali_1.TipoCausale"),
        // so that a record set can tell aliased tables apart.
        esegui(db, "PRAGMA short_column_names=OFF");
        esegui(db, "PRAGMA full_column_names=OFF");
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    const QString id = QStringLiteral("DB%1").arg(prossimoId_++);
    database_.insert(id, std::make_shared<Database>(db, id, file));
    return id;
}

Valore GestoreDb::LeggiProprieta(const QString& nome, int) const {
    if (nome.endsWith(QStringLiteral(":DbTipoSql"), Qt::CaseInsensitive)) return Valore(false);
    return proprieta_.value(nome.toLower());
}

void GestoreDb::ScriviProprieta(const QString& nome, int, const Valore& valore) {
    proprieta_.insert(nome.toLower(), valore);
}

void GestoreDb::EseguiSql(const QString& id, const QString& sql, int) {
    const auto d = DatabaseDaId(id);
    sqlite3* db = d->Handle();
    d->recordsAffected_ = 0;
    // An insert of literals runs through its compiled pattern; one that does
    // not compile goes the plain way, which reports the error on its text.
    if (const auto p = ParametrizzaInserimento(sql)) {
        if (sqlite3_stmt* st = d->Preparata(p->modello)) {
            int i = 1;
            for (const ParametroSql& v : p->parametri) {
                if (v.tipo == ParametroSql::Tipo::Intero) sqlite3_bind_int64(st, i, v.intero);
                else sqlite3_bind_text(st, i, v.testo.constData(), static_cast<int>(v.testo.size()), SQLITE_STATIC);
                ++i;
            }
            const sqlite3_int64 prima = sqlite3_total_changes64(db);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
            if (rc != SQLITE_DONE) d->Errore(sql);
            d->recordsAffected_ = sqlite3_total_changes64(db) != prima ? static_cast<long>(sqlite3_changes64(db)) : 0;
            return;
        }
    }
    const QByteArray testo = sql.toUtf8();
    const char* resto = testo.constData();
    const char* fine = resto + testo.size();
    while (resto < fine) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, resto, static_cast<int>(fine - resto), &st, &resto) != SQLITE_OK) d->Errore(sql);
        if (!st) continue;  // blanks or a comment
        const sqlite3_int64 prima = sqlite3_total_changes64(db);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) d->Errore(sql);
        // sqlite3_changes keeps the count of the last INSERT, UPDATE or DELETE
        // even after other kinds of statement: only a change counts.
        d->recordsAffected_ = sqlite3_total_changes64(db) != prima ? static_cast<long>(sqlite3_changes64(db)) : 0;
    }
}

std::shared_ptr<Database> GestoreDb::DatabaseDaId(const QString& id) const {
    const auto d = database_.value(id);
    if (!d) errore(NumErroreDb::DatabaseChiuso, QStringLiteral("Nessun database aperto con l'identificativo \"%1\".").arg(id));
    return d;
}

void GestoreDb::ChiudiDatabase(const QString& id) {
    const auto d = database_.take(id);
    if (d) d->Chiudi();
}

void GestoreDb::IniziaTransazione(const QString& id) {
    // IMMEDIATE takes the write lock at once, so that two writers wait for
    // each other instead of failing halfway through.
    EseguiSql(id, QStringLiteral("BEGIN IMMEDIATE"));
}

void GestoreDb::ConfermaTransazione(const QString& id) { EseguiSql(id, QStringLiteral("COMMIT")); }

void GestoreDb::AnnullaTransazione(const QString& id) {
    const auto d = DatabaseDaId(id);
    if (!sqlite3_get_autocommit(d->Handle())) EseguiSql(id, QStringLiteral("ROLLBACK"));
}
