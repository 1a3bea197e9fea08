// The same record-set cases on a database file and on a database of the
// PostgreSQL server, built from one schema script: what a caller sees must
// not depend on where the data lives.
#include "support/DatabasePg.h"
#include "support/NumeroErrore.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/db/ServerPg.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

enum class Motore { File, Server };

// Customers, one the group leader of another, and their invoices; a key that
// differs only by case ("c3", "C3") is the same key.
constexpr const char* kSchema =
    "CREATE TABLE Clienti (Codice VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY, Nome VARCHAR(60),"
    " Capogruppo VARCHAR(10) COLLATE NOCASE, Fido DOUBLE PRECISION, Classe SMALLINT);"
    "CREATE TABLE Fatture (Numero INTEGER NOT NULL PRIMARY KEY, Cliente VARCHAR(10) COLLATE NOCASE, DataFat DATE,"
    " Importo DOUBLE PRECISION, Righe SMALLINT, Nota VARCHAR(60));"
    "INSERT INTO Clienti VALUES ('C1', 'Rossi', NULL, 1000.5, 1);"
    "INSERT INTO Clienti VALUES ('C2', 'Bianchi', 'C1', 0, 2);"
    "INSERT INTO Clienti VALUES ('c3', '', NULL, NULL, NULL);"
    "INSERT INTO Fatture VALUES (1, 'C1', '2024-03-15', 1220.5, 3, 'prima');"
    "INSERT INTO Fatture VALUES (2, 'C2', '2024-03-16', 0, 1, NULL);"
    "INSERT INTO Fatture VALUES (3, 'C3', NULL, 10, NULL, 'terza');";

constexpr int kAvanti = 8;

// Invoices with their customer and the customer's group leader (a second
// instance of Clienti, missing for customers without one).
constexpr const char* kUnione =
    "SELECT Fatture.*, Clienti.Nome, Clienti.Fido AS FidoCliente, Gruppo.Nome"
    " FROM (Fatture INNER JOIN Clienti ON Fatture.Cliente = Clienti.Codice)"
    " LEFT JOIN Clienti AS Gruppo ON Clienti.Capogruppo = Gruppo.Codice ORDER BY Fatture.Numero";

class RecordsetMotori : public ::testing::TestWithParam<Motore> {
protected:
    void SetUp() override {
        if (GetParam() == Motore::Server) {
            SALTA_SENZA_PG();
            pg_ = std::make_unique<DatabasePg>();
            pg_->Esegui(ServerPg::SchemaPerServer(kSchema));
            g.ScriviProprieta("DbSqlPubUID", 12, Valore("comiva"));
            g.ScriviProprieta("DbSqlPubPWD", 12, Valore("comiva"));
            id = g.ApriDatabase(pg_->Servizio());
        } else {
            const QString file = dir_.filePath("prova.db");
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
            const int rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
            sqlite3_close(db);
            ASSERT_EQ(rc, SQLITE_OK);
            id = g.ApriDatabase(file);
        }
    }
    QString apri(const QString& sql, int modo = 4) { return rs.ApriRecordset(g, id, "", sql, false, modo); }
    // The first column of a query's rows, joined by "|", read by a set of its own.
    QString elenco(const QString& sql) {
        const QString k = apri(sql);
        QStringList v;
        for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
            const Valore x = rs.LeggiCampoNull(k, "v");
            if (x.eNull()) v << QStringLiteral("null");
            else if (x.eData()) v << x.data().toString(Qt::ISODate);
            else if (x.tipo() == TipoValore::Doppio) v << QString::number(x.numero());
            else v << x.testo();
        }
        rs.ChiudiRecordset(k);
        return v.join(QLatin1Char('|'));
    }
    void modifica(const QString& k, const std::vector<std::pair<QString, Valore>>& campi) {
        rs.ModificaRec(k);
        for (const auto& [nome, valore] : campi) rs.ScriviCampo(k, nome, valore);
        rs.AggiornaRec(k);
    }

    QTemporaryDir dir_;
    std::unique_ptr<DatabasePg> pg_;
    GestoreDb g;
    QString id;
    GestRecordset rs;
};

TEST_P(RecordsetMotori, LeggeNomiTipiNullEVuoti) {
    const QString k = apri(kUnione);
    ASSERT_EQ(rs.ContaRec(k), 3);
    struct Caso {
        int riga;
        const char* nome;
        Valore atteso;  // Null as the database keeps it
        TipoValore tipo;
    } casi[] = {
        {1, "Fatture.Numero", 1, TipoValore::Intero},
        {1, "numero", 1, TipoValore::Intero},
        {1, "[Fatture].[Importo]", 1220.5, TipoValore::Doppio},
        {1, "DataFat", QDate(2024, 3, 15), TipoValore::Data},
        {1, "Righe", 3, TipoValore::Intero},
        {1, "Clienti.Nome", "Rossi", TipoValore::Testo},
        {1, "Nome", "Rossi", TipoValore::Testo},  // bare: the first column of that name
        {1, "FidoCliente", 1000.5, TipoValore::Doppio},
        {1, "Gruppo.Nome", Valore::null(), TipoValore::Null},  // left join without its row
        {2, "Gruppo.Nome", "Rossi", TipoValore::Testo},        // the second instance of Clienti
        {2, "Clienti.Nome", "Bianchi", TipoValore::Testo},
        {2, "Importo", 0.0, TipoValore::Doppio},
        {2, "Nota", Valore::null(), TipoValore::Null},
        {3, "Fatture.Cliente", "C3", TipoValore::Testo},  // joined to "c3" without regard to case
        {3, "Clienti.Nome", "", TipoValore::Testo},       // empty, not Null
        {3, "DataFat", Valore::null(), TipoValore::Null},
        {3, "Righe", Valore::null(), TipoValore::Null},
        {3, "FidoCliente", Valore::null(), TipoValore::Null},
    };
    int riga = 1;
    for (const auto& c : casi) {
        SCOPED_TRACE(std::to_string(c.riga) + " " + c.nome);
        for (; riga < c.riga; ++riga) rs.RecSuccessivo(k);
        const Valore v = rs.LeggiCampoNull(k, c.nome);
        EXPECT_EQ(v.tipo(), c.tipo);
        EXPECT_EQ(v, c.atteso);
        if (c.tipo == TipoValore::Null) {
            EXPECT_TRUE(rs.LeggiCampo(k, c.nome).eVuoto());
            EXPECT_EQ(rs.LeggiCampo(k, c.nome).testo(), "");
        }
    }
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(k, "Gruppo2.Nome"); }), NumErrore::OggettoInesistente);
    rs.RecSuccessivo(k);
    EXPECT_TRUE(rs.FineRec(k));
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(k, "Numero"); }), NumErrore::NessunRecordCorrente);
    rs.PrimoRec(k);
    EXPECT_EQ(rs.LeggiCampo(k, "Numero"), Valore(1));

    const QString vuoto = apri("SELECT * FROM Fatture WHERE Numero < 0");
    EXPECT_TRUE(rs.RecVuoto(vuoto));
    EXPECT_EQ(rs.ContaRec(vuoto), 0);
    // Aggregates read as the file gives them: a count whole, an empty maximum Null.
    const QString agg = apri("SELECT count(*) AS n, max(Numero) AS m FROM Fatture WHERE Numero > 10");
    EXPECT_EQ(rs.LeggiCampoNull(agg, "N"), Valore(0));
    EXPECT_TRUE(rs.LeggiCampoNull(agg, "m").eNull());
}

TEST_P(RecordsetMotori, ModificaNuovoECancellaSiRileggonoComeSalvati) {
    const QString k = apri("SELECT * FROM Fatture ORDER BY Numero");
    modifica(k, {{"Importo", 99.25}, {"Nota", Valore::null()}, {"DataFat", QDate(2025, 1, 2)}, {"Righe", 7}});
    EXPECT_EQ(rs.LeggiCampo(k, "Importo"), Valore(99.25));
    EXPECT_EQ(rs.LeggiCampo(k, "DataFat"), Valore(QDate(2025, 1, 2)));
    EXPECT_TRUE(rs.LeggiCampoNull(k, "Nota").eNull());
    // The same row again: found where the last edit left it.
    modifica(k, {{"Nota", QString("due volte")}});
    EXPECT_EQ(rs.LeggiCampo(k, "Nota"), Valore("due volte"));
    EXPECT_EQ(rs.LeggiCampo(k, "Righe"), Valore(7));

    // A new row joins the set at its end; the position stays.
    rs.NuovoRec(k);
    rs.ScriviCampo(k, "Numero", 10);
    rs.ScriviCampo(k, "Cliente", QString("C1"));
    rs.ScriviCampo(k, "Fatture.DataFat", QDate(2024, 12, 31));
    rs.ScriviCampo(k, "Importo", 5.5);
    rs.AggiornaRec(k);
    EXPECT_EQ(rs.LeggiCampo(k, "Numero"), Valore(1));
    EXPECT_EQ(rs.ContaRec(k), 4);
    for (int i = 0; i < 3; ++i) rs.RecSuccessivo(k);
    EXPECT_EQ(rs.LeggiCampo(k, "Numero"), Valore(10));
    EXPECT_EQ(rs.LeggiCampo(k, "DataFat"), Valore(QDate(2024, 12, 31)));
    EXPECT_EQ(rs.LeggiCampoNull(k, "Importo").tipo(), TipoValore::Doppio);
    EXPECT_TRUE(rs.LeggiCampoNull(k, "Righe").eNull());  // not written: as the table stored it
    modifica(k, {{"Righe", 2}});                        // the new row is found again

    // Deleting the second row: it reads as deleted and leaves the count.
    rs.PrimoRec(k);
    rs.RecSuccessivo(k);
    rs.CancellaRec(k);
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(k, "Numero"); }), 3167);
    EXPECT_EQ(rs.ContaRec(k), 3);

    EXPECT_EQ(elenco("SELECT Numero || ':' || coalesce(Nota, '-') || ':' || coalesce(Righe, 0) AS v FROM Fatture"
                     " ORDER BY Numero"),
              "1:due volte:7|3:terza:0|10:-:2");
    EXPECT_EQ(elenco("SELECT DataFat AS v FROM Fatture ORDER BY Numero"), "2025-01-02|null|2024-12-31");
    EXPECT_EQ(elenco("SELECT Importo AS v FROM Fatture WHERE Numero = 1"), "99.25");
}

TEST_P(RecordsetMotori, ModificaDiUnaQueryUnitaRaggiungeLaRigaDiOgniTabella) {
    const QString k = apri(kUnione);
    rs.RecSuccessivo(k);  // invoice 2 of C2, whose group leader is C1
    modifica(k, {{"Fatture.Nota", QString("vista")}, {"Clienti.Fido", 250.0}, {"Gruppo.Nome", QString("Rossi spa")}});
    EXPECT_EQ(rs.LeggiCampo(k, "Gruppo.Nome"), Valore("Rossi spa"));
    EXPECT_EQ(rs.LeggiCampo(k, "FidoCliente"), Valore(250.0));
    EXPECT_EQ(rs.LeggiCampo(k, "Clienti.Nome"), Valore("Bianchi"));
    // C1 again, now through the first row's own instance: the row it shows
    // was updated through another row of the set.
    rs.PrimoRec(k);
    modifica(k, {{"Clienti.Classe", 9}});
    EXPECT_EQ(rs.LeggiCampo(k, "Clienti.Nome"), Valore("Rossi spa"));
    // A left join without its row: nothing to edit there, and nothing written.
    rs.ModificaRec(k);
    rs.ScriviCampo(k, "Gruppo.Nome", QString("Nessuno"));
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), NumErroreDb::CampoNonAggiornabile);

    EXPECT_EQ(elenco("SELECT Codice || ':' || Nome || ':' || coalesce(Classe, 0) AS v FROM Clienti ORDER BY Codice"),
              "C1:Rossi spa:9|C2:Bianchi:2|c3::0");
    EXPECT_EQ(elenco("SELECT Fido AS v FROM Clienti ORDER BY Codice"), "1000.5|250|null");
    EXPECT_EQ(elenco("SELECT coalesce(Nota, '-') AS v FROM Fatture ORDER BY Numero"), "prima|vista|terza");
}

TEST_P(RecordsetMotori, ScrittureRifiutate) {
    struct Caso {
        const char* cosa;
        const char* sql;
        std::function<void(const QString&)> f;
        long numero;
    } casi[] = {
        {"aggregato", "SELECT count(*) AS n FROM Fatture", [&](const QString& k) { rs.ModificaRec(k); },
         NumErroreDb::CampoNonAggiornabile},
        {"espressione", "SELECT Numero, Importo * 2 AS Doppio FROM Fatture",
         [&](const QString& k) {
             rs.ModificaRec(k);
             rs.ScriviCampo(k, "Doppio", 1);
         },
         NumErroreDb::CampoNonAggiornabile},
        {"nuova riga in un'unione", kUnione, [&](const QString& k) { rs.NuovoRec(k); },
         NumErroreDb::CampoNonAggiornabile},
        {"cancellazione in un'unione", kUnione, [&](const QString& k) { rs.CancellaRec(k); },
         NumErroreDb::CampoNonAggiornabile},
        {"senza ModificaRec", "SELECT * FROM Fatture", [&](const QString& k) { rs.ScriviCampo(k, "Nota", 1); }, 3020},
        {"colonna che non c'è", "SELECT * FROM Fatture",
         [&](const QString& k) { modifica(k, {{"Manca", 1}}); }, NumErroreDb::CampoInesistente},
        {"campo obbligatorio", "SELECT * FROM Clienti",
         [&](const QString& k) {
             rs.NuovoRec(k);
             rs.ScriviCampo(k, "Nome", QString("Senza codice"));
             rs.AggiornaRec(k);
         },
         NumErroreDb::CampoObbligatorio},
        // A key that differs only by case is the same key, new or edited.
        {"chiave doppia nuova", "SELECT * FROM Clienti",
         [&](const QString& k) {
             rs.NuovoRec(k);
             rs.ScriviCampo(k, "Codice", QString("c1"));
             rs.AggiornaRec(k);
         },
         NumErroreDb::ValoriDuplicati},
        {"chiave doppia modificata", "SELECT * FROM Clienti ORDER BY Codice",
         [&](const QString& k) { modifica(k, {{"Codice", QString("C3")}}); }, NumErroreDb::ValoriDuplicati},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.cosa);
        const QString k = apri(c.sql);
        EXPECT_EQ(numeroErrore([&] { c.f(k); }), c.numero);
        rs.ChiudiRecordset(k);
    }
    // Nothing of it reached the tables.
    EXPECT_EQ(elenco("SELECT Codice AS v FROM Clienti ORDER BY Codice"), "C1|C2|c3");
    EXPECT_EQ(elenco("SELECT count(*) AS v FROM Fatture"), "3");
    EXPECT_EQ(numeroErrore([&] { apri("SELECT * FROM Inesistente"); }), NumErroreDb::TabellaInesistente);
}

TEST_P(RecordsetMotori, UnErroreInTransazioneAnnullaSoloLaSuaIstruzione) {
    g.IniziaTransazione(id);
    const QString k = apri("SELECT * FROM Clienti ORDER BY Codice");
    modifica(k, {{"Nome", QString("Prima")}});
    rs.NuovoRec(k);
    rs.ScriviCampo(k, "Codice", QString("c2"));
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), NumErroreDb::ValoriDuplicati);
    // The transaction goes on: the set can still write, and the commit keeps both edits.
    rs.RecSuccessivo(k);
    modifica(k, {{"Nome", QString("Dopo")}});
    rs.NuovoRec(k);
    rs.ScriviCampo(k, "Codice", QString("C4"));
    rs.AggiornaRec(k);
    g.ConfermaTransazione(id);
    EXPECT_EQ(elenco("SELECT Codice || ':' || coalesce(Nome, '-') AS v FROM Clienti ORDER BY Codice"),
              "C1:Prima|C2:Dopo|c3:|C4:-");
}

TEST_P(RecordsetMotori, SolaAvantiALottiConModificheDopoLaScansione) {
    // More rows than the server's cursor gives at a time.
    g.EseguiSql(id,
                "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 1299)"
                " INSERT INTO Fatture (Numero, Cliente, Importo) SELECT i, 'C2', i FROM n");
    // Inside the caller's transaction, where the edits land at the end of the scan.
    g.IniziaTransazione(id);
    const QString k = apri("SELECT Fatture.Numero, Fatture.Nota, Clienti.Nome FROM Fatture INNER JOIN Clienti"
                           " ON Clienti.Codice = Fatture.Cliente ORDER BY Fatture.Numero",
                           kAvanti);
    EXPECT_EQ(numeroErrore([&] { rs.ContaRec(k); }), NumErroreDb::OperazioneNonAmmessa);
    EXPECT_EQ(numeroErrore([&] { rs.NuovoRec(k); }), NumErroreDb::OperazioneNonAmmessa);
    EXPECT_EQ(numeroErrore([&] { rs.CancellaRec(k); }), NumErroreDb::OperazioneNonAmmessa);
    long righe = 0, somma = 0;
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        ++righe;
        const long numero = static_cast<long>(rs.LeggiCampo(k, "Numero").intero());
        somma += numero;
        if (numero % 100 != 0) continue;
        modifica(k, {{"Nota", QString("segnata")}});
        modifica(k, {{"Fatture.Nota", QStringLiteral("segnata %1").arg(numero)}, {"Clienti.Nome", QString("Verdi")}});
        EXPECT_EQ(rs.LeggiCampo(k, "Nota"), Valore(QStringLiteral("segnata %1").arg(numero)));
        // Written only past the last row.
        EXPECT_EQ(elenco(QStringLiteral("SELECT coalesce(Nota, '-') AS v FROM Fatture WHERE Numero = %1").arg(numero)),
                  "-");
    }
    g.ConfermaTransazione(id);
    EXPECT_EQ(righe, 1203);
    EXPECT_EQ(somma, 1 + 2 + 3 + (100 + 1299) * 1200 / 2);
    EXPECT_EQ(numeroErrore([&] { rs.PrimoRec(k); }), NumErroreDb::OperazioneNonAmmessa);
    EXPECT_EQ(elenco("SELECT Numero || ':' || Nota AS v FROM Fatture WHERE Nota LIKE 'segnata%' ORDER BY Numero"),
              "100:segnata 100|200:segnata 200|300:segnata 300|400:segnata 400|500:segnata 500|600:segnata 600|"
              "700:segnata 700|800:segnata 800|900:segnata 900|1000:segnata 1000|1100:segnata 1100|"
              "1200:segnata 1200");
    EXPECT_EQ(elenco("SELECT Nome AS v FROM Clienti WHERE Codice = 'C2'"), "Verdi");

    // A set closed before its end drops its edits; a wrong column is told at once.
    const QString a = apri("SELECT * FROM Fatture ORDER BY Numero", kAvanti);
    modifica(a, {{"Nota", QString("persa")}});
    rs.ModificaRec(a);
    rs.ScriviCampo(a, "Manca", 1);
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(a); }), NumErroreDb::CampoInesistente);
    rs.RecSuccessivo(a);
    EXPECT_EQ(numeroErrore([&] { rs.PrimoRec(a); }), NumErroreDb::OperazioneNonAmmessa);
    rs.ChiudiRecordset(a);
    EXPECT_EQ(elenco("SELECT Nota AS v FROM Fatture WHERE Numero = 1"), "prima");
    // The server's cursors are closed, at the end of a scan and with a set closed before it.
    if (GetParam() == Motore::Server) EXPECT_EQ(elenco("SELECT count(*) AS v FROM pg_cursors WHERE is_holdable"), "0");
}

TEST_P(RecordsetMotori, SolaAvantiScriveMigliaiaDiRigheConITipiDelleColonne) {
    // More rows than one block of held edits, every column type the marks use.
    g.EseguiSql(id,
                "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 2599)"
                " INSERT INTO Fatture (Numero, Cliente, Importo) SELECT i, 'C2', i FROM n");
    g.IniziaTransazione(id);
    const QString k = apri("SELECT * FROM Fatture ORDER BY Numero", kAvanti);
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        const long numero = static_cast<long>(rs.LeggiCampo(k, "Numero").intero());
        modifica(k, {{"Righe", Valore(numero % 7)},
                     {"Importo", Valore(numero + 0.25)},
                     {"DataFat", Valore(QDate(2018, 1, 1).addDays(numero % 365))},
                     {"Nota", numero % 2 ? Valore::null() : Valore(QStringLiteral("l'%1").arg(numero))}});
        // A second edit of the same row in the same scan: the last one counts.
        if (numero == 2599) modifica(k, {{"Nota", QString("ultima")}});
    }
    g.ConfermaTransazione(id);
    EXPECT_EQ(elenco("SELECT count(*) AS v FROM Fatture WHERE Importo = Numero + 0.25 AND Righe = Numero % 7"), "2503");
    EXPECT_EQ(elenco("SELECT count(*) AS v FROM Fatture WHERE Nota IS NULL"), "1251");
    EXPECT_EQ(elenco("SELECT Nota AS v FROM Fatture WHERE Numero IN (2598, 2599) ORDER BY Numero"), "l'2598|ultima");
    EXPECT_EQ(elenco("SELECT DataFat AS v FROM Fatture WHERE Numero = 400"), "2018-02-05");
}

TEST_P(RecordsetMotori, DatabaseChiusoSottoUnSetAperto) {
    const QString k = apri("SELECT * FROM Fatture ORDER BY Numero");
    const QString a = apri("SELECT * FROM Fatture ORDER BY Numero", kAvanti);
    g.ChiudiDatabase(id);
    EXPECT_EQ(rs.LeggiCampo(k, "Numero"), Valore(1));  // the rows read stay readable
    rs.ModificaRec(k);
    rs.ScriviCampo(k, "Nota", QString("x"));
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), NumErroreDb::DatabaseChiuso);
    EXPECT_EQ(numeroErrore([&] { rs.CancellaRec(k); }), NumErroreDb::DatabaseChiuso);
    EXPECT_EQ(numeroErrore([&] { rs.RecSuccessivo(a); }), NumErroreDb::DatabaseChiuso);
    EXPECT_EQ(numeroErrore([&] { apri("SELECT * FROM Fatture"); }), NumErroreDb::DatabaseChiuso);
    rs.ChiudiRecordset(a);
}

// Types a file does not have read as the file would give the same data, and
// written back from the program's values.
TEST(RecordsetServer, TipiDelServerLettiEScrittiComeSuUnFile) {
    SALTA_SENZA_PG();
    DatabasePg pg;
    pg.Esegui("CREATE EXTENSION IF NOT EXISTS citext;"
              "CREATE TABLE tipi (id BIGINT PRIMARY KEY, prezzo NUMERIC(10, 2), attivo BOOLEAN, ora TIMESTAMP,"
              " codice CITEXT, sigla CHAR(3), peso REAL);"
              "INSERT INTO tipi VALUES (5000000000, 12.25, true, '2024-01-02 10:30', 'Ab', 'X', 1.5)");
    GestoreDb g;
    g.ScriviProprieta("DbSqlPubUID", 12, Valore("comiva"));
    g.ScriviProprieta("DbSqlPubPWD", 12, Valore("comiva"));
    const QString id = g.ApriDatabase(pg.Servizio());
    GestRecordset rs;
    const QString k = rs.ApriRecordset(g, id, "", "SELECT * FROM Tipi", false, 4);
    struct Caso {
        const char* nome;
        Valore letto, scritto, riletto;
    } casi[] = {
        {"Id", 5000000000LL, 5000000001LL, 5000000001LL},
        {"Prezzo", 12.25, 0.1, 0.1},
        {"Attivo", 1, false, 0},
        {"Ora", QDate(2024, 1, 2), QDate(2025, 6, 30), QDate(2025, 6, 30)},
        {"Codice", "Ab", "cD", "cD"},
        {"Sigla", "X  ", "Y", "Y  "},
        {"Peso", 1.5, 2.5, 2.5},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(rs.LeggiCampo(k, c.nome), c.letto);
        EXPECT_EQ(rs.LeggiCampo(k, c.nome).tipo(), c.letto.tipo());
    }
    rs.ModificaRec(k);
    for (const auto& c : casi) rs.ScriviCampo(k, c.nome, c.scritto);
    rs.AggiornaRec(k);
    rs.ChiudiRecordset(k);
    const QString r = rs.ApriRecordset(g, id, "", "SELECT * FROM tipi WHERE codice = 'CD'", false, 4);
    ASSERT_EQ(rs.ContaRec(r), 1);
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(rs.LeggiCampo(r, c.nome), c.riletto);
    }
}

INSTANTIATE_TEST_SUITE_P(, RecordsetMotori, ::testing::Values(Motore::File, Motore::Server),
                         [](const auto& info) { return info.param == Motore::File ? "File" : "Server"; });

}  // namespace
