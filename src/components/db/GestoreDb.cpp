#include "components/db/GestoreDb.h"

#include "components/core/ErroreRun.h"
#include "components/db/ParametriSql.h"
#include "components/db/ServerPg.h"
#include "components/db/VerificaDb.h"
#include "components/util/Percorsi.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <cerrno>
#include <optional>
#include <vector>
#include <sqlite3.h>

namespace {

Q_LOGGING_CATEGORY(logDb, "comiva.db")

bool iniziaCon(const QString& s, const QString& prefisso) {
    return s.startsWith(prefisso, Qt::CaseInsensitive);
}

[[noreturn]] void errore(long numero, const QString& testo) {
    throw ErroreRun(numero, testo, kOrigineGestoreDb);
}

void esegui(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw ErroreDaSqlite(db, QString::fromLatin1(sql), kOrigineGestoreDb);
}

// The first value of a one-value statement, "" when there is none.
QString valore(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        throw ErroreDaSqlite(db, QString::fromLatin1(sql), kOrigineGestoreDb);
    QString v;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    } else if (rc != SQLITE_DONE) {
        const GuastoSqlite guasto = GuastoSqlite::di(db);
        sqlite3_finalize(st);
        throw ErroreDaSqlite(guasto, QString::fromLatin1(sql), kOrigineGestoreDb);
    }
    sqlite3_finalize(st);
    return v;
}

// What the engine names after "constraint failed: " (table.column), shown in brackets.
QString oggettoVincolo(const QString& messaggio) {
    const qsizetype i = messaggio.indexOf(QLatin1String(": "));
    return i < 0 ? QString() : QStringLiteral(" (%1)").arg(messaggio.mid(i + 2).trimmed());
}

// A table or column the engine's message says is missing, with the name it gives.
struct OggettoMancante {
    bool trovato = false;
    bool tabella = false;
    QString nome;
};

OggettoMancante oggettoMancante(const QString& messaggio) {
    static const QRegularExpression tabella(QStringLiteral("^no such table: (?:main\\.)?(\\S+)"));
    static const QRegularExpression colonna(QStringLiteral("^no such column: (\\S+)"));
    static const QRegularExpression inserita(QStringLiteral("^table (\\S+) has no column named (\\S+)"));
    if (const auto m = tabella.match(messaggio); m.hasMatch()) return {true, true, m.captured(1)};
    if (const auto m = colonna.match(messaggio); m.hasMatch()) return {true, false, m.captured(1)};
    if (const auto m = inserita.match(messaggio); m.hasMatch())
        return {true, false, m.captured(1) + QLatin1Char('.') + m.captured(2)};
    return {};
}

// What a result code the layer gives no number of its own means, in Italian.
QString descrizioneCodice(int codiceEsteso) {
    switch (codiceEsteso & 0xFF) {
    case SQLITE_ERROR: return QStringLiteral("istruzione SQL non valida o non accettata dal database");
    case SQLITE_MISMATCH: return QStringLiteral("tipo di dato non corrispondente");
    case SQLITE_TOOBIG: return QStringLiteral("testo o dato troppo grande");
    case SQLITE_RANGE: return QStringLiteral("parametro fuori dall'intervallo");
    case SQLITE_SCHEMA: return QStringLiteral("la struttura del database è cambiata durante l'operazione");
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT: return QStringLiteral("operazione annullata");
    default: return QStringLiteral("operazione non eseguita dal database");
    }
}

}  // namespace

ErroreRun ErroreDaSqlite(int codiceEsteso, const QString& messaggio, const QString& sql, const QString& origine,
                         int errnoSistema) {
    {
        QString riga = QStringLiteral("errore %1 %2").arg(codiceEsteso).arg(messaggio);
        if (errnoSistema != 0) riga += QStringLiteral(" (errno %1)").arg(errnoSistema);
        if (!sql.isEmpty()) riga += QStringLiteral(" nell'istruzione: ") + sql.simplified();
        qCWarning(logDb).noquote() << riga;
    }
    auto e = [&](long numero, const QString& testo) { return ErroreRun(numero, testo, origine); };
    const auto discoPieno = [&] {
        return e(NumErroreDb::DiscoPieno,
                 QStringLiteral("Spazio su disco insufficiente: il database non può essere aggiornato."));
    };
    switch (codiceEsteso & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return e(NumErroreDb::DatabaseBloccato,
                 QStringLiteral("Il database è in uso da parte di un altro utente o programma e non è disponibile in "
                                "questo momento. Riprovare più tardi."));
    case SQLITE_READONLY:
        return e(NumErroreDb::SolaLettura,
                 QStringLiteral("Impossibile aggiornare: il database, il suo file o la sua cartella sono di sola "
                                "lettura."));
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return e(NumErroreDb::FileNonApribile,
                 QStringLiteral("Impossibile aprire o scrivere il file del database: il file o la sua cartella non "
                                "sono accessibili con i permessi dell'utente."));
    case SQLITE_FULL:
        return discoPieno();
    case SQLITE_IOERR:
        // The engine says SQLITE_FULL only for the database file itself: a
        // write-ahead log or shared-memory file that cannot grow is an I/O
        // error, whose cause is the system's error number.
        if (codiceEsteso == SQLITE_IOERR_SHMSIZE || errnoSistema == ENOSPC || errnoSistema == EDQUOT)
            return discoPieno();
        return e(NumErroreDb::ErroreDisco, QStringLiteral("Errore del disco o della rete durante l'accesso al database."));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return e(NumErrore::FileNonDatabase,
                 QStringLiteral("Il file non è un database riconosciuto oppure è danneggiato."));
    case SQLITE_NOMEM:
        return e(NumErrore::MemoriaEsaurita, QStringLiteral("Memoria esaurita."));
    case SQLITE_CONSTRAINT:
        switch (codiceEsteso) {
        case SQLITE_CONSTRAINT_UNIQUE:
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            return e(NumErroreDb::ValoriDuplicati,
                     QStringLiteral("Modifica non eseguita: creerebbe valori duplicati nella chiave o in un indice") +
                         oggettoVincolo(messaggio) + QLatin1Char('.'));
        case SQLITE_CONSTRAINT_NOTNULL:
            return e(NumErroreDb::CampoObbligatorio,
                     QStringLiteral("Modifica non eseguita: un campo obbligatorio è vuoto") + oggettoVincolo(messaggio) +
                         QLatin1Char('.'));
        case SQLITE_CONSTRAINT_FOREIGNKEY:
            return e(NumErroreDb::RecordCorrelatoMancante,
                     QStringLiteral("Modifica non eseguita: manca il record correlato richiesto."));
        default:
            return e(NumErroreDb::RegolaConvalida,
                     QStringLiteral("Modifica non eseguita: uno o più valori non rispettano le regole della tabella") +
                         oggettoVincolo(messaggio) + QLatin1Char('.'));
        }
    default:
        break;
    }
    // A statement the engine refuses: a table or column the database lacks
    // has a text of its own, anything else is told by its kind and code. The
    // engine's words (English, naming its internals) are in the log above.
    if (const OggettoMancante m = oggettoMancante(messaggio); m.trovato)
        return e(m.tabella ? NumErroreDb::TabellaInesistente : NumErroreDb::CampoInesistente,
                 TestoStrutturaNonAggiornata(m.tabella, m.nome));
    return e(NumErrore::ErroreSql, QStringLiteral("Errore del database: ") + descrizioneCodice(codiceEsteso) +
                                       QStringLiteral(" (codice %1).").arg(codiceEsteso));
}

GuastoSqlite GuastoSqlite::di(sqlite3* db) {
    // First of all: any call below may leave errno changed.
    const int errnoChiamata = errno;
    GuastoSqlite g;
    g.codice = sqlite3_extended_errcode(db);
    g.messaggio = QString::fromUtf8(sqlite3_errmsg(db));
    g.errnoSistema = sqlite3_system_errno(db);
    // The engine keeps the system's error only for failures met while a
    // statement runs; one met at its commit (the log written and synced) is
    // the file system's last error, which its VFS reads from errno: the
    // errno of the failing call, as taken above.
    if (g.errnoSistema == 0 && (g.codice & 0xFF) == SQLITE_IOERR) {
        sqlite3_vfs* vfs = nullptr;
        if (sqlite3_file_control(db, nullptr, SQLITE_FCNTL_VFS_POINTER, &vfs) == SQLITE_OK && vfs && vfs->xGetLastError) {
            errno = errnoChiamata;
            g.errnoSistema = vfs->xGetLastError(vfs, 0, nullptr);
        }
    }
    return g;
}

std::optional<GuastoSqlite> GuastoSqlite::delPasso(sqlite3* db, int rc) {
    if (rc == SQLITE_DONE) return std::nullopt;
    return di(db);
}

ErroreRun ErroreDaSqlite(const GuastoSqlite& guasto, const QString& sql, const QString& origine) {
    return ErroreDaSqlite(guasto.codice, guasto.messaggio, sql, origine, guasto.errnoSistema);
}

ErroreRun ErroreDaSqlite(sqlite3* db, const QString& sql, const QString& origine) {
    return ErroreDaSqlite(GuastoSqlite::di(db), sql, origine);
}

bool NomeDbOdbc(const QString& nome) {
    if (iniziaCon(nome, QStringLiteral("ODBC;"))) return true;
    if (nome.endsWith(QStringLiteral(".dsn"), Qt::CaseInsensitive)) return true;
    return !nome.contains(QLatin1Char('.'));
}

Database::Database(sqlite3* db, QString id, QString file, UsoDb uso)
    : db_(db), id_(std::move(id)), file_(std::move(file)), uso_(std::move(uso)) {}

Database::Database(pg_conn* pg, QString id, QString origine)
    : pg_(pg), server_(true), id_(std::move(id)), file_(std::move(origine)) {}

Database::~Database() { Chiudi(); }

void Database::Chiudi() {
    for (sqlite3_stmt* st : std::as_const(preparate_)) sqlite3_finalize(st);
    preparate_.clear();
    if (db_) {
        // A statement still open keeps the file open past the close: its
        // share then goes with the process, so that no recovery swaps the
        // file under it.
        if (sqlite3_next_stmt(db_, nullptr)) {
            qCWarning(logDb).noquote() << "database" << file_ << "chiuso con istruzioni aperte: resta in uso fino alla fine del programma";
            static std::vector<UsoDb> trattenuti;
            trattenuti.push_back(std::move(uso_));
        }
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
    uso_.Rilascia();
    ServerPg::Chiudi(pg_);
    pg_ = nullptr;
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
    if (server_)
        errore(NumErroreDb::FormatoNonSupportato,
               QStringLiteral("Operazione non disponibile per il database \"%1\" su server: è ammessa solo sui file di "
                              "database.")
                   .arg(file_));
    if (!db_)
        errore(NumErroreDb::DatabaseChiuso, QStringLiteral("Il database \"%1\" è stato chiuso.").arg(id_));
    return db_;
}

pg_conn* Database::Pg() const {
    if (!server_)
        errore(NumErroreDb::FormatoNonSupportato,
               QStringLiteral("Il database \"%1\" è un file, non un database su server.").arg(file_));
    if (!pg_)
        errore(NumErroreDb::DatabaseChiuso, QStringLiteral("Il database \"%1\" è stato chiuso.").arg(id_));
    return pg_;
}

void Database::Errore(const QString& sql, const QString& origine) const { Errore(GuastoSqlite::di(db_), sql, origine); }

void Database::Errore(const GuastoSqlite& guasto, const QString& sql, const QString& origine) const {
    // Damage met by the work is found only here, since no opening reads the
    // whole file: the next opening checks it.
    notaErroreMotore(file_, guasto.codice, guasto.messaggio);
    throw ErroreDaSqlite(guasto, sql, origine);
}

bool Database::EsisteTabella(const QString& nome) {
    if (server_) return ServerPg::EsisteTabella(Pg(), nome);
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
        return apriSuServer(nome, connect);
    const QString file = PercorsoLocale(nome.trimmed());
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile())
        errore(NumErroreDb::FileDbNonTrovato, QStringLiteral("Impossibile trovare il file di database \"%1\".").arg(nome));
    // SQLite would take an empty file for an empty database and start writing
    // into it; a zero-length file is a damaged database, not a new one.
    if (info.size() == 0)
        errore(NumErrore::FileNonDatabase, QStringLiteral("Il file \"%1\" non è un database riconosciuto (file vuoto).").arg(nome));

    // The share first: a recovery swapping the file is then over, and the
    // file opened below is the one that stands. It is a lock on the file
    // itself, which any user who may read the file can take: a file system
    // that refuses it would leave the session unseen by a recovery on
    // another terminal, so the opening is refused instead.
    UsoDb::Esito esitoUso;
    UsoDb uso = UsoDb::Condiviso(file, attesaBloccoMs_, esitoUso);
    if (esitoUso == UsoDb::Esito::Occupato)
        errore(NumErroreDb::DatabaseBloccato,
               QStringLiteral("Impossibile aprire il database \"%1\": è in corso il suo recupero su un altro terminale. "
                              "Riprovare più tardi.")
                   .arg(nome));
    if (esitoUso != UsoDb::Esito::Preso)
        errore(NumErroreDb::FileNonApribile,
               QStringLiteral("Impossibile aprire il database \"%1\": il file non si può leggere, o la cartella condivisa "
                              "che lo contiene non ne permette il blocco, necessario perché un recupero da un altro "
                              "terminale non lo sostituisca mentre è aperto.")
                   .arg(nome));
    // Links resolved: the file opened, its mark and its companions are the
    // file's own, whatever name it was asked by.
    const QString vero = uso.File();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(vero.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const ErroreRun e = db ? ErroreDaSqlite(db, QString(), kOrigineGestoreDb)
                               : ErroreRun(NumErrore::MemoriaEsaurita, QStringLiteral("Memoria esaurita."), kOrigineGestoreDb);
        sqlite3_close_v2(db);
        throw ErroreRun(e.numero(), QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(nome, e.descrizione()),
                        kOrigineGestoreDb);
    }
    try {
        sqlite3_busy_timeout(db, attesaBloccoMs_);
        // The journal mode stays the file's: changing it needs every other
        // connection gone. With a write-ahead log, synchronous NORMAL keeps
        // the file consistent after a crash; a rollback journal keeps FULL.
        // Reading the schema tells a file that is not a database at once. The
        // rest is not read here: a check of the whole file costs seconds on a
        // company of some hundred megabytes, and SQLite tells a damaged page
        // when the work reads it. Only a file on which damage or a disk failure
        // was met is checked whole, before any work lands on it.
        valore(db, "SELECT count(*) FROM sqlite_master");
        // The mark as it stands before the check: one written again while the
        // check runs tells damage the check may have read past, and stays.
        if (const QByteArray segno = segnoVerifica(vero); !segno.isNull()) {
            if (const QString esito = valore(db, "PRAGMA integrity_check(1)"); esito != QLatin1String("ok")) {
                qCWarning(logDb).noquote() << "controllo di" << vero << "fallito:" << esito;
                errore(NumErrore::FileNonDatabase,
                       QStringLiteral("Impossibile aprire il database \"%1\": il file è danneggiato.").arg(vero));
            }
            verificato(vero, segno);
        }
        // Each page is checked more closely as it is read, so that damage is
        // told where the work meets it rather than read as data.
        esegui(db, "PRAGMA cell_size_check=ON");
        if (valore(db, "PRAGMA journal_mode").compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
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
    database_.insert(id, std::make_shared<Database>(db, id, vero, std::move(uso)));
    return id;
}

QString GestoreDb::apriSuServer(const QString& nome, const QString& connect) {
    ServerPg::Origine o = ServerPg::OrigineDaNome(nome, connect);
    if (o.utente.isEmpty()) o.utente = proprieta_.value(QStringLiteral("dbsqlpubuid")).testo().trimmed();
    if (o.password.isEmpty()) o.password = proprieta_.value(QStringLiteral("dbsqlpubpwd")).testo();
    pg_conn* c = ServerPg::Connetti(o, attesaBloccoMs_);
    const QString id = QStringLiteral("DB%1").arg(prossimoId_++);
    database_.insert(id, std::make_shared<Database>(c, id, o.servizio));
    return id;
}

Valore GestoreDb::LeggiProprieta(const QString& nome, int) const {
    static const QString tipoSql = QStringLiteral(":DbTipoSql");
    if (nome.endsWith(tipoSql, Qt::CaseInsensitive)) {
        const auto d = database_.value(nome.left(nome.size() - tipoSql.size()));
        return Valore(d && d->SuServer());
    }
    return proprieta_.value(nome.toLower());
}

void GestoreDb::ScriviProprieta(const QString& nome, int, const Valore& valore) {
    proprieta_.insert(nome.toLower(), valore);
}

void GestoreDb::EseguiSql(const QString& id, const QString& sql, int) {
    const auto d = DatabaseDaId(id);
    d->recordsAffected_ = 0;
    if (d->SuServer()) {
        d->recordsAffected_ = ServerPg::Esegui(d->Pg(), sql, kOrigineGestoreDb);
        return;
    }
    sqlite3* db = d->Handle();
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
            const std::optional<GuastoSqlite> guasto = GuastoSqlite::delPasso(db, rc);
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
            if (guasto) d->Errore(*guasto, sql);
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
        const std::optional<GuastoSqlite> guasto = GuastoSqlite::delPasso(db, rc);
        sqlite3_finalize(st);
        if (guasto) d->Errore(*guasto, sql);
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
    const auto d = DatabaseDaId(id);
    if (!d->SuServer()) {
        // IMMEDIATE takes the write lock at once, so that two writers wait for
        // each other instead of failing halfway through.
        EseguiSql(id, QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    // The server locks rows, not the database: the program's transactions
    // take one lock of the database's own, so that they follow one another
    // as on a file, and one that waits too long fails before any work.
    EseguiSql(id, QStringLiteral("BEGIN"));
    try {
        EseguiSql(id, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(ServerPg::kChiaveTransazioni));
    } catch (...) {
        ServerPg::Esegui(d->Pg(), QStringLiteral("ROLLBACK"), kOrigineGestoreDb);
        throw;
    }
}

void GestoreDb::ConfermaTransazione(const QString& id) { EseguiSql(id, QStringLiteral("COMMIT")); }

void GestoreDb::AggiornaStatistiche(const QString& id, const QStringList& tabelle) {
    if (tabelle.isEmpty() || !DatabaseDaId(id)->SuServer()) return;
    QStringList nomi;
    for (const QString& t : tabelle) nomi << QLatin1Char('"') + t.toLower() + QLatin1Char('"');
    // Only the planner gains by it: the run's work is committed already, so a
    // failure here is logged and never reported as the run's.
    try {
        EseguiSql(id, QStringLiteral("ANALYZE ") + nomi.join(QLatin1String(", ")));
    } catch (const ErroreRun& e) {
        qCWarning(logDb).noquote() << "statistiche non aggiornate:" << e.descrizione();
    }
}

void GestoreDb::AnnullaTransazione(const QString& id) {
    const auto d = DatabaseDaId(id);
    const bool aperta = d->SuServer() ? ServerPg::InTransazione(d->Pg()) : !sqlite3_get_autocommit(d->Handle());
    if (aperta) EseguiSql(id, QStringLiteral("ROLLBACK"));
}
