// A company database file put on the server keeps every row and value, and a
// failure leaves the server's tables as they were.
#include "contabilita/ContabilitaDemo.h"
#include "server/CopiaSuServer.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "support/DatabasePg.h"
#include "support/Fixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString schema(const char* nome) {
    QFile f(CartellaSchema() + QStringLiteral("/") + QLatin1String(nome));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

QString primo(GestoreDb& g, const QString& id, const QString& sql) {
    const RisultatoSql r = LeggiTutto(g, id, sql, "Prova");
    return r.righe.isEmpty() ? QString() : r.righe[0][0].testo();
}

}  // namespace

TEST(CopiaSuServer, OgniRigaEValoreDelFileSulServer) {
    SALTA_SENZA_PG();
    FixtureDb fx;
    GeneraContabilita(fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle(),
                      {.anno = 2018, .registrazioni = 60, .righeIvaMedie = 2, .fittizie = 4, .seme = 5});
    // A number column left "" by another program is no value on the server.
    fx.Esegui(fx.idAzienda, "INSERT INTO Monete (Moneta, NumDec, Cee) VALUES ('Xyz', '', 'S')");
    DatabasePg pg;
    GestoreDb& g = *fx.gestDb;
    g.ScriviProprieta("DbSqlPubUID", 12, Valore(QStringLiteral("comiva")));
    g.ScriviProprieta("DbSqlPubPWD", 12, Valore(QStringLiteral("comiva")));
    const QString server = g.ApriDatabase(pg.Servizio());
    EXPECT_GT(CopiaSuServer(g, fx.idAzienda, server, schema("azienda.sql")), 100);
    for (const char* sql : {"SELECT count(*) FROM MovPnTes", "SELECT count(*) FROM MovPnIva",
                            "SELECT count(*) FROM PianoConti", "SELECT CAST(round(sum(Imponibile) * 100) AS BIGINT) FROM MovPnIva",
                            "SELECT max(DataReg) FROM MovPnTes", "SELECT count(*) FROM Causali WHERE Causale = 'fv'"}) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(primo(g, server, sql), primo(g, fx.idAzienda, sql));
    }
    EXPECT_EQ(primo(g, server, "SELECT count(*) FROM Monete WHERE Moneta = 'xyz' AND NumDec IS NULL"), "1");

    // Copied again, the server's rows become the file's again; a row the
    // server refuses (a number column holding a word) leaves them as they were.
    g.EseguiSql(server, "DELETE FROM MovPnIva");
    EXPECT_GT(CopiaSuServer(g, fx.idAzienda, server, {}), 100);
    EXPECT_EQ(primo(g, server, "SELECT count(*) FROM MovPnIva"), primo(g, fx.idAzienda, "SELECT count(*) FROM MovPnIva"));
    fx.Esegui(fx.idAzienda, "DELETE FROM MovPnIva; INSERT INTO Monete (Moneta, NumDec) VALUES ('Abc', 'due')");
    EXPECT_THROW(CopiaSuServer(g, fx.idAzienda, server, {}), ErroreRun);
    EXPECT_NE(primo(g, server, "SELECT count(*) FROM MovPnIva"), "0");
    EXPECT_EQ(primo(g, server, "SELECT count(*) FROM Monete WHERE Moneta = 'Xyz'"), "1");
}
