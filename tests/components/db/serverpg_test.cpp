#include "support/DatabasePg.h"
#include "support/Fixture.h"
#include "support/NumeroErrore.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/db/ServerPg.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <libpq-fe.h>

namespace {

// The first value of a query, read on the layer's own connection.
QString valore(GestoreDb& g, const QString& id, const QString& sql) {
    PGresult* r = PQexec(g.DatabaseDaId(id)->Pg(), sql.toUtf8().constData());
    const QString v = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 && !PQgetisnull(r, 0, 0)
                          ? QString::fromUtf8(PQgetvalue(r, 0, 0))
                          : QStringLiteral("<nessuno: %1>").arg(QString::fromUtf8(PQresultErrorMessage(r)));
    PQclear(r);
    return v;
}

// A layer that logs in as the service's owner.
void credenziali(GestoreDb& g, const QString& utente = QStringLiteral("comiva"),
                 const QString& password = QStringLiteral("comiva")) {
    g.ScriviProprieta("DbSqlPubUID", 12, Valore(utente));
    g.ScriviProprieta("DbSqlPubPWD", 12, Valore(password));
}

}  // namespace

TEST(ServerPg, OrigineDaNomiEStringheDiConnessione) {
    struct Caso {
        QString nome, connect, servizio, utente, password;
    } casi[] = {
        {"Contab", {}, "Contab", {}, {}},
        {"C:\\Dati\\Contab.dsn", {}, "Contab", {}, {}},
        {"ODBC;DSN=Contab;UID=mario;PWD=a;b=c", {}, "Contab", "mario", "a"},
        {{}, "ODBC;FIleDSN=C:\\Dati\\Contab.dsn;UID=mario;PWD= segreta", "Contab", "mario", " segreta"},
        {"ditta.mdb", "odbc;DSN=Contab", "Contab", {}, {}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE((c.nome + " | " + c.connect).toStdString());
        const auto o = ServerPg::OrigineDaNome(c.nome, c.connect);
        EXPECT_EQ(o.servizio, c.servizio);
        EXPECT_EQ(o.utente, c.utente);
        EXPECT_EQ(o.password, c.password);
    }
}

TEST(ServerPg, SchemaConChiaviDiTestoSenzaMaiuscole) {
    const QString s = ServerPg::SchemaPerServer(
        "CREATE TABLE T (K VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY, D varchar( 60 ), N varchar(2) collate nocase);");
    EXPECT_TRUE(s.startsWith("CREATE EXTENSION IF NOT EXISTS citext;"));
    EXPECT_TRUE(s.contains("K CITEXT NOT NULL PRIMARY KEY, D varchar( 60 ), N CITEXT)")) << s.toStdString();
}

TEST(ServerPg, ApreUnServizioPerOgniFormaDelNome) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    const QString s = pg.Servizio();
    GestoreDb g;
    credenziali(g);
    FixtureDb fx;
    EXPECT_FALSE(fx.gestDb->LeggiProprieta(fx.idAzienda + ":DbTipoSql").booleano());
    struct Caso {
        QString nome, connect;
    } casi[] = {
        {s, {}},
        {"/srv/dsn/" + s + ".dsn", {}},
        {"ODBC;DSN=" + s + ";UID=comiva;PWD=comiva", {}},
        // As the start-up builds it for a ".dsn" file.
        {{}, "ODBC;FIleDSN=C:\\Dsn\\" + s + ".dsn;UID=comiva;PWD=comiva"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE((c.nome + " | " + c.connect).toStdString());
        const QString id = g.ApriDatabase(c.nome, 0, false, false, c.connect);
        EXPECT_TRUE(g.LeggiProprieta(id + ":DbTipoSql").booleano());
        EXPECT_TRUE(g.DatabaseDaId(id)->SuServer());
        EXPECT_EQ(g.DatabaseDaId(id)->File(), s);
        EXPECT_EQ(valore(g, id, "SELECT current_database()"), s);
        // Record sets and lookups that read a file's connection are refused plainly.
        const auto e = erroreDi([&] { g.DatabaseDaId(id)->Handle(); });
        EXPECT_EQ(e.numero(), NumErroreDb::FormatoNonSupportato);
        EXPECT_TRUE(e.descrizione().contains("su server")) << e.descrizione().toStdString();
        g.ChiudiDatabase(id);
        EXPECT_EQ(erroreDi([&] { g.EseguiSql(id, "SELECT 1"); }).numero(), NumErroreDb::DatabaseChiuso);
    }
}

TEST(ServerPg, AccessoRifiutatoEServizioMancante) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    GestoreDb g;
    // No password: the login is refused as a login, so the start-up asks again.
    auto e = erroreDi([&] { g.ApriDatabase(pg.Servizio()); });
    EXPECT_EQ(e.numero(), NumErrore::ConnessioneOdbcRifiutata);
    EXPECT_TRUE(e.descrizione().contains("utente o password non validi")) << e.descrizione().toStdString();
    credenziali(g, "comiva", "sbagliata");
    EXPECT_EQ(erroreDi([&] { g.ApriDatabase(pg.Servizio()); }).numero(), NumErrore::ConnessioneOdbcRifiutata);
    EXPECT_EQ(erroreDi([&] { g.ApriDatabase("ODBC;DSN=" + pg.Servizio() + ";UID=nessuno;PWD=x"); }).numero(),
              NumErrore::ConnessioneOdbcRifiutata);
    // The password typed again opens it.
    credenziali(g);
    EXPECT_FALSE(g.ApriDatabase(pg.Servizio()).isEmpty());

    e = erroreDi([&] { g.ApriDatabase("NessunServizio"); });
    EXPECT_EQ(e.numero(), NumErroreDb::ConnessioneServerFallita);
    EXPECT_TRUE(e.descrizione().contains("\"NessunServizio\" non è definito")) << e.descrizione().toStdString();

    // A service whose server is not there.
    QTemporaryDir vuota;
    QFile f(qEnvironmentVariable("PGSERVICEFILE"));
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("[spento]\nhost=" + vuota.path().toUtf8() + "\nport=5\ndbname=x\n");
    f.close();
    e = erroreDi([&] { g.ApriDatabase("spento"); });
    EXPECT_EQ(e.numero(), NumErroreDb::ConnessioneServerFallita);
    EXPECT_TRUE(e.descrizione().contains("il server non risponde")) << e.descrizione().toStdString();
}

TEST(ServerPg, IstruzioniRigheInteressateEdErrori) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    pg.Esegui("CREATE EXTENSION citext; CREATE TABLE Righe (Id INTEGER PRIMARY KEY, Codice CITEXT UNIQUE, "
              "Testo VARCHAR(20) NOT NULL, Qta INTEGER CHECK (Qta >= 0))");
    GestoreDb g;
    credenziali(g);
    const QString id = g.ApriDatabase(pg.Servizio());
    const auto d = g.DatabaseDaId(id);
    g.EseguiSql(id, "INSERT INTO Righe (Id, Codice, Testo, Qta) VALUES (1, 'ab1', 'uno', 1)");
    EXPECT_EQ(d->RecordsAffected(), 1);
    g.EseguiSql(id, "INSERT INTO Righe SELECT i, 'c' || i, 'altra', i FROM generate_series(2, 5) AS i");
    EXPECT_EQ(d->RecordsAffected(), 4);
    g.EseguiSql(id, "UPDATE Righe SET Qta = Qta + 1 WHERE Id > 3");
    EXPECT_EQ(d->RecordsAffected(), 2);
    g.EseguiSql(id, "UPDATE Righe SET Qta = 0 WHERE Id = 99");
    EXPECT_EQ(d->RecordsAffected(), 0);
    g.EseguiSql(id, "SELECT * FROM Righe");
    EXPECT_EQ(d->RecordsAffected(), 0);
    EXPECT_TRUE(d->EsisteTabella("RIGHE"));
    EXPECT_FALSE(d->EsisteTabella("Colonne"));

    struct Caso {
        const char* sql;
        long numero;
        const char* nelTesto;
    } casi[] = {
        // Text keys compare without regard to case, as on a database file.
        {"INSERT INTO Righe VALUES (6, 'AB1', 'sei', 1)", NumErroreDb::ValoriDuplicati, "valori duplicati"},
        {"INSERT INTO Righe VALUES (1, 'x', 'sei', 1)", NumErroreDb::ValoriDuplicati, "valori duplicati"},
        {"INSERT INTO Righe (Id, Codice) VALUES (7, 'y')", NumErroreDb::CampoObbligatorio, "campo obbligatorio"},
        {"UPDATE Righe SET Qta = -1", NumErroreDb::RegolaConvalida, "regole della tabella"},
        // Nothing of the server's own English text reaches the user.
        {"SELEC 1", NumErrore::ErroreSql, "istruzione SQL non valida"},
        // A database of an older structure: the text names what is missing,
        // as the server folds it.
        {"DELETE FROM Mancante", NumErroreDb::TabellaInesistente,
         "La tabella mancante non esiste nel database: la struttura del database dell'azienda non è aggiornata"},
        {"SELECT Manca FROM Righe", NumErroreDb::CampoInesistente, "Il campo manca non esiste nel database"},
        {"SELECT Righe.Manca FROM Righe", NumErroreDb::CampoInesistente, "Il campo righe.manca non esiste nel database"},
        {"INSERT INTO Righe (Id, Manca) VALUES (8, 1)", NumErroreDb::CampoInesistente,
         "Il campo righe.manca non esiste nel database"},
        {"SELECT * FROM Righe WHERE Codice = 'a' COLLATE nocase", NumErrore::ErroreSql, "(codice 42704)"},
        {"SELECT * FROM Righe WHERE Id = 'uno'", NumErrore::ErroreSql, "valore non valido"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.sql);
        const auto e = erroreDi([&] { g.EseguiSql(id, c.sql); });
        EXPECT_EQ(e.numero(), c.numero);
        EXPECT_TRUE(e.descrizione().contains(c.nelTesto)) << e.descrizione().toStdString();
        EXPECT_FALSE(e.descrizione().contains("INSERT") || e.descrizione().contains("UPDATE ")) << e.descrizione().toStdString();
        for (const char* straniero : {"syntax", "relation", "does not exist", "collation", "invalid input"})
            EXPECT_FALSE(e.descrizione().contains(QLatin1String(straniero))) << e.descrizione().toStdString();
        EXPECT_EQ(d->RecordsAffected(), 0);
    }
    EXPECT_EQ(valore(g, id, "SELECT count(*) FROM Righe WHERE Codice = 'AB1'"), "1");
}

TEST(ServerPg, InUnaTransazioneUnErroreAnnullaSoloLaSuaIstruzione) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    pg.Esegui("CREATE TABLE Righe (Id INTEGER PRIMARY KEY, Qta INTEGER)");
    GestoreDb g;
    credenziali(g);
    const QString id = g.ApriDatabase(pg.Servizio());
    g.IniziaTransazione(id);
    g.EseguiSql(id, "INSERT INTO Righe VALUES (1, 1)");
    EXPECT_EQ(erroreDi([&] { g.EseguiSql(id, "INSERT INTO Righe VALUES (1, 2)"); }).numero(),
              NumErroreDb::ValoriDuplicati);
    g.EseguiSql(id, "INSERT INTO Righe VALUES (2, 2)");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 1);
    // Several statements at once: their rows are the last one's, and a
    // failure among them takes them all back.
    g.EseguiSql(id, "INSERT INTO Righe VALUES (3, 3); UPDATE Righe SET Qta = Qta WHERE Id < 3");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 2);
    EXPECT_EQ(erroreDi([&] { g.EseguiSql(id, "INSERT INTO Righe VALUES (4, 4); INSERT INTO Righe VALUES (1, 9)"); })
                  .numero(),
              NumErroreDb::ValoriDuplicati);
    g.EseguiSql(id, "DELETE FROM Righe WHERE Id = 3");
    g.ConfermaTransazione(id);
    EXPECT_EQ(valore(g, id, "SELECT string_agg(Id || ':' || Qta, ',' ORDER BY Id) FROM Righe"), "1:1,2:2");

    // A rollback takes back the whole transaction; outside one it does nothing.
    g.IniziaTransazione(id);
    g.EseguiSql(id, "DELETE FROM Righe");
    EXPECT_EQ(g.DatabaseDaId(id)->RecordsAffected(), 2);
    g.AnnullaTransazione(id);
    g.AnnullaTransazione(id);
    EXPECT_EQ(valore(g, id, "SELECT count(*) FROM Righe"), "2");
}

TEST(ServerPg, LeTransazioniDiDueTerminaliSiSeguono) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    pg.Esegui("CREATE TABLE Righe (Id INTEGER PRIMARY KEY, Qta INTEGER); INSERT INTO Righe VALUES (1, 0)");
    GestoreDb primo, secondo;
    for (GestoreDb* g : {&primo, &secondo}) {
        credenziali(*g);
        g->ImpostaAttesaBlocco(200);
    }
    const QString a = primo.ApriDatabase(pg.Servizio());
    const QString b = secondo.ApriDatabase(pg.Servizio());
    primo.IniziaTransazione(a);
    primo.EseguiSql(a, "UPDATE Righe SET Qta = 1");
    // The second writer waits for the first and, past its wait, is told the
    // database is in use; nothing of its own is left open.
    auto e = erroreDi([&] { secondo.IniziaTransazione(b); });
    EXPECT_EQ(e.numero(), NumErroreDb::DatabaseBloccato);
    EXPECT_TRUE(e.descrizione().contains("in uso da parte di un altro utente")) << e.descrizione().toStdString();
    EXPECT_FALSE(ServerPg::InTransazione(secondo.DatabaseDaId(b)->Pg()));
    // A statement outside a transaction waits for the row as long, then fails.
    EXPECT_EQ(erroreDi([&] { secondo.EseguiSql(b, "UPDATE Righe SET Qta = 2"); }).numero(),
              NumErroreDb::DatabaseBloccato);
    primo.ConfermaTransazione(a);
    secondo.IniziaTransazione(b);
    secondo.EseguiSql(b, "UPDATE Righe SET Qta = Qta + 10");
    secondo.ConfermaTransazione(b);
    EXPECT_EQ(valore(primo, a, "SELECT Qta FROM Righe"), "11");
}

TEST(ServerPg, IsolamentoPerLeTransazioniSeguenti) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    GestoreDb g;
    credenziali(g);
    const QString id = g.ApriDatabase(pg.Servizio());
    g.EseguiSql(id, "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED", 64);
    EXPECT_EQ(valore(g, id, "SHOW default_transaction_isolation"), "read uncommitted");
    // Inside a transaction that has already taken its lock, for the next ones.
    g.IniziaTransazione(id);
    g.EseguiSql(id, "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ", 64);
    g.ConfermaTransazione(id);
    EXPECT_EQ(valore(g, id, "SHOW default_transaction_isolation"), "repeatable read");
}

TEST(ServerPg, SchemaDelProgrammaSulServer) {
    SALTA_SENZA_PG();
    DatabasePg azienda("azienda.sql");
    DatabasePg condiviso("condiviso.sql");
    GestoreDb g;
    credenziali(g);
    const QString a = g.ApriDatabase(azienda.Servizio());
    const QString c = g.ApriDatabase(condiviso.Servizio());
    for (const char* t : {"DatiFatTest", "DatiFatDett", "LiqIvaTest", "PianoConti", "MovPnIva"})
        EXPECT_TRUE(g.DatabaseDaId(a)->EsisteTabella(t)) << t;
    EXPECT_TRUE(g.DatabaseDaId(c)->EsisteTabella("Aziende"));
    g.EseguiSql(c, "INSERT INTO Aziende (IdAzienda, Descrizione) VALUES ('Ab', 'Prima')");
    EXPECT_EQ(erroreDi([&] { g.EseguiSql(c, "INSERT INTO Aziende (IdAzienda) VALUES ('AB')"); }).numero(),
              NumErroreDb::ValoriDuplicati);
    EXPECT_EQ(valore(g, c, "SELECT Descrizione FROM Aziende WHERE IdAzienda = 'aB' AND IdAzienda LIKE 'a%'"), "Prima");
}

TEST(ServerPg, ListeEGriglieLeggonoIlServerComeUnFile) {
    SALTA_SENZA_PG();
    const char* schema = "CREATE TABLE Voci (Codice VARCHAR(5) COLLATE NOCASE PRIMARY KEY, Num SMALLINT,"
                         " Importo DOUBLE PRECISION, Data DATE, Nota VARCHAR(20));"
                         "INSERT INTO Voci VALUES ('a1', 3, 2.5, '2018-03-31', NULL);";
    DatabasePg pg;
    pg.Esegui(ServerPg::SchemaPerServer(schema));
    FixtureDb fx;
    fx.Esegui(fx.idAzienda, schema);
    GestoreDb& file = *fx.gestDb;
    GestoreDb server;
    credenziali(server);
    const QString idServer = server.ApriDatabase(pg.Servizio());
    for (auto [g, id] : {std::pair<GestoreDb*, QString>{&file, fx.idAzienda}, {&server, idServer}}) {
        SCOPED_TRACE(id.toStdString());
        const RisultatoSql r =
            LeggiTutto(*g, id, "SELECT Codice, Num, Importo AS Totale, Data, Nota FROM Voci WHERE Codice = 'A1'", "Prova");
        // Named as the query writes them, not as the server folds them.
        EXPECT_EQ(r.colonne.join(','), "Codice,Num,Totale,Data,Nota");
        ASSERT_EQ(r.righe.size(), 1);
        const auto& v = r.righe[0];
        EXPECT_EQ(v[0], Valore(QStringLiteral("a1")));
        EXPECT_EQ(v[1], Valore(3LL));
        EXPECT_EQ(v[2], Valore(2.5));
        EXPECT_EQ(v[3], Valore(QStringLiteral("2018-03-31")));
        EXPECT_TRUE(v[4].eNull());
        const auto tipi = TipiDichiarati(*g, id, "voci");
        EXPECT_EQ(tipi.size(), 5);
        EXPECT_TRUE(tipi.value("importo").toUpper().contains("DOUBLE"));
        EXPECT_TRUE(tipi.value("num").toUpper().contains("INT"));
        EXPECT_TRUE(tipi.value("data").toUpper().contains("DATE"));
        EXPECT_TRUE(TipiDichiarati(*g, id, "Mancante").isEmpty());
        const auto e = erroreDi([&] { LeggiTutto(*g, id, "SELECT Manca FROM Voci", "Prova"); });
        EXPECT_EQ(e.numero(), NumErroreDb::CampoInesistente);
        EXPECT_TRUE(e.descrizione().contains("Il campo Manca non esiste", Qt::CaseInsensitive)) << e.descrizione().toStdString();
        EXPECT_EQ(e.origine(), "Prova");
        EXPECT_FALSE(e.descrizione().contains("SELECT"));
    }
}

TEST(ServerPg, StatisticheDopoUnaCorsaSenzaMaiFallire) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    pg.Esegui("CREATE TABLE Marche (Id INTEGER PRIMARY KEY)");
    GestoreDb g;
    credenziali(g);
    const QString id = g.ApriDatabase(pg.Servizio());
    g.EseguiSql(id, "INSERT INTO Marche SELECT i FROM generate_series(1, 500) AS i");
    const QString analisi = "SELECT count(*) FROM pg_stat_user_tables WHERE relname = 'marche' AND last_analyze IS NOT NULL";
    EXPECT_EQ(valore(g, id, analisi), "0");
    g.AggiornaStatistiche(id, {"MARCHE"});
    EXPECT_EQ(valore(g, id, analisi), "1");
    // Only the planner gains by it: a table that is not there is no failure of the run.
    EXPECT_NO_THROW(g.AggiornaStatistiche(id, {"Mancante"}));
    QTemporaryDir dir;
    FixtureDb::CreaDatabase(dir.filePath("a.db"), "azienda.sql");
    const QString file = g.ApriDatabase(dir.filePath("a.db"));
    EXPECT_NO_THROW(g.AggiornaStatistiche(file, {"Mancante"}));
}
