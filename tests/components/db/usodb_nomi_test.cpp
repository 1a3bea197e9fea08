// The share of a database file is a lock on the file itself: every name of
// the file meets it, nothing is left beside the file, and SQLite's own
// locking goes on as without it.
#include "components/db/GestoreDb.h"
#include "components/db/UsoDb.h"
#include "support/Fixture.h"

#include <QDir>
#include <fcntl.h>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

UsoDb::Esito ProvaEsclusivo(const QString& file) {
    UsoDb::Esito e;
    const UsoDb u = UsoDb::Esclusivo(file, e);
    return e;
}

TEST(UsoDbNomi, EveryNameOfTheFileMeetsTheSameLock) {
    QTemporaryDir dir;
    const QString file = dir.filePath("dati.db");
    FixtureDb::CreaDatabase(file, "azienda.sql");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(dir.filePath("fisico.db")).constData()), 0);
    ASSERT_TRUE(QFile::link(file, dir.filePath("simbolico.db")));
    QDir().mkpath(dir.filePath("cartella"));
    ASSERT_TRUE(QFile::link(dir.filePath("simbolico.db"), dir.filePath("cartella/catena.db")));
    const QStringList nomi = {"dati.db", "fisico.db", "simbolico.db", "cartella/catena.db"};
    const QStringList cartella = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& sessione : nomi)
        for (const QString& recupero : nomi) {
            SCOPED_TRACE((sessione + " / " + recupero).toStdString());
            {
                GestoreDb g;
                g.ApriDatabase(dir.filePath(sessione));
                EXPECT_EQ(ProvaEsclusivo(dir.filePath(recupero)), UsoDb::Esito::Occupato);
            }
            EXPECT_EQ(ProvaEsclusivo(dir.filePath(recupero)), UsoDb::Esito::Preso);
            // The lock leaves nothing beside the file.
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), cartella);
        }
}

// Whether another process gets SQLite's write lock now, without waiting: a
// new program (SQLite's shell), since a forked copy of this one would carry
// this process's idea of the locks it holds.
int ScritturaDaAltroProcesso(const QString& file) {
    const QByteArray f = QFile::encodeName(file);
    const pid_t figlio = ::fork();
    if (figlio == 0) {
        // The shell's own words on a locked file would only clutter the test's output.
        if (const int nulla = ::open("/dev/null", O_WRONLY); nulla >= 0) ::dup2(nulla, 2);
        ::execlp("sqlite3", "sqlite3", f.constData(), "BEGIN IMMEDIATE;", "COMMIT;", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int stato = 0;
    ::waitpid(figlio, &stato, 0);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
}
constexpr int kScritto = 0, kBloccato = SQLITE_BUSY, kSenzaShell = 127;

// SQLite's locks lie far from the share's byte, and letting a share go never
// drops the locks SQLite holds on the file in this process: while one
// connection writes, another process waits, also once a second connection of
// this process on the same file has closed.
TEST(UsoDbNomi, SqliteLockingGoesOnWithTheShareHeld) {
    for (const char* modo : {"DELETE", "WAL"}) {
        SCOPED_TRACE(modo);
        QTemporaryDir dir;
        const QString file = dir.filePath("dati.db");
        FixtureDb::CreaDatabase(file, "azienda.sql");
        {
            sqlite3* db = nullptr;
            sqlite3_open(file.toUtf8().constData(), &db);
            sqlite3_exec(db, QByteArray("PRAGMA journal_mode=").append(modo).constData(), nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        if (ScritturaDaAltroProcesso(file) == kSenzaShell) GTEST_SKIP() << "manca la shell di SQLite";
        GestoreDb g;
        const QString scrive = g.ApriDatabase(file);
        const QString altro = g.ApriDatabase(QFile::link(file, dir.filePath("nome.db")) ? dir.filePath("nome.db") : file);
        EXPECT_EQ(ScritturaDaAltroProcesso(file), kScritto);
        g.IniziaTransazione(scrive);
        g.EseguiSql(scrive, "INSERT INTO Monete (Moneta, NumDec) VALUES ('Euro', 2)");
        EXPECT_EQ(ScritturaDaAltroProcesso(file), kBloccato);
        g.ChiudiDatabase(altro);
        EXPECT_EQ(ScritturaDaAltroProcesso(file), kBloccato);
        g.ConfermaTransazione(scrive);
        EXPECT_EQ(ScritturaDaAltroProcesso(file), kScritto);
    }
}

}  // namespace
