#include "common/form/Decodifica.h"
#include "components/core/ErroreRun.h"
#include "components/lookup/FrmListaAiuto.h"
#include "components/menu/MenuClientFinto.h"
#include "components/lookup/QorAiutiSql.h"
#include "components/lookup/TabelleAiuto.h"
#include "contesto/Contesto.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "components/db/Interroga.h"
#include "components/db/ServerPg.h"
#include "support/AppTest.h"
#include "support/Fixture.h"
#include "support/Motori.h"

namespace {

class QorAiutiDb : public ::testing::Test {
protected:
    explicit QorAiutiDb(Motore motore = Motore::File) : db(motore) {}
    bool app_ = (AppTest(), true);
    FixtureDb db;
    std::shared_ptr<Contesto> c;
    QorAiutiSql aiuti;
    QLineEdit box;
    QLabel lab;
    // What the user does in the list: keys typed in the search, then Enter; empty: Esc.
    QString digitato;
    int aperture = 0;

    void SetUp() override {
        AppTest();
        c = db.InstallaContesto();
        // The code columns typed as the program's schema types them.
        const QString tabelle = QStringLiteral(
            "DROP TABLE PianoConti; DROP TABLE Decodifiche;"
            "CREATE TABLE PianoConti (Gruppo VARCHAR(2) COLLATE NOCASE, Mastro VARCHAR(2) COLLATE NOCASE,"
            " Conto VARCHAR(6) COLLATE NOCASE, Descrizione TEXT, Email TEXT);"
            "CREATE TABLE Decodifiche (TipoTab VARCHAR(10) COLLATE NOCASE, Codice VARCHAR(10) COLLATE NOCASE,"
            " Descrizione TEXT);");
        db.Esegui(db.idAzienda, db.motore == Motore::Server ? ServerPg::SchemaPerServer(tabelle) : tabelle);
        db.Esegui(db.idAzienda,
                  QStringLiteral("INSERT INTO PianoConti VALUES ('01','02','000003','Cassa','');"
                                 "INSERT INTO PianoConti VALUES ('03','10','000001','Cliente Rossi','r@x.it');"
                                 "INSERT INTO PianoConti VALUES ('03','10','000002','Cliente Bianchi','b@x.it');"
                                 "INSERT INTO Decodifiche VALUES ('FETipDoc','TD01','Fattura');"
                                 "INSERT INTO Decodifiche VALUES ('FENatura','TD01','Altro tipo');"));
        db.Inserisci(db.idCondiviso, QStringLiteral("Aziende"),
                     {{QStringLiteral("IdAzienda"), Valore("01")}, {QStringLiteral("Descrizione"), Valore("Rossi S.r.l.")}});
        ContestoAiuti ca;
        ca.gestDb = db.gestDb.get();
        ca.idDbase = db.idAzienda;
        ca.idDbMenu = db.idCondiviso;
        aiuti.InizAiuti(ca);
        aiuti.mostraLista = [this](FrmListaAiuto& f) {
            ++aperture;
            if (digitato.isEmpty()) {
                QTest::keyClick(f.txtRicerca, Qt::Key_Escape);
                return false;
            }
            QTest::keyClicks(f.txtRicerca, digitato);
            QTest::keyClick(f.txtRicerca, Qt::Key_Return);
            return f.result() == QDialog::Accepted;
        };
    }
    void TearDown() override { ImpostaContesto(nullptr); }
    long Decod(const QString& tabella, const QString& codice, const QString& filtro = {}) {
        box.setText(codice);
        return static_cast<long>(aiuti.DecodificaCampo(tabella, &box, &lab, std::nullopt, 0, {}, 0, {}, filtro).numero());
    }
};

using QorAiutiMotori = SuMotori<QorAiutiDb>;
INSTANTIATE_TEST_SUITE_P(Motori, QorAiutiMotori, ValoriMotori(), NomeMotore);

TEST_P(QorAiutiMotori, DecodesAccountsWithOrWithoutSeparators) {
    EXPECT_EQ(Decod(QStringLiteral("Conto"), QStringLiteral("01-02-000003")), EsitoDecod::Trovato);
    EXPECT_EQ(lab.text(), QStringLiteral("Cassa"));
    EXPECT_EQ(Decod(QStringLiteral("conto"), QStringLiteral("0102000003")), EsitoDecod::Trovato);
    EXPECT_EQ(Decod(QStringLiteral("Conto"), QStringLiteral("01-02-999")), EsitoDecod::Inesistente);
    EXPECT_EQ(lab.text(), TestoInesistente);
    EXPECT_EQ(Decod(QStringLiteral("Conto"), QStringLiteral("  ")), EsitoDecod::Vuoto);
    EXPECT_EQ(lab.text(), QString());
    EXPECT_THROW(Decod(QStringLiteral("Sconosciuta"), QStringLiteral("1")), ErroreRun);
}

TEST_P(QorAiutiMotori, DecodingsKeepToTheCallersFilter) {
    EXPECT_EQ(Decod(QStringLiteral("Decodifiche"), QStringLiteral("td01"), QStringLiteral("TipoTab = 'FENatura'")),
              EsitoDecod::Trovato);
    EXPECT_EQ(lab.text(), QStringLiteral("Altro tipo"));
    EXPECT_EQ(Decod(QStringLiteral("Decodifiche"), QStringLiteral("TD02"), QStringLiteral("TipoTab = 'FETipDoc'")),
              EsitoDecod::Inesistente);
}

TEST_P(QorAiutiMotori, ValueOfTheSharedDatabaseAndThePreparationAnswer) {
    box.setText(QStringLiteral("01"));
    aiuti.DecodificaValore(QStringLiteral("Aziende"), QStringLiteral("IdAzienda"), &box, &lab, -1, 0, 8,
                           QStringLiteral("Descrizione"), std::nullopt, std::nullopt, {});
    EXPECT_EQ(lab.text(), QStringLiteral("Rossi S.r.l."));
    box.setText(QStringLiteral("02"));
    aiuti.DecodificaValore(QStringLiteral("Aziende"), QStringLiteral("IdAzienda"), &box, &lab, -1, 0, 8,
                           QStringLiteral("Descrizione"), std::nullopt, std::nullopt, {});
    EXPECT_EQ(lab.text(), TestoInesistente);

    struct Rifiuta : RicevitoreAiuto {
        void ClsMainMenuFrm() override {}
        void ClsPrepDecod(const QString&, const QString&, const QString&, const Valore&, const Valore&, const Valore&,
                          Valore& r) override { r = Valore(false); }
        void LanciaKeyPrim(const QString&) override {}
        void LanciaKeySec(const QString&) override {}
    } rifiuta;
    aiuti.GestoreAiuto().Sottoscrivi(&rifiuta);
    box.setText(QStringLiteral("01"));
    lab.setText(QStringLiteral("prima"));
    aiuti.DecodificaValore(QStringLiteral("Aziende"), QStringLiteral("IdAzienda"), &box, &lab, -1, 0, 8,
                           QStringLiteral("Descrizione"), std::nullopt, std::nullopt, {});
    EXPECT_EQ(lab.text(), QStringLiteral("prima"));
    aiuti.GestoreAiuto().Sottoscrivi(nullptr);
}

TEST_P(QorAiutiMotori, ListChoiceFillsBoxAndLabel) {
    box.setText(QStringLiteral("03"));
    digitato = QStringLiteral("-10-000002");
    int scelta = 0;
    aiuti.ApriListaAiuto(QStringLiteral("Conto"), &box, &lab, 113, nullptr, std::nullopt, scelta, 0, {}, {});
    EXPECT_NE(scelta, 0);
    EXPECT_EQ(box.text(), QStringLiteral("03-10-000002"));
    EXPECT_EQ(lab.text(), QStringLiteral("Cliente Bianchi"));
}

TEST_P(QorAiutiMotori, AccountTypedWithoutSeparatorsFindsItsRowsInTheList) {
    aiuti.FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), Valore(1));
    struct Caso {
        const char* testo;
        const char* digitato;
        const char* atteso;
    } casi[] = {{"0310", "-000002", "03-10-000002"}, {"031", "0-000001", "03-10-000001"},
                {"03-10", "-000002", "03-10-000002"}, {"0", "3-10-000001", "03-10-000001"}};
    for (const Caso& k : casi) {
        box.setText(QString::fromLatin1(k.testo));
        digitato = QString::fromLatin1(k.digitato);
        aperture = 0;
        int scelta = 0;
        aiuti.ApriListaAiuto(QStringLiteral("Conto"), &box, &lab, 113, nullptr, std::nullopt, scelta, 0, {}, {});
        EXPECT_EQ(aperture, 1) << k.testo;
        EXPECT_NE(scelta, 0) << k.testo;
        EXPECT_EQ(box.text(), QString::fromLatin1(k.atteso)) << k.testo;
    }
}

TEST_P(QorAiutiMotori, AutomaticListOfAnAccountThatDoesNotExist) {
    // The whole chain: the decoding finds nothing, the list opens on what was
    // typed, the user picks a row and the field is decoded again.
    auto libreria = std::make_shared<QorAiutiSql>();
    libreria->InizAiuti(aiuti.Contesto());
    libreria->mostraLista = aiuti.mostraLista;
    c->ggAiuti = libreria;
    c->ggMenuClient = std::make_shared<MenuClientFinto>();
    c->gsDecodHelpAbil = QStringLiteral("C");
    box.setText(QStringLiteral("03-10"));
    digitato = QStringLiteral("-000002");
    EXPECT_EQ(DecodCampo(QStringLiteral("Conto"), &box, &lab).numero(), EsitoDecod::Trovato);
    EXPECT_EQ(aperture, 1);
    EXPECT_EQ(box.text(), QStringLiteral("03-10-000002"));
    EXPECT_EQ(lab.text(), QStringLiteral("Cliente Bianchi"));
}

TEST_P(QorAiutiMotori, NothingFoundReturnsAtOnceOnlyWhenAsked) {
    box.setText(QStringLiteral("99"));
    int scelta = 0;
    aiuti.FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), Valore(1));
    const Valore r = aiuti.ApriListaAiuto(QStringLiteral("Conto"), &box, &lab, 113, nullptr, std::nullopt, scelta, 0, {}, {});
    EXPECT_EQ(r.numero(), EsitoDecod::Inesistente);
    EXPECT_EQ(lab.text(), TestoInesistente);
    EXPECT_EQ(aperture, 0);
    aiuti.FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), Valore(0));
    aiuti.ApriListaAiuto(QStringLiteral("Conto"), &box, &lab, 113, nullptr, std::nullopt, scelta, 0, {}, {});
    EXPECT_EQ(aperture, 1);  // the list opens empty for the user to search again
    EXPECT_EQ(scelta, 0);
    EXPECT_EQ(box.text(), QStringLiteral("99"));
}

// The company search's condition ignores case on both engines, whatever
// the column's type, and the user's wildcards match themselves.
TEST_P(QorAiutiMotori, BeginningOfATextWithoutRegardToCase) {
    db.Inserisci(db.idCondiviso, QStringLiteral("Aziende"),
                 {{QStringLiteral("IdAzienda"), Valore("02")}, {QStringLiteral("Descrizione"), Valore("50% Sconti")}});
    const auto righe = [&](const QString& colonna, const QString& testo) {
        const RisultatoSql r = LeggiTutto(*db.gestDb, db.idCondiviso,
                                          QStringLiteral("SELECT IdAzienda FROM Aziende WHERE ") +
                                              CondizioneLikeInizio(colonna, testo) + QStringLiteral(" ORDER BY IdAzienda"),
                                          QStringLiteral("Prova"));
        QStringList v;
        for (const auto& riga : r.righe) v << riga.value(0).testo();
        return v.join(',');
    };
    EXPECT_EQ(righe(QStringLiteral("Descrizione"), QStringLiteral("rOSSI s")), "01");
    EXPECT_EQ(righe(QStringLiteral("Descrizione"), QStringLiteral("50%")), "02");
    EXPECT_EQ(righe(QStringLiteral("Descrizione"), QStringLiteral("5_%")), "");
    EXPECT_EQ(righe(QStringLiteral("IdAzienda"), QStringLiteral("0")), "01,02");
}

TEST(FrmListaAiuto, SearchNarrowsKeysMoveEnterChoosesEscCloses) {
    AppTest();
    FrmListaAiuto f;
    f.Carica(QStringLiteral("Aiuto"), {QStringLiteral("Codice"), QStringLiteral("Descrizione")},
             {{"01", "Alfa"}, {"02", "Beta"}, {"03", "Alfabeto"}, {"04", "alfiere"}}, 1, QStringLiteral("al"));
    EXPECT_EQ(f.RigheVisibili(), (QList<int>{0, 2, 3}));
    EXPECT_EQ(f.RigaCorrente(), 0);
    QTest::keyClick(f.txtRicerca, Qt::Key_Down);
    QTest::keyClick(f.txtRicerca, Qt::Key_Down);
    QTest::keyClick(f.txtRicerca, Qt::Key_Down);  // stays on the last row shown
    EXPECT_EQ(f.RigaCorrente(), 3);
    QTest::keyClick(f.txtRicerca, Qt::Key_Up);
    EXPECT_EQ(f.RigaCorrente(), 2);
    QTest::keyClicks(f.txtRicerca, QStringLiteral("fi"));
    EXPECT_EQ(f.RigheVisibili(), QList<int>{3});
    QTest::keyClick(f.txtRicerca, Qt::Key_Return);
    EXPECT_EQ(f.RigaScelta(), 3);
    EXPECT_EQ(f.result(), QDialog::Accepted);

    f.Carica(QStringLiteral("Aiuto"), {QStringLiteral("Codice")}, {{"01"}}, 0, QStringLiteral("9"));
    QTest::keyClick(f.txtRicerca, Qt::Key_Return);  // nothing shown: no choice
    EXPECT_EQ(f.RigaScelta(), -1);
    QTest::keyClick(f.txtRicerca, Qt::Key_Escape);
    EXPECT_EQ(f.result(), QDialog::Rejected);
}

TEST(CondizioneLike, UserWildcardsMatchThemselves) {
    EXPECT_EQ(CondizioneLikeInizio(QStringLiteral("Codice"), QStringLiteral("a%b_c\\'")),
              QStringLiteral("upper(Codice) like upper('a\\%b\\_c\\\\''%') escape '\\'"));
}

}  // namespace
