#include "support/Fixture.h"
#include "support/NumeroErrore.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// Registrations with their causal and the causal it is chained to: two tables
// share column names and one table appears twice under an alias.
class Registrazioni : public ::testing::Test {
protected:
    void SetUp() override {
        // Narrow tables of the test's own in place of the schema's.
        fx.Esegui(fx.idAzienda,
                  "DROP TABLE Causali; DROP TABLE MovPnTes;"
                  "CREATE TABLE Causali (Causale VARCHAR(5) COLLATE NOCASE PRIMARY KEY, Descrizione TEXT,"
                  " TipoCausale TEXT, CausConcatenata TEXT);"
                  "CREATE TABLE MovPnTes (NumReg INTEGER PRIMARY KEY, Causale TEXT COLLATE NOCASE, Descrizione TEXT,"
                  " DataReg DATE, Importo DOUBLE PRECISION, NumInv INTEGER);"
                  "INSERT INTO Causali VALUES ('FV', 'Fattura vendita', 'V', 'GC'), ('GC', 'Giroconto', 'G', NULL),"
                  " ('FA', 'Fattura acquisto', 'A', NULL);"
                  "INSERT INTO MovPnTes VALUES (1, 'FV', 'Vendita a D''Angelo', '2024-03-15', 1220.5, NULL),"
                  " (2, 'FA', NULL, '2024-03-16', 0, NULL), (3, 'fv', 'Seconda vendita', NULL, 10, 7);");
    }
    Valore valore(const QString& sql) {
        const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", sql, false, 4);
        const Valore v = rs.LeggiCampoNull(k, "v");
        rs.ChiudiRecordset(k);
        return v;
    }
    static constexpr const char* kJoin =
        "SELECT MovPnTes.*, Causali.*, Causali_1.TipoCausale"
        " FROM (MovPnTes INNER JOIN Causali ON MovPnTes.Causale = Causali.Causale)"
        " LEFT JOIN Causali AS Causali_1 ON Causali.CausConcatenata = Causali_1.Causale"
        " WHERE EXISTS (SELECT 1 FROM Causali c2 WHERE c2.Causale = MovPnTes.Causale)"
        " ORDER BY MovPnTes.NumReg";
    FixtureDb fx;
    GestRecordset rs;
};

}  // namespace

TEST_F(Registrazioni, LeggeColonneQualificateNudeEDaAlias) {
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", kJoin, false, 4);
    ASSERT_EQ(rs.ContaRec(k), 3);
    struct Caso {
        const char* nome;
        Valore atteso;
    } casi[] = {
        {"MovPnTes.Descrizione", "Vendita a D'Angelo"},
        {"Causali.Descrizione", "Fattura vendita"},
        {"Descrizione", "Vendita a D'Angelo"},  // bare: the first column of that name
        {"causali.tipocausale", "V"},
        {"Causali_1.TipoCausale", "G"},
        {"[Causali_1].[TipoCausale]", "G"},
        {"TipoCausale", "V"},
        {"MovPnTes.DataReg", QDate(2024, 3, 15)},
        {"Importo", 1220.5},
        {"NumReg", 1},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_EQ(rs.LeggiCampo(k, c.nome), c.atteso);
    }
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(k, "Causali_2.TipoCausale"); }), NumErrore::OggettoInesistente);

    // Second row: null columns and a causal with no chained one (left join).
    rs.RecSuccessivo(k);
    for (const char* nome : {"MovPnTes.Descrizione", "Causali_1.TipoCausale", "NumInv"}) {
        SCOPED_TRACE(nome);
        const Valore v = rs.LeggiCampo(k, nome);
        EXPECT_TRUE(v.eVuoto());
        EXPECT_EQ(v.testo(), "");
        EXPECT_EQ(v.numero(), 0);
        EXPECT_TRUE(rs.LeggiCampoNull(k, nome).eNull());
    }
    rs.ChiudiRecordset(k);
}

TEST_F(Registrazioni, AliasDiEspressioniENullDiAggregati) {
    EXPECT_EQ(valore("SELECT max(NumInv) AS v FROM MovPnTes"), Valore(7));
    EXPECT_TRUE(valore("SELECT max(NumReg) AS v FROM MovPnTes WHERE NumReg > 10").eNull());
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "",
                                       "SELECT max(NumReg) AS UltNum, count(*) AS Esistono FROM MovPnTes WHERE NumReg > 10",
                                       false, 4);
    EXPECT_EQ(rs.LeggiCampo(k, "UltNum").numero(), 0);  // the maximum of an empty set reads as 0
    EXPECT_EQ(rs.LeggiCampo(k, "ultnum").testo(), "");
    EXPECT_EQ(rs.LeggiCampo(k, "Esistono"), Valore(0));
    // An aggregate is no row of a table: it cannot be edited.
    EXPECT_EQ(numeroErrore([&] { rs.ModificaRec(k); }), NumErroreDb::CampoNonAggiornabile);
}

TEST_F(Registrazioni, NavigazioneEConteggio) {
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "",
                                       "SELECT NumReg FROM MovPnTes ORDER BY NumReg DESC", false, 2);
    EXPECT_FALSE(rs.RecVuoto(k));
    EXPECT_EQ(rs.ContaRec(k), 3);
    std::vector<int64_t> letti;
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) letti.push_back(rs.LeggiCampo(k, "NumReg").intero());
    EXPECT_EQ(letti, (std::vector<int64_t>{3, 2, 1}));
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(k, "NumReg"); }), NumErrore::NessunRecordCorrente);
    EXPECT_EQ(numeroErrore([&] { rs.RecSuccessivo(k); }), NumErrore::NessunRecordCorrente);
    rs.PrimoRec(k);
    EXPECT_EQ(rs.LeggiCampo(k, "NumReg"), Valore(3));

    const QString v = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", "SELECT * FROM MovPnTes WHERE NumReg < 0", false, 2);
    EXPECT_TRUE(rs.RecVuoto(v));
    EXPECT_TRUE(rs.FineRec(v));
    EXPECT_EQ(rs.ContaRec(v), 0);

    rs.ChiudiRecordset(k);
    EXPECT_NO_THROW(rs.ChiudiRecordset(k));  // closing twice is harmless
    EXPECT_NE(numeroErrore([&] { rs.FineRec(k); }), 0);
    const auto e = [&] {
        try {
            rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", "SELECT * FROM Inesistente", false, 4);
        } catch (const ErroreRun& e) {
            return e;
        }
        return ErroreRun(0, {});
    }();
    EXPECT_EQ(e.numero(), NumErroreDb::TabellaInesistente);
    EXPECT_EQ(e.origine(), "GestRecordset");
}

TEST_F(Registrazioni, ModificaDiUnaQueryUnitaRaggiungeLaRigaDellaSuaTabella) {
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", kJoin, false, 2);
    // Marks written row by row while the same query is being walked.
    int numero = 100;
    for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
        rs.ModificaRec(k);
        rs.ScriviCampo(k, "MovPnTes.NumInv", numero++);
        rs.ScriviCampo(k, "MovPnTes.Descrizione", QString("Nota dell'utente"));
        rs.ScriviCampo(k, "Causali.TipoCausale", QString("X"));
        rs.AggiornaRec(k);
        EXPECT_EQ(rs.LeggiCampo(k, "NumInv"), Valore(numero - 1));
        EXPECT_EQ(rs.LeggiCampo(k, "Causali.Descrizione").testo().isEmpty(), false);  // other table's text kept
    }
    EXPECT_EQ(numero, 103);
    // Saved at once, each row in its own table, the aliased twin untouched.
    EXPECT_EQ(valore("SELECT group_concat(NumInv || ':' || Descrizione, ',') AS v FROM (SELECT * FROM MovPnTes ORDER BY NumReg)"),
              Valore("100:Nota dell'utente,101:Nota dell'utente,102:Nota dell'utente"));
    EXPECT_EQ(valore("SELECT group_concat(TipoCausale, '') AS v FROM (SELECT * FROM Causali ORDER BY Causale)"),
              Valore("XXG"));
    EXPECT_EQ(valore("SELECT count(*) AS v FROM MovPnTes"), Valore(3));

    rs.PrimoRec(k);
    EXPECT_EQ(rs.LeggiCampo(k, "Causali.TipoCausale").testo(), "X");
    EXPECT_EQ(rs.LeggiCampo(k, "Causali_1.TipoCausale").testo(), "G");

    // A date and a null go in as such.
    rs.ModificaRec(k);
    rs.ScriviCampo(k, "DataReg", QDate(2024, 12, 31));
    rs.ScriviCampo(k, "MovPnTes.Importo", Valore::null());
    rs.AggiornaRec(k);
    EXPECT_EQ(valore("SELECT DataReg || '' AS v FROM MovPnTes WHERE NumReg = 1"), Valore("2024-12-31"));
    EXPECT_TRUE(valore("SELECT Importo AS v FROM MovPnTes WHERE NumReg = 1").eNull());

    // Left join without a row on the alias's side: nothing to edit there.
    rs.RecSuccessivo(k);
    rs.ModificaRec(k);
    rs.ScriviCampo(k, "Causali_1.TipoCausale", QString("Z"));
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), NumErroreDb::CampoNonAggiornabile);
}

TEST_F(Registrazioni, ScrittureRifiutate) {
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "",
                                       "SELECT NumReg, Importo * 2 AS Doppio FROM MovPnTes", false, 2);
    EXPECT_EQ(numeroErrore([&] { rs.ScriviCampo(k, "Importo", 1); }), 3020);
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), 3020);
    rs.ModificaRec(k);
    EXPECT_EQ(numeroErrore([&] { rs.ScriviCampo(k, "Doppio", 1); }), NumErroreDb::CampoNonAggiornabile);
    rs.ScriviCampo(k, "Colonna_inesistente", 1);
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), NumErroreDb::CampoInesistente);

    // A database closed under an open set refuses the edit.
    const QString id = fx.gestDb->ApriDatabase(fx.fileAzienda);
    const QString k2 = rs.ApriRecordset(*fx.gestDb, id, "", "SELECT * FROM MovPnTes", false, 2);
    fx.gestDb->ChiudiDatabase(id);
    EXPECT_EQ(rs.LeggiCampo(k2, "NumReg"), Valore(1));  // the rows read stay readable
    rs.ModificaRec(k2);
    rs.ScriviCampo(k2, "NumInv", 1);
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k2); }), NumErroreDb::DatabaseChiuso);
}

TEST(GestRecordset, CancellaTutteLeRigheEAggiungeLaNuovaTestata) {
    FixtureDb fx;
    fx.Inserisci(fx.idAzienda, "Monete", {{"Moneta", "Euro"}, {"NumDec", 2}});
    fx.Inserisci(fx.idAzienda, "Monete", {{"Moneta", "L."}, {"NumDec", 0}});
    fx.Inserisci(fx.idAzienda, "Monete", {{"Moneta", "USD"}, {"NumDec", 2}});
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "",
                                       "Select * from Monete Where Monete.NumDec = 2", false, 4);
    ASSERT_EQ(rs.ContaRec(k), 2);
    while (!rs.FineRec(k)) {
        rs.CancellaRec(k);
        EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(k, "Moneta"); }), 3167);
        rs.RecSuccessivo(k);
    }
    EXPECT_EQ(rs.ContaRec(k), 0);
    rs.NuovoRec(k);
    rs.ScriviCampo(k, "Monete.Moneta", QString("Franco d'oro"));
    rs.ScriviCampo(k, "NumDec", 2);
    rs.ScriviCampo(k, "NumDecGest", 3);
    rs.ScriviCampo(k, "NumDec", 4);  // the last value written counts
    rs.AggiornaRec(k);
    EXPECT_TRUE(rs.FineRec(k));  // the position does not move
    EXPECT_EQ(rs.ContaRec(k), 1);
    rs.PrimoRec(k);
    EXPECT_EQ(rs.LeggiCampo(k, "Moneta").testo(), "Franco d'oro");
    EXPECT_EQ(rs.LeggiCampo(k, "NumDec"), Valore(4));
    EXPECT_TRUE(rs.LeggiCampoNull(k, "Cee").eNull());
    rs.ChiudiRecordset(k);

    const QString t = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", "SELECT Moneta, NumDec FROM Monete ORDER BY Moneta", false, 4);
    std::vector<QString> monete;
    for (; !rs.FineRec(t); rs.RecSuccessivo(t)) monete.push_back(rs.LeggiCampo(t, "Moneta").testo() + "/" + rs.LeggiCampo(t, "NumDec").testo());
    EXPECT_EQ(monete, (std::vector<QString>{"Franco d'oro/4", "L./0"}));
    // A duplicate key fails and the set is left as it was.
    rs.NuovoRec(t);
    rs.ScriviCampo(t, "Moneta", QString("l."));
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(t); }), NumErroreDb::ValoriDuplicati);
    EXPECT_EQ(rs.ContaRec(t), 2);
}

// The forward-only record set (mode 8): read row by row, marked as it goes.
namespace {

constexpr int kAvanti = 8;

// Documents with two lines each; the send number has an index, so that a
// scan along it sees a mark move the row it is on.
class Documenti : public ::testing::Test {
protected:
    void SetUp() override {
        fx.Esegui(fx.idAzienda,
                  "CREATE TABLE Doc (Id INTEGER PRIMARY KEY, Conto TEXT, Data DATE, NumInv INTEGER NOT NULL DEFAULT 0,"
                  " Progr INTEGER NOT NULL DEFAULT 0, NomeFile TEXT);"
                  "CREATE INDEX Doc_Invio ON Doc (NumInv, Id);"
                  "CREATE TABLE Riga (Id INTEGER NOT NULL, NumDet INTEGER NOT NULL, Importo DOUBLE PRECISION,"
                  " Natura TEXT, PRIMARY KEY (Id, NumDet));"
                  "CREATE TABLE Conti (Conto TEXT PRIMARY KEY, Nome TEXT);"
                  "INSERT INTO Conti VALUES ('C1', 'Rossi');");
        for (int i = 1; i <= kDoc; ++i) {
            fx.Esegui(fx.idAzienda, QStringLiteral("INSERT INTO Doc (Id, Conto, Data) VALUES (%1, 'C%2', '2024-01-%3')")
                                        .arg(i)
                                        .arg(i % 2)
                                        .arg(i, 2, 10, QLatin1Char('0')));
            for (int d = 1; d <= 2; ++d)
                fx.Esegui(fx.idAzienda, QStringLiteral("INSERT INTO Riga VALUES (%1, %2, %3, NULL)").arg(i).arg(d).arg(i * 10 + d));
        }
    }
    long conta(const QString& sql) {
        const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", sql, false, 4);
        const long n = static_cast<long>(rs.LeggiCampo(k, "n").intero());
        rs.ChiudiRecordset(k);
        return n;
    }
    QString elenco(const QString& sql) {
        const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", sql, false, 4);
        const QString s = rs.LeggiCampo(k, "v").testo();
        rs.ChiudiRecordset(k);
        return s;
    }
    static constexpr int kDoc = 6;
    FixtureDb fx;
    GestRecordset rs;
};

}  // namespace

TEST_F(Documenti, LeggeComeIlModoConChiaveUnaRigaAllaVolta) {
    const QString sql =
        "SELECT Doc.*, Riga.NumDet, Riga.Importo AS Valore, Riga.Natura, Conti.Nome FROM Doc"
        " INNER JOIN Riga ON Riga.Id = Doc.Id LEFT JOIN Conti ON Conti.Conto = Doc.Conto"
        " ORDER BY Doc.Id DESC, Riga.NumDet";
    const QStringList nomi = {"Doc.Id", "id", "[Doc].[Conto]", "Data", "Riga.NumDet", "Valore", "Natura", "Conti.Nome"};
    const QString c = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", sql, false, 4);
    const QString a = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", sql, false, kAvanti);
    EXPECT_FALSE(rs.RecVuoto(a));
    rs.PrimoRec(a);  // still on the first row: allowed
    const int indiceNome = rs.IndiceCampo(a, "conti.nome");
    int righe = 0;
    for (; !rs.FineRec(c); rs.RecSuccessivo(c), rs.RecSuccessivo(a)) {
        ASSERT_FALSE(rs.FineRec(a));
        for (const QString& n : nomi) {
            SCOPED_TRACE(n.toStdString());
            EXPECT_EQ(rs.LeggiCampoNull(a, n), rs.LeggiCampoNull(c, n));
            EXPECT_EQ(rs.LeggiCampo(a, n), rs.LeggiCampo(c, n));
        }
        EXPECT_EQ(rs.LeggiCampo(a, indiceNome), rs.LeggiCampo(c, "Conti.Nome"));  // "" or "Rossi"
        ++righe;
    }
    EXPECT_EQ(righe, 2 * kDoc);
    EXPECT_TRUE(rs.FineRec(a));
    EXPECT_FALSE(rs.RecVuoto(a));  // it had rows
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(a, "Doc.Id"); }), NumErrore::NessunRecordCorrente);
    EXPECT_EQ(numeroErrore([&] { rs.LeggiCampo(a, indiceNome); }), NumErrore::NessunRecordCorrente);
    EXPECT_EQ(numeroErrore([&] { rs.RecSuccessivo(a); }), NumErrore::NessunRecordCorrente);

    const QString v = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", "SELECT * FROM Doc WHERE Id < 0", false, kAvanti);
    EXPECT_TRUE(rs.RecVuoto(v));
    EXPECT_TRUE(rs.FineRec(v));
    EXPECT_NO_THROW(rs.PrimoRec(v));
    EXPECT_EQ(numeroErrore([&] { rs.ModificaRec(v); }), NumErrore::NessunRecordCorrente);
}

// The writer's case: a document is marked on its first line while the scan
// goes on over its other lines and the next documents. Written at once, the
// first query would return every marked document again (the mark moves it
// ahead in the index it is scanned by) and the second would lose the second
// line of each (its document no longer passes the WHERE).
TEST_F(Documenti, MarcheSulleRigheCorrentiOgniRigaUnaVoltaOgniDocumentoMarcatoUnaVolta) {
    const char* casi[] = {
        "SELECT Doc.*, Riga.NumDet FROM Doc INNER JOIN Riga ON Riga.Id = Doc.Id WHERE Doc.NumInv >= 0"
        " ORDER BY Doc.NumInv, Doc.Id, Riga.NumDet",
        "SELECT Doc.*, Riga.NumDet FROM Riga CROSS JOIN Doc ON Doc.Id = Riga.Id WHERE Doc.NumInv = 0"
        " ORDER BY Riga.Id, Riga.NumDet",
    };
    for (const char* sql : casi) {
        SCOPED_TRACE(sql);
        fx.Esegui(fx.idAzienda, "UPDATE Doc SET NumInv = 0, Progr = 0, NomeFile = NULL");
        fx.gestDb->IniziaTransazione(fx.idAzienda);
        const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", sql, false, kAvanti);
        std::map<int64_t, int> righePerDoc;
        int progr = 0;
        for (rs.PrimoRec(k); !rs.FineRec(k); rs.RecSuccessivo(k)) {
            ASSERT_LE(progr, kDoc) << "la scansione torna sui documenti già marcati";
            const int64_t id = rs.LeggiCampo(k, "Doc.Id").intero();
            ++righePerDoc[id];
            if (rs.LeggiCampo(k, "NumDet").intero() != 1) {
                EXPECT_EQ(rs.LeggiCampo(k, "NumInv"), Valore(0));  // a new row is read as it is
                continue;
            }
            rs.ModificaRec(k);
            rs.ScriviCampo(k, "Doc.NumInv", 7);
            rs.ScriviCampo(k, "Progr", ++progr);
            if (id % 2) rs.ScriviCampo(k, "NomeFile", QString("A"));  // a second group of columns
            rs.AggiornaRec(k);
            // The current row reads back as marked; the table is written only at the end.
            EXPECT_EQ(rs.LeggiCampo(k, "NumInv"), Valore(7));
            EXPECT_EQ(rs.LeggiCampo(k, "Doc.Progr"), Valore(progr));
            EXPECT_EQ(conta("SELECT count(*) AS n FROM Doc WHERE NumInv <> 0"), 0);
        }
        EXPECT_EQ(righePerDoc.size(), static_cast<size_t>(kDoc));
        for (const auto& [id, righe] : righePerDoc) EXPECT_EQ(righe, 2) << "documento " << id;
        // Past the last row the marks are in, inside the caller's transaction.
        EXPECT_EQ(elenco("SELECT group_concat(Id || ':' || NumInv || ':' || Progr || ':' || ifnull(NomeFile, '-'), ' ')"
                         " AS v FROM (SELECT * FROM Doc ORDER BY Id)"),
                  "1:7:1:A 2:7:2:- 3:7:3:A 4:7:4:- 5:7:5:A 6:7:6:-");
        fx.gestDb->AnnullaTransazione(fx.idAzienda);
        EXPECT_EQ(conta("SELECT count(*) AS n FROM Doc WHERE NumInv <> 0 OR NomeFile IS NOT NULL"), 0);
        rs.ChiudiRecordset(k);
    }
}

TEST_F(Documenti, UnSetChiusoPrimaDellaFineNonScriveLeMarche) {
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "", "SELECT * FROM Doc ORDER BY Id", false, kAvanti);
    for (int i = 0; i < 3; ++i, rs.RecSuccessivo(k)) {
        rs.ModificaRec(k);
        rs.ScriviCampo(k, "NumInv", 1);
        rs.AggiornaRec(k);
    }
    rs.ChiudiRecordset(k);
    EXPECT_EQ(conta("SELECT count(*) AS n FROM Doc WHERE NumInv <> 0"), 0);
}

TEST_F(Documenti, OperazioniNonAmmesseEScrittureSbagliate) {
    const QString k = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "",
                                       "SELECT Doc.Id, Doc.NumInv, Conti.Nome FROM Doc LEFT JOIN Conti"
                                       " ON Conti.Conto = Doc.Conto ORDER BY Doc.Id",
                                       false, kAvanti);
    struct Caso {
        const char* cosa;
        std::function<void()> f;
        long numero;
    } casi[] = {
        {"ContaRec", [&] { rs.ContaRec(k); }, NumErroreDb::OperazioneNonAmmessa},
        {"NuovoRec", [&] { rs.NuovoRec(k); }, NumErroreDb::OperazioneNonAmmessa},
        {"CancellaRec", [&] { rs.CancellaRec(k); }, NumErroreDb::OperazioneNonAmmessa},
        {"campo inesistente", [&] { rs.LeggiCampo(k, "Doc.Manca"); }, NumErrore::OggettoInesistente},
        {"indice fuori", [&] { rs.LeggiCampo(k, 3); }, NumErrore::OggettoInesistente},
        {"AggiornaRec senza ModificaRec", [&] { rs.AggiornaRec(k); }, 3020},
        // Doc 1 has account "C1" (a row of Conti), doc 2 none.
        {"colonna sconosciuta, detta subito",
         [&] {
             rs.ModificaRec(k);
             rs.ScriviCampo(k, "Doc.Manca", 1);
             rs.AggiornaRec(k);
         },
         NumErroreDb::CampoInesistente},
        {"PrimoRec dopo un passo",
         [&] {
             rs.RecSuccessivo(k);
             rs.PrimoRec(k);
         },
         NumErroreDb::OperazioneNonAmmessa},
        {"riga mancante nel left join",
         [&] {
             rs.ModificaRec(k);
             rs.ScriviCampo(k, "Doc.NumInv", 9);
             rs.ScriviCampo(k, "Conti.Nome", QString("Bianchi"));
             rs.AggiornaRec(k);
         },
         NumErroreDb::CampoNonAggiornabile},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.cosa);
        EXPECT_EQ(numeroErrore(c.f), c.numero);
    }
    // A refused edit keeps nothing of itself, not even its own table's part.
    while (!rs.FineRec(k)) rs.RecSuccessivo(k);
    EXPECT_EQ(conta("SELECT count(*) AS n FROM Doc WHERE NumInv <> 0"), 0);

    // A query whose rows are no table rows reads forward but cannot be marked.
    const QString g = rs.ApriRecordset(*fx.gestDb, fx.idAzienda, "",
                                       "SELECT Conto, count(*) AS n FROM Doc GROUP BY Conto", false, kAvanti);
    EXPECT_EQ(rs.LeggiCampo(g, "n"), Valore(kDoc / 2));
    EXPECT_EQ(numeroErrore([&] { rs.ModificaRec(g); }), NumErroreDb::CampoNonAggiornabile);

    // A database closed under the set stops the scan.
    const QString id = fx.gestDb->ApriDatabase(fx.fileAzienda);
    const QString c = rs.ApriRecordset(*fx.gestDb, id, "", "SELECT * FROM Doc", false, kAvanti);
    fx.gestDb->ChiudiDatabase(id);
    EXPECT_EQ(numeroErrore([&] { rs.RecSuccessivo(c); }), NumErroreDb::DatabaseChiuso);
    EXPECT_TRUE(rs.FineRec(c));
    rs.ChiudiRecordset(c);
}
