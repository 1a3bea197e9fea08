#include "support/Fixture.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

ErroreRun erroreDi(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErroreRun& e) {
        return e;
    }
    ADD_FAILURE() << "nessun errore";
    return ErroreRun(0, {});
}

QString scriviFile(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(dati);
    return percorso;
}

}  // namespace

TEST(GestoreDb, RifiutaNomiCheNonSonoFileDiDatabase) {
    FixtureDb fx;
    const QString testo = scriviFile(fx.Cartella() + "/note.mdb", "Questo non e' un database, solo testo.\n");
    const QString vuoto = scriviFile(fx.Cartella() + "/vuoto.mdb", "");
    struct Caso {
        QString nome, connect;
        long numero;
        QString nelTesto;
    } casi[] = {
        {"Contabilita", {}, NumErroreDb::FormatoNonSupportato, "solo file di database"},
        {"ODBC;DSN=Contab;UID=sa", {}, NumErroreDb::FormatoNonSupportato, "solo file di database"},
        {"C:\\Dati\\ditta.DSN", {}, NumErroreDb::FormatoNonSupportato, "sorgente ODBC"},
        {fx.fileAzienda, "odbc;DSN=Contab", NumErroreDb::FormatoNonSupportato, "solo file di database"},
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

TEST(GestoreDb, ApreInWalConAttesaEChiude) {
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
    EXPECT_EQ(e.numero(), NumErrore::ErroreSql);
    EXPECT_TRUE(e.descrizione().contains("UNIQUE")) << e.descrizione().toStdString();
    EXPECT_TRUE(e.descrizione().contains("INSERT INTO Monete"));
    EXPECT_EQ(e.origine(), "GestoreDb");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 0);  // a failure is never a count
    EXPECT_EQ(erroreDi([&] { g.EseguiSql(id, "DELETE FROM Inesistente"); }).numero(), NumErrore::ErroreSql);
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
