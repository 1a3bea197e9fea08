#include "components/util/RecuperoDb.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <sqlite3.h>

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

QString nomeSql(const QString& nome) { return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); }

// Copies a table's rows in rowid order until the first one SQLite cannot
// read; a row the new table refuses is left out. Returns the rows copied.
qint64 copiaRighe(sqlite3* db, const QString& tabella, qint64& persi) {
    sqlite3_stmt* leggi = nullptr;
    sqlite3_stmt* scrivi = nullptr;
    qint64 copiate = 0;
    const QString t = nomeSql(tabella);
    if (sqlite3_prepare_v2(db, (QStringLiteral("SELECT * FROM danneggiato.") + t).toUtf8().constData(), -1, &leggi,
                           nullptr) == SQLITE_OK) {
        const int colonne = sqlite3_column_count(leggi);
        QStringList segnaposto;
        for (int i = 1; i <= colonne; ++i) segnaposto << QStringLiteral("?%1").arg(i);
        if (sqlite3_prepare_v2(db,
                               (QStringLiteral("INSERT INTO main.") + t + QStringLiteral(" VALUES (") +
                                segnaposto.join(QLatin1Char(',')) + QLatin1Char(')'))
                                   .toUtf8()
                                   .constData(),
                               -1, &scrivi, nullptr) == SQLITE_OK) {
            int rc;
            while ((rc = sqlite3_step(leggi)) == SQLITE_ROW) {
                for (int i = 0; i < colonne; ++i) sqlite3_bind_value(scrivi, i + 1, sqlite3_column_value(leggi, i));
                if (sqlite3_step(scrivi) == SQLITE_DONE) ++copiate;
                else ++persi;
                sqlite3_reset(scrivi);
            }
            if (rc != SQLITE_DONE)
                qCWarning(logRecupero).noquote() << "tabella" << tabella << "letta fino alla riga" << copiate
                                                 << "poi:" << sqlite3_errmsg(db);
        }
    }
    sqlite3_finalize(scrivi);
    sqlite3_finalize(leggi);
    return copiate;
}

// What SQLite can still read of `danneggiato` goes into the new file `nuovo`:
// the schema, each table's rows up to the first damaged page, then the
// indexes (built anew from the rows, so a damaged index costs nothing), the
// views and the triggers; the version numbers of the file too.
bool copiaLeggibile(const QString& danneggiato, const QString& nuovo, QString& motivo) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(nuovo.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        motivo = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        return false;
    }
    auto chiudi = [&](bool esito) {
        sqlite3_close_v2(db);
        return esito;
    };
    sqlite3_stmt* st = nullptr;
    struct Oggetto {
        QString tipo, nome, sql;
    };
    QList<Oggetto> schema;
    const QByteArray percorso = danneggiato.toUtf8();
    if (sqlite3_prepare_v2(db, "ATTACH DATABASE ?1 AS danneggiato", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, percorso.constData(), static_cast<int>(percorso.size()), SQLITE_STATIC);
        sqlite3_step(st);
    }
    if (sqlite3_finalize(st) != SQLITE_OK) {
        motivo = QString::fromUtf8(sqlite3_errmsg(db));
        return chiudi(false);
    }
    if (sqlite3_prepare_v2(db,
                           "SELECT type, name, sql FROM danneggiato.sqlite_master WHERE sql IS NOT NULL "
                           "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                           -1, &st, nullptr) != SQLITE_OK) {
        motivo = QString::fromUtf8(sqlite3_errmsg(db));
        return chiudi(false);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        schema.append({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                       QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                       QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)))});
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        motivo = QStringLiteral("schema illeggibile: ") + QString::fromUtf8(sqlite3_errmsg(db));
        return chiudi(false);
    }
    const QString versione = primoValore(db, "PRAGMA danneggiato.user_version");
    const QString applicazione = primoValore(db, "PRAGMA danneggiato.application_id");
    if (!esegui(db, QStringLiteral("BEGIN"), motivo)) return chiudi(false);
    for (const Oggetto& o : schema)
        if (o.tipo == QLatin1String("table") && !esegui(db, o.sql, motivo)) return chiudi(false);
    qint64 persi = 0;
    for (const Oggetto& o : schema)
        if (o.tipo == QLatin1String("table")) copiaRighe(db, o.nome, persi);
    if (persi > 0) qCWarning(logRecupero) << persi << "righe rifiutate dalle tabelle recuperate";
    for (const QString& tipo : {QStringLiteral("index"), QStringLiteral("view"), QStringLiteral("trigger")})
        for (const Oggetto& o : schema)
            if (o.tipo == tipo && !esegui(db, o.sql, motivo)) return chiudi(false);
    if (!esegui(db, QStringLiteral("PRAGMA main.user_version = %1").arg(versione.toLongLong()), motivo) ||
        !esegui(db, QStringLiteral("PRAGMA main.application_id = %1").arg(applicazione.toLongLong()), motivo) ||
        !esegui(db, QStringLiteral("COMMIT"), motivo))
        return chiudi(false);
    return chiudi(esegui(db, QStringLiteral("DETACH DATABASE danneggiato"), motivo));
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

}  // namespace

int recuperaDatabase(const QString& nome) {
    const QFileInfo info(nome);
    if (!info.isFile()) return fallito(nome, QStringLiteral("il file non esiste"));
    const QString file = info.absoluteFilePath();
    // Beside the file, so that the recovered one reaches its place by a rename.
    QTemporaryDir lavoro(info.absolutePath() + QStringLiteral("/.recupero-XXXXXX"));
    if (!lavoro.isValid()) return fallito(file, lavoro.errorString());
    const QString copia = lavoro.filePath(QStringLiteral("copia.db"));
    if (!QFile::copy(file, copia)) return fallito(file, QStringLiteral("copia non riuscita"));
    for (const QString& s : kFileCompagni)
        if (QFile::exists(file + s) && !QFile::copy(file + s, copia + s))
            return fallito(file, QStringLiteral("copia di %1 non riuscita").arg(file + s));

    const QString nuovo = lavoro.filePath(QStringLiteral("recuperato.db"));
    QString motivo;
    if (!copiaLeggibile(copia, nuovo, motivo) || !verificaRecuperato(nuovo, inModoWal(copia), motivo))
        return fallito(file, motivo);

    const QString estensione = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString danneggiato = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                                QStringLiteral("-danneggiato-") +
                                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + estensione;
    if (QFile::exists(danneggiato)) return fallito(file, danneggiato + QStringLiteral(" esiste già"));
    if (!spostaConCompagni(file, danneggiato))
        return fallito(file, QStringLiteral("impossibile rinominare il file danneggiato"));
    if (!QFile::rename(nuovo, file)) {
        spostaConCompagni(danneggiato, file);
        return fallito(file, QStringLiteral("impossibile mettere il file recuperato al suo posto"));
    }
    // The shared-memory index of the old file would not match the new one.
    QFile::remove(file + QStringLiteral("-shm"));
    qCInfo(logRecupero).noquote() << "database" << file << "recuperato; l'originale danneggiato è" << danneggiato;
    return 0;
}
