#include "support/Fixture.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"

#include <gtest/gtest.h>

namespace {

long numeroErrore(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErroreRun& e) {
        return e.numero();
    }
    return 0;
}

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
    EXPECT_EQ(e.numero(), NumErrore::ErroreSql);
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
    EXPECT_EQ(numeroErrore([&] { rs.AggiornaRec(k); }), NumErrore::ErroreSql);

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
