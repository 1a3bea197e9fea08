#include "components/db/GestoreDb.h"
#include "components/db/UsoDb.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// What a try to take the file gives; the lock taken goes at once.
UsoDb::Esito Prova(const QString& file, bool esclusivo) {
    UsoDb::Esito e;
    const UsoDb u = esclusivo ? UsoDb::Esclusivo(file, e) : UsoDb::Condiviso(file, 0, e);
    return e;
}

// Who may have a database file while another holds it: connections share
// it, the recovery has it alone, and nothing stays beside the file.
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
        }
        // Nobody holds it now: the recovery may have it, and nothing stays beside the file.
        EXPECT_EQ(Prova(file, true), UsoDb::Esito::Preso);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"dati.db"});
    }
}

}  // namespace
