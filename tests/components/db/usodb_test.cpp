#include "components/db/GestoreDb.h"
#include "components/db/UsoDb.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

// What a try to take the file gives; the lock taken goes at once.
UsoDb::Esito Prova(const QString& file, bool esclusivo) {
    UsoDb::Esito e;
    const UsoDb u = esclusivo ? UsoDb::Esclusivo(file, e) : UsoDb::Condiviso(file, 0, e);
    return e;
}

// Who may have a database file while another holds it: connections share
// it, the recovery has it alone, and the lock file goes with the last holder.
TEST(UsoDb, ConnectionsShareTheFileTheRecoveryHasItAlone) {
    QTemporaryDir dir;
    const QString file = dir.filePath("dati.db");
    FixtureDb::CreaDatabase(file, "azienda.sql");
    struct Caso {
        const char* nome;
        bool connessioni;  // two connections of the layer hold it, else a recovery
        UsoDb::Esito condiviso, esclusivo;
    } casi[] = {
        {"due connessioni aperte", true, UsoDb::Esito::Preso, UsoDb::Esito::Occupato},
        {"un recupero in corso", false, UsoDb::Esito::Occupato, UsoDb::Esito::Occupato},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        {
            GestoreDb g;
            UsoDb recupero;
            if (k.connessioni) {
                g.ApriDatabase(file);
                g.ApriDatabase(file);
            } else {
                UsoDb::Esito e;
                recupero = UsoDb::Esclusivo(file, e);
                ASSERT_EQ(e, UsoDb::Esito::Preso);
            }
            EXPECT_EQ(Prova(file, false), k.condiviso);
            EXPECT_EQ(Prova(file, true), k.esclusivo);
            EXPECT_TRUE(QFile::exists(fileUsoDb(file)));
        }
        // Nobody holds it now: the recovery may have it, and nothing stays beside the file.
        EXPECT_EQ(Prova(file, true), UsoDb::Esito::Preso);
        EXPECT_FALSE(QFile::exists(fileUsoDb(file)));
    }
}

// A lock file taken away while a holder still had it locked: the next
// holder makes a new one, and the old holder, letting go, never removes it.
TEST(UsoDb, AHolderOfALockFileTakenAwayNeverRemovesTheNewOne) {
    QTemporaryDir dir;
    const QString file = dir.filePath("dati.db");
    UsoDb::Esito e;
    std::optional<UsoDb> primo(UsoDb::Condiviso(file, 0, e));
    ASSERT_EQ(e, UsoDb::Esito::Preso);
    // The file goes from under the holder, as a releaser would remove it.
    ASSERT_TRUE(QFile::remove(fileUsoDb(file)));
    const UsoDb secondo = UsoDb::Condiviso(file, 0, e);
    ASSERT_EQ(e, UsoDb::Esito::Preso);
    EXPECT_TRUE(QFile::exists(fileUsoDb(file)));
    // The second's lock keeps the recovery out.
    EXPECT_EQ(Prova(file, true), UsoDb::Esito::Occupato);
    primo.reset();
    EXPECT_TRUE(QFile::exists(fileUsoDb(file)));
}

}  // namespace
