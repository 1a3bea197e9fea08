#include "support/Fixture.h"
#include "support/NumeroErrore.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/db/VerificaDb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cerrno>
#include <functional>
#include <sqlite3.h>

namespace {

QString scriviFile(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(dati);
    return percorso;
}

// A database made by another program: rollback journal, the engine's default.
QString creaDatabaseEsterno(const QString& file, const char* modo = "DELETE") {
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    const QByteArray sql = QByteArray("PRAGMA journal_mode=") + modo + ";"
        "CREATE TABLE Righe (Id INTEGER PRIMARY KEY, Testo TEXT NOT NULL, Qta INTEGER CHECK (Qta >= 0),"
        " Padre INTEGER REFERENCES Righe (Id));"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)"
        " INSERT INTO Righe (Id, Testo, Qta) SELECT i, printf('riga %03d con un testo lungo abbastanza', i), i FROM n;";
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return file;
}

QString modoGiornale(GestoreDb& g, const QString& id) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(g.DatabaseDaId(id)->Handle(), "PRAGMA journal_mode", -1, &st, nullptr);
    QString modo;
    if (sqlite3_step(st) == SQLITE_ROW) modo = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return modo;
}

}  // namespace

TEST(GestoreDb, KeepsTheFilesJournalModeAndOpensWhileAnotherConnectionReads) {
    QTemporaryDir dir;
    const QString rollback = creaDatabaseEsterno(dir.filePath("esterno.db"));
    const QString wal = creaDatabaseEsterno(dir.filePath("proprio.db"), "WAL");
    // Another process in the middle of a read holds the file's shared lock.
    sqlite3* lettore = nullptr;
    ASSERT_EQ(sqlite3_open(rollback.toUtf8().constData(), &lettore), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(lettore, "BEGIN; SELECT count(*) FROM Righe;", nullptr, nullptr, nullptr), SQLITE_OK);

    GestoreDb g;
    g.ImpostaAttesaBlocco(200);  // a failure here is a lock that is never let go
    const QString id = g.ApriDatabase(rollback);
    EXPECT_EQ(modoGiornale(g, id), "delete");
    EXPECT_EQ(modoGiornale(g, g.ApriDatabase(wal)), "wal");

    // A write cannot commit under the reader: the user is told the database
    // is in use, not how the statement read.
    const auto e = erroreDi([&] { g.EseguiSql(id, "UPDATE Righe SET Qta = Qta + 1 WHERE Id = 1"); });
    EXPECT_EQ(e.numero(), NumErroreDb::DatabaseBloccato);
    EXPECT_TRUE(e.descrizione().contains("in uso da parte di un altro utente")) << e.descrizione().toStdString();
    EXPECT_FALSE(e.descrizione().contains("UPDATE"));
    g.AnnullaTransazione(id);

    ASSERT_EQ(sqlite3_exec(lettore, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    g.EseguiSql(id, "UPDATE Righe SET Qta = Qta + 1 WHERE Id = 1");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 1);
    EXPECT_EQ(modoGiornale(g, id), "delete");
    sqlite3_close(lettore);
}

TEST(GestoreDb, EngineFailuresReachTheUserAsNumberedItalianErrorsWithoutTheStatement) {
    QTemporaryDir dir;
    GestoreDb g;
    const QString id = g.ApriDatabase(creaDatabaseEsterno(dir.filePath("ditta.db")));
    struct Caso {
        const char* nome;
        const char* prima = "";  // settings of the connection for the case
        const char* sql;
        long numero;
        const char* nelTesto;
    } casi[] = {
        {.nome = "chiave duplicata", .sql = "INSERT INTO Righe (Id, Testo) VALUES (1, 'doppia')",
         .numero = NumErroreDb::ValoriDuplicati, .nelTesto = "valori duplicati nella chiave o in un indice (Righe.Id)"},
        {.nome = "campo obbligatorio", .sql = "INSERT INTO Righe (Id) VALUES (900)",
         .numero = NumErroreDb::CampoObbligatorio, .nelTesto = "campo obbligatorio è vuoto (Righe.Testo)"},
        {.nome = "regola della tabella", .sql = "UPDATE Righe SET Qta = -1 WHERE Id = 2",
         .numero = NumErroreDb::RegolaConvalida, .nelTesto = "non rispettano le regole della tabella"},
        {.nome = "record correlato", .prima = "PRAGMA foreign_keys = ON",
         .sql = "INSERT INTO Righe (Id, Testo, Padre) VALUES (901, 'figlia', 999)",
         .numero = NumErroreDb::RecordCorrelatoMancante, .nelTesto = "manca il record correlato"},
        {.nome = "sola lettura", .prima = "PRAGMA query_only = 1", .sql = "DELETE FROM Righe WHERE Id = 3",
         .numero = NumErroreDb::SolaLettura, .nelTesto = "di sola lettura"},
        {.nome = "disco pieno", .prima = "PRAGMA max_page_count = 1",
         .sql = "INSERT INTO Righe (Id, Testo) VALUES (902, hex(zeroblob(200000)))",
         .numero = NumErroreDb::DiscoPieno, .nelTesto = "Spazio su disco insufficiente"},
        // A database of an older structure: the text names what is missing.
        {.nome = "tabella inesistente", .sql = "DELETE FROM Inesistente WHERE Id = 4",
         .numero = NumErroreDb::TabellaInesistente,
         .nelTesto = "La tabella Inesistente non esiste nel database: la struttura del database dell'azienda non è "
                     "aggiornata"},
        {.nome = "campo inesistente", .sql = "UPDATE Righe SET Qta = 1 WHERE Righe.Manca = 5",
         .numero = NumErroreDb::CampoInesistente, .nelTesto = "Il campo Righe.Manca non esiste nel database"},
        {.nome = "campo inesistente in un inserimento", .sql = "INSERT INTO Righe (Id, Testo, Manca) VALUES (903, 'x', 1)",
         .numero = NumErroreDb::CampoInesistente, .nelTesto = "Il campo Righe.Manca non esiste nel database"},
        {.nome = "istruzione non valida", .sql = "UPDATE Righe SE Qta = 1",
         .numero = NumErrore::ErroreSql, .nelTesto = "Errore del database: istruzione SQL non valida"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        // Each case on a fresh connection, so that its settings stay its own.
        const QString idCaso = g.ApriDatabase(dir.filePath("ditta.db"));
        if (*c.prima) g.EseguiSql(idCaso, QString::fromUtf8(c.prima));
        const auto e = erroreDi([&] { g.EseguiSql(idCaso, QString::fromUtf8(c.sql)); });
        EXPECT_EQ(e.numero(), c.numero);
        EXPECT_TRUE(e.descrizione().contains(QString::fromUtf8(c.nelTesto))) << e.descrizione().toStdString();
        EXPECT_FALSE(e.descrizione().contains(QString::fromUtf8(c.sql).left(12))) << e.descrizione().toStdString();
        // The engine's own words are for the log, not for the user.
        for (const char* inglese : {"no such", "syntax", "has no column", "constraint failed"})
            EXPECT_FALSE(e.descrizione().contains(QLatin1String(inglese))) << e.descrizione().toStdString();
        EXPECT_EQ(e.origine(), "GestoreDb");
        g.ChiudiDatabase(idCaso);
    }
    // Nothing of the refused statements went in.
    g.EseguiSql(id, "UPDATE Righe SET Qta = Qta");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 200);
}

namespace {

// A disk that fills up under a database in write-ahead-log mode: a file
// system wrapped around the engine's own, failing as the engine's own does on
// a full disk when the log or the shared-memory file must grow (an I/O error,
// the system's error number behind it). It stands in as the default while
// installed.
class DiscoGuasto {
public:
    enum Guasto { ScritturaLog, CrescitaMemoriaCondivisa };
    DiscoGuasto(Guasto guasto, int errnoSistema) {
        base_ = sqlite3_vfs_find(nullptr);
        guasto_ = guasto;
        errno_ = errnoSistema;
        vfs_ = *base_;
        vfs_.zName = "disco-guasto";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + base_->szOsFile;
        vfs_.xOpen = &Apri;
        // As the engine's own: the system's last error is errno, whatever
        // ran since the failure.
        vfs_.xGetLastError = [](sqlite3_vfs*, int, char*) { return errno; };
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~DiscoGuasto() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(base_, 1);
    }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file* reale;
        bool log;
    };
    static sqlite3_file* Reale(sqlite3_file* f) { return reinterpret_cast<File*>(f)->reale; }
    static int Apri(sqlite3_vfs*, const char* nome, sqlite3_file* f, int flags, int* uscita) {
        auto* s = reinterpret_cast<File*>(f);
        s->reale = reinterpret_cast<sqlite3_file*>(s + 1);
        s->log = (flags & SQLITE_OPEN_WAL) != 0;
        const int rc = base_->xOpen(base_, nome, s->reale, flags, uscita);
        if (rc != SQLITE_OK || !s->reale->pMethods) {
            s->base.pMethods = nullptr;
            return rc;
        }
        metodi_ = *s->reale->pMethods;
        metodi_.xClose = [](sqlite3_file* f) { return Reale(f)->pMethods->xClose(Reale(f)); };
        metodi_.xRead = [](sqlite3_file* f, void* p, int n, sqlite3_int64 o) { return Reale(f)->pMethods->xRead(Reale(f), p, n, o); };
        metodi_.xWrite = [](sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
            if (reinterpret_cast<File*>(f)->log && guasto_ == ScritturaLog) {
                errno = errno_;
                return SQLITE_IOERR_WRITE;
            }
            return Reale(f)->pMethods->xWrite(Reale(f), p, n, o);
        };
        metodi_.xTruncate = [](sqlite3_file* f, sqlite3_int64 n) { return Reale(f)->pMethods->xTruncate(Reale(f), n); };
        metodi_.xSync = [](sqlite3_file* f, int fl) { return Reale(f)->pMethods->xSync(Reale(f), fl); };
        metodi_.xFileSize = [](sqlite3_file* f, sqlite3_int64* n) { return Reale(f)->pMethods->xFileSize(Reale(f), n); };
        metodi_.xLock = [](sqlite3_file* f, int l) { return Reale(f)->pMethods->xLock(Reale(f), l); };
        metodi_.xUnlock = [](sqlite3_file* f, int l) { return Reale(f)->pMethods->xUnlock(Reale(f), l); };
        metodi_.xCheckReservedLock = [](sqlite3_file* f, int* r) { return Reale(f)->pMethods->xCheckReservedLock(Reale(f), r); };
        metodi_.xFileControl = [](sqlite3_file* f, int op, void* a) { return Reale(f)->pMethods->xFileControl(Reale(f), op, a); };
        metodi_.xSectorSize = [](sqlite3_file* f) { return Reale(f)->pMethods->xSectorSize(Reale(f)); };
        metodi_.xDeviceCharacteristics = [](sqlite3_file* f) { return Reale(f)->pMethods->xDeviceCharacteristics(Reale(f)); };
        metodi_.xShmMap = [](sqlite3_file* f, int i, int n, int b, void volatile** p) {
            if (guasto_ == CrescitaMemoriaCondivisa) {
                errno = errno_;
                return SQLITE_IOERR_SHMSIZE;
            }
            return Reale(f)->pMethods->xShmMap(Reale(f), i, n, b, p);
        };
        metodi_.xShmLock = [](sqlite3_file* f, int o, int n, int fl) { return Reale(f)->pMethods->xShmLock(Reale(f), o, n, fl); };
        metodi_.xShmBarrier = [](sqlite3_file* f) { Reale(f)->pMethods->xShmBarrier(Reale(f)); };
        metodi_.xShmUnmap = [](sqlite3_file* f, int d) { return Reale(f)->pMethods->xShmUnmap(Reale(f), d); };
        metodi_.xFetch = [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return Reale(f)->pMethods->xFetch(Reale(f), o, n, p); };
        metodi_.xUnfetch = [](sqlite3_file* f, sqlite3_int64 o, void* p) { return Reale(f)->pMethods->xUnfetch(Reale(f), o, p); };
        s->base.pMethods = &metodi_;
        return rc;
    }

    static inline sqlite3_vfs* base_ = nullptr;
    static inline sqlite3_io_methods metodi_{};
    static inline Guasto guasto_ = ScritturaLog;
    static inline int errno_ = 0;
    sqlite3_vfs vfs_{};
};

}  // namespace

// The engine calls a full disk SQLITE_FULL only for the database file: met
// while the write-ahead log or its shared-memory file grows, it is an I/O
// error, which the system's error number tells from a failing disk.
TEST(GestoreDb, AFullDiskWhileTheLogGrowsIsADiskFull) {
    QTemporaryDir dir;
    const QString file = creaDatabaseEsterno(dir.filePath("wal.db"), "WAL");
    struct Caso {
        const char* nome;
        DiscoGuasto::Guasto guasto;
        int errnoSistema;
        long numero;
        // The failure is marked beside the file (VerificaDb.h): where the
        // mark cannot be written, that failure must not name the disk's.
        bool segnoNonScrivibile = false;
    } casi[] = {
        {"log, disco pieno", DiscoGuasto::ScritturaLog, ENOSPC, NumErroreDb::DiscoPieno},
        {"log, disco pieno, segno non scrivibile", DiscoGuasto::ScritturaLog, ENOSPC, NumErroreDb::DiscoPieno, true},
        {"log, quota esaurita", DiscoGuasto::ScritturaLog, EDQUOT, NumErroreDb::DiscoPieno},
        {"log, disco guasto", DiscoGuasto::ScritturaLog, EIO, NumErroreDb::ErroreDisco},
        {"memoria condivisa", DiscoGuasto::CrescitaMemoriaCondivisa, ENOSPC, NumErroreDb::DiscoPieno},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        GestoreDb g;
        QDir().rmdir(fileSegnoVerifica(file));
        QFile::remove(fileSegnoVerifica(file));
        if (k.segnoNonScrivibile) ASSERT_TRUE(QDir().mkdir(fileSegnoVerifica(file)));
        const DiscoGuasto disco(k.guasto, k.errnoSistema);
        // The shared memory is mapped at the first read, so that case fails
        // at the opening: the program does not start, and says why.
        const auto e = erroreDi([&] {
            const QString id = g.ApriDatabase(file);
            g.EseguiSql(id, "UPDATE Righe SET Qta = Qta + 1");
        });
        EXPECT_EQ(e.numero(), k.numero) << e.descrizione().toStdString();
        if (k.numero == NumErroreDb::DiscoPieno)
            EXPECT_TRUE(e.descrizione().contains("Spazio su disco insufficiente")) << e.descrizione().toStdString();
    }
}

namespace {

// Runs `azione` once, at the first read of a database file's second page
// or beyond: inside the opening, that is the whole-file check, since the
// schema the opening reads is on the first page.
class LetturaSpiata {
public:
    explicit LetturaSpiata(std::function<void()> azione) {
        azione_ = std::move(azione);
        eseguita_ = false;
        base_ = sqlite3_vfs_find(nullptr);
        vfs_ = *base_;
        vfs_.zName = "lettura-spiata";
        vfs_.xOpen = &Apri;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~LetturaSpiata() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(base_, 1);
    }
    bool Eseguita() const { return eseguita_; }

private:
    // The engine's own file, whose read alone passes through here first.
    static int Apri(sqlite3_vfs*, const char* nome, sqlite3_file* f, int flags, int* uscita) {
        const int rc = base_->xOpen(base_, nome, f, flags, uscita);
        if (rc == SQLITE_OK && f->pMethods && (flags & SQLITE_OPEN_MAIN_DB)) {
            leggi_ = f->pMethods->xRead;
            metodi_ = *f->pMethods;
            metodi_.xRead = [](sqlite3_file* f, void* p, int n, sqlite3_int64 o) {
                if (o >= 4096 && !eseguita_) {
                    eseguita_ = true;
                    azione_();
                }
                return leggi_(f, p, n, o);
            };
            f->pMethods = &metodi_;
        }
        return rc;
    }

    static inline sqlite3_vfs* base_ = nullptr;
    static inline sqlite3_io_methods metodi_{};
    static inline int (*leggi_)(sqlite3_file*, void*, int, sqlite3_int64) = nullptr;
    static inline std::function<void()> azione_;
    static inline bool eseguita_ = false;
    sqlite3_vfs vfs_{};
};

}  // namespace

// The mark goes only with a check that began after it was written: damage
// met by another process while this one's check runs keeps the file marked.
TEST(GestoreDb, AMarkWrittenWhileTheCheckRunsOutlivesIt) {
    QTemporaryDir dir;
    const QString file = creaDatabaseEsterno(dir.filePath("segnato.db"));
    for (const bool altroSegno : {false, true}) {
        SCOPED_TRACE(altroSegno ? "segnato durante il controllo" : "nessun altro segno");
        segnaDaVerificare(file, "pagina danneggiata");
        GestoreDb g;
        const LetturaSpiata spia([&] {
            if (altroSegno) segnaDaVerificare(file, "errore di un altro processo");
        });
        g.ChiudiDatabase(g.ApriDatabase(file));
        EXPECT_TRUE(spia.Eseguita());
        EXPECT_EQ(daVerificare(file), altroSegno);
    }
    QFile segno(fileSegnoVerifica(file));
    ASSERT_TRUE(segno.open(QIODevice::ReadOnly));
    EXPECT_TRUE(segno.readAll().contains("errore di un altro processo"));
}

TEST(GestoreDb, ADamagedFileIsReportedAsAnUnrecognisedDatabase) {
    QTemporaryDir dir;
    const QString file = creaDatabaseEsterno(dir.filePath("danneggiato.db"));
    {
        // The table's first page (page 2) overwritten: the schema still reads.
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(4096));
        f.write(QByteArray(64, '\xFF'));
    }
    // The opening reads the schema only: the damage is told where the work
    // meets it, and from then on at every opening, before any work lands on
    // the file, until the file passes its check.
    GestoreDb g;
    const QString id = g.ApriDatabase(file);
    const auto lettura = erroreDi([&] { g.EseguiSql(id, "UPDATE Righe SET Qta = Qta"); });
    EXPECT_EQ(lettura.numero(), NumErrore::FileNonDatabase);
    g.ChiudiDatabase(id);
    for (int volta = 0; volta < 2; ++volta) {
        const auto e = erroreDi([&] { g.ApriDatabase(file); });
        EXPECT_EQ(e.numero(), NumErrore::FileNonDatabase);
        EXPECT_TRUE(e.descrizione().contains("danneggiato")) << e.descrizione().toStdString();
    }
}

TEST(GestoreDb, RifiutaNomiCheNonSonoDatabase) {
    FixtureDb fx;
    const QString testo = scriviFile(fx.Cartella() + "/note.mdb", "Questo non e' un database, solo testo.\n");
    const QString vuoto = scriviFile(fx.Cartella() + "/vuoto.mdb", "");
    struct Caso {
        QString nome, connect;
        long numero;
        QString nelTesto;
    } casi[] = {
        // Data-source names no service defines.
        {"Contabilita", {}, NumErroreDb::ConnessioneServerFallita, "\"Contabilita\" non è definito"},
        {"ODBC;DSN=Contab;UID=sa", {}, NumErroreDb::ConnessioneServerFallita, "\"Contab\" non è definito"},
        {"C:\\Dati\\ditta.DSN", {}, NumErroreDb::ConnessioneServerFallita, "\"ditta\" non è definito"},
        {fx.fileAzienda, "odbc;DSN=Contab", NumErroreDb::ConnessioneServerFallita, "\"Contab\" non è definito"},
        {fx.Cartella() + "/manca.db", {}, NumErroreDb::FileDbNonTrovato, "Impossibile trovare"},
        {"", {}, NumErroreDb::FileDbNonTrovato, "Impossibile trovare"},
        {testo, {}, NumErrore::FileNonDatabase, "non è un database"},
        {vuoto, {}, NumErrore::FileNonDatabase, "non è un database"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome.toStdString());
        const auto e = erroreDi([&] { fx.gestDb->ApriDatabase(c.nome, 0, false, false, c.connect); });
        EXPECT_EQ(e.numero(), c.numero);
        EXPECT_TRUE(e.descrizione().contains(c.nelTesto)) << e.descrizione().toStdString();
        EXPECT_EQ(e.origine(), "GestoreDb");
    }
    // A refused file is left as it was.
    QFile f(testo);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), QByteArray("Questo non e' un database, solo testo.\n"));
    EXPECT_EQ(QFile(vuoto).size(), 0);
}

TEST(GestoreDb, ApreConAttesaEChiude) {
    FixtureDb fx;
    EXPECT_FALSE(fx.idAzienda.isEmpty());
    EXPECT_NE(fx.idAzienda, fx.idCondiviso);
    EXPECT_FALSE(fx.idAzienda.startsWith("Err:"));
    sqlite3* db = fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "wal");
    sqlite3_finalize(st);

    const QString id2 = fx.gestDb->ApriDatabase(fx.fileAzienda);
    const auto d = fx.gestDb->DatabaseDaId(id2);
    fx.gestDb->ChiudiDatabase(id2);
    fx.gestDb->ChiudiDatabase(id2);  // already closed: nothing happens
    EXPECT_EQ(erroreDi([&] { fx.gestDb->DatabaseDaId(id2); }).numero(), NumErroreDb::DatabaseChiuso);
    EXPECT_EQ(erroreDi([&] { d->Handle(); }).numero(), NumErroreDb::DatabaseChiuso);
    EXPECT_EQ(erroreDi([&] { fx.gestDb->EseguiSql(id2, "DELETE FROM Monete"); }).numero(),
              NumErroreDb::DatabaseChiuso);
}

TEST(GestoreDb, RecordsAffectedDellUltimaIstruzione) {
    FixtureDb fx;
    auto& g = *fx.gestDb;
    const QString id = fx.idAzienda;
    struct Caso {
        QString sql;
        long righe;
    } casi[] = {
        {"INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 2)", 1},
        {"INSERT INTO Monete (Moneta, NumDec) VALUES ('L.', 0); INSERT INTO Monete (Moneta) VALUES ('USD')", 1},
        {"UPDATE Monete SET Cee = 'S'", 3},
        {"UPDATE Monete SET Cee = 'N' WHERE Moneta = 'EURO'", 1},  // key compared without regard to case
        {"CREATE TABLE Prova (A INTEGER)", 0},                      // not the 1 of the statement before
        {"UPDATE Monete SET Cee = 'X' WHERE Moneta = 'nessuna'", 0},
        {"DELETE FROM Monete WHERE NumDec IS NULL", 1},
        {"  -- solo un commento\n", 0},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.sql.toStdString());
        g.EseguiSql(id, c.sql);
        EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), c.righe);
    }
    g.EseguiSql(id, "UPDATE Monete SET Cee = 'S'", 64);
    const auto e = erroreDi([&] { g.EseguiSql(id, "INSERT INTO Monete (Moneta) VALUES ('euro')"); });
    EXPECT_EQ(e.numero(), NumErroreDb::ValoriDuplicati);
    EXPECT_TRUE(e.descrizione().contains("Monete.Moneta")) << e.descrizione().toStdString();
    EXPECT_FALSE(e.descrizione().contains("INSERT INTO"));
    EXPECT_EQ(e.origine(), "GestoreDb");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 0);  // a failure is never a count
    EXPECT_EQ(erroreDi([&] { g.EseguiSql(id, "DELETE FROM Inesistente"); }).numero(), NumErroreDb::TabellaInesistente);
}

TEST(GestoreDb, TransazioneConfermataOAnnullata) {
    FixtureDb fx;
    auto& g = *fx.gestDb;
    const QString id = fx.idAzienda;
    const auto conta = [&] {
        g.EseguiSql(id, "UPDATE Monete SET Cee = Cee");
        return g.DatabaseDaId(id)->RecordsAffected();
    };
    g.IniziaTransazione(id);
    g.EseguiSql(id, "INSERT INTO Monete (Moneta) VALUES ('A')");
    g.AnnullaTransazione(id);
    EXPECT_EQ(conta(), 0);
    g.IniziaTransazione(id);
    g.EseguiSql(id, "INSERT INTO Monete (Moneta) VALUES ('A'); INSERT INTO Monete (Moneta) VALUES ('B')");
    g.ConfermaTransazione(id);
    EXPECT_EQ(conta(), 2);
    g.AnnullaTransazione(id);  // none open: harmless
    EXPECT_EQ(conta(), 2);
}

TEST(GestoreDb, ProprietaETabelle) {
    FixtureDb fx;
    auto& g = *fx.gestDb;
    EXPECT_TRUE(g.LeggiProprieta("DbAccPWD", 12).eVuoto());
    g.ScriviProprieta("DbAccPWD", 12, QString("segreta"));
    g.ScriviProprieta("DbSqlPubUID", 12, QString("sa"));
    EXPECT_EQ(g.LeggiProprieta("dbaccpwd", 12).testo(), "segreta");
    EXPECT_EQ(g.LeggiProprieta("DbSqlPubUID", 12).testo(), "sa");
    const Valore tipoSql = g.LeggiProprieta(fx.idAzienda + ":DbTipoSql", 12);
    EXPECT_EQ(tipoSql.tipo(), TipoValore::Booleano);
    EXPECT_FALSE(tipoSql.booleano());
    // The properties do not stand in the way of opening a file.
    EXPECT_NO_THROW(g.ChiudiDatabase(g.ApriDatabase(fx.fileAzienda)));

    const auto d = g.DatabaseDaId(fx.idCondiviso);
    EXPECT_TRUE(d->EsisteTabella("StaLasFontPers"));
    EXPECT_TRUE(d->EsisteTabella("stalasfontpers"));
    EXPECT_FALSE(d->EsisteTabella("Ditta"));
    EXPECT_FALSE(d->EsisteTabella("x' OR '1'='1"));
}
