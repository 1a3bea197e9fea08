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

namespace {

int DescrittoriAperti() {
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

// A run over many companies opens and closes their files again and again,
// while the shared file, or the company's own, may stay open throughout: no
// descriptor stays behind a closed connection.
TEST(UsoDb, ManyOpeningsAndClosingsLeaveNoDescriptorBehind) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.db"), b = dir.filePath("b.db");
    FixtureDb::CreaDatabase(a, "azienda.sql");
    FixtureDb::CreaDatabase(b, "azienda.sql");
    QFile::link(a, dir.filePath("collegamento.db"));
    GestoreDb g;
    const QString sempre = g.ApriDatabase(a);
    const int prima = DescrittoriAperti();
    for (int i = 0; i < 200; ++i) {
        g.ChiudiDatabase(g.ApriDatabase(a));
        g.ChiudiDatabase(g.ApriDatabase(dir.filePath("collegamento.db")));
        g.ChiudiDatabase(g.ApriDatabase(b));
        UsoDb::Esito e;
        UsoDb::Condiviso(a, 0, e);
    }
    EXPECT_LE(DescrittoriAperti(), prima + 2);
    // The descriptors taken again still keep the recovery out, and let it in once all are gone.
    EXPECT_EQ(Prova(a, true), UsoDb::Esito::Occupato);
    g.ChiudiDatabase(sempre);
    EXPECT_EQ(Prova(a, true), UsoDb::Esito::Preso);
    EXPECT_LE(DescrittoriAperti(), prima);
}

}  // namespace
