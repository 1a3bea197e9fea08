#include "components/pages/LinPag.h"

#include "Ospiti.h"
#include "components/db/GestoreDb.h"
#include "components/pages/CampiTabella.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QLineEdit>
#include <QTableView>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The modules of communication 2018/1: key from the header, module number,
// month and the two VP14 amounts.
class LinPagTest : public ::testing::Test {
public:
    void SetUp() override {
        for (auto* b : {&anno, &numCom, &modulo, &mese, &versare, &credito}) *b = new QLineEdit(&form);
        anno->setText("2018");
        numCom->setText("1");
        fx.Inserisci(fx.idAzienda, "LiqIvaTest", {{"Anno", 2018}, {"NumCom", 1}});
        Modulo(1, 3, 150.5);
        Modulo(2, Valore::null(), 0);
        Modulo(1, 1, 7, 2019);  // another communication's module
        linee.ImpForm(&ospite);
        linee.ImpDbServer(fx.gestDb.get());
        linee.ImpIdDbase(fx.idAzienda);
        linee.ImpContatore(&contatore);
        linee.ImpGriglia(&griglia);
        linee.ImpTabella("LiqIvaDett");
        linee.AggiungiCampo("Anno", anno, {.parteChiave = 1, .daTestata = 2});
        linee.AggiungiCampo("NumCom", numCom, {.parteChiave = 1, .daTestata = 2});
        linee.AggiungiCampo("Modulo", modulo, {.parteChiave = 1, .numeroRiga = true, .maschera = "0"});
        linee.AggiungiCampo("Mese", mese);
        linee.AggiungiCampo("ImportoDaVersare", versare, {.nomeBreve = "ImpDaVersare", .maschera = "#,##0.00"});
        linee.AggiungiCampo("ImportoACredito", credito, {.nomeBreve = "ImpACredito", .maschera = "#,##0.00"});
        for (int c : {3, 4, 7, 8, 16}) linee.AttivaPers(c, true);
        linee.ConcludiIniz("SELECT Anno, NumCom, Modulo, Mese, ImportoDaVersare, ImportoACredito FROM LiqIvaDett"
                           " WHERE Anno = 2018 AND NumCom = 1 ORDER BY Anno, NumCom, Modulo");
    }
    void Modulo(int m, const Valore& mese, double versare, int anno = 2018) {
        fx.Inserisci(fx.idAzienda, "LiqIvaDett",
                     {{"Anno", anno}, {"NumCom", 1}, {"Modulo", m}, {"Mese", mese}, {"ImportoDaVersare", versare}});
    }
    QString Comando(const QString& k) {
        QString r;
        linee.LanciaComando(k, r);
        return r;
    }
    QString Valori(const QString& sql) {
        ModelloGriglia m;
        m.Carica(*fx.gestDb, fx.idAzienda, sql);
        QStringList t;
        for (int r = 0; r < m.rowCount(); ++r)
            for (int c = 0; c < m.columnCount(); ++c) t << m.TestoCella(r, c);
        return t.join(QLatin1Char(' '));
    }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto = fx.InstallaContesto();
    QWidget form;
    QLineEdit contatore;
    QTableView griglia;
    QLineEdit *anno, *numCom, *modulo, *mese, *versare, *credito;
    OspiteLineeReg ospite;
    LinPag linee;
};

TEST_F(LinPagTest, LeRigheDellaTestataNellaGrigliaLaPrimaNeiCampi) {
    EXPECT_EQ(linee.Modello().rowCount(), 2);
    EXPECT_EQ(modulo->text(), "1");
    EXPECT_EQ(mese->text(), "3");
    EXPECT_EQ(versare->text(), "150,50");
    EXPECT_EQ(contatore.text(), "1 / 2");
    EXPECT_EQ(ospite.reg.chiamate, (QStringList{"PersColonne", "Dop(16)"}));
    EXPECT_EQ(Comando("Successiva"), "");
    EXPECT_EQ(modulo->text(), "2");
    EXPECT_EQ(mese->text(), "");
    EXPECT_EQ(contatore.text(), "2 / 2");
    EXPECT_NE(Comando("Successiva"), "") << "no row past the last";
}

TEST_F(LinPagTest, NuovaRigaNumerataDopoLUltimaESalvataConLaChiaveDellaTestata) {
    ospite.reg.chiamate.clear();
    EXPECT_EQ(Comando("Nuovo"), "");
    EXPECT_EQ(linee.LeggiStato(), LinPag::Nuova);
    EXPECT_EQ(modulo->text(), "") << "numbered when saved blank";
    EXPECT_EQ(mese->text(), "");
    EXPECT_EQ(contatore.text(), "3 / 3");
    EXPECT_TRUE(linee.NuovaIntatta());
    EXPECT_EQ(ospite.reg.chiamate, (QStringList{"Pri(8)", "Dop(7:[2])", "Dop(8)"})) << "the before-hook of a new row too";
    mese->setText("9");
    versare->setText("1.234,5");
    EXPECT_EQ(Comando("Salva"), "");
    EXPECT_EQ(linee.LeggiStato(), LinPag::Scorrimento);
    EXPECT_EQ(Valori("SELECT Mese, ImportoDaVersare FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 3"),
              "9 1234,5");
    EXPECT_EQ(modulo->text(), "3") << "the saved row stays current";
    EXPECT_EQ(contatore.text(), "3 / 3");
}

TEST_F(LinPagTest, SalvataggioRifiutatoDalHookODaUnCampoRosso) {
    form.show();
    const struct Caso {
        const char* nome;
        bool rosso;
        QLineEdit* LinPagTest::*fuoco;
    } casi[] = {
        {.nome = "hook names the payable box", .rosso = false, .fuoco = &LinPagTest::versare},
        {.nome = "month shows the error colour", .rosso = true, .fuoco = &LinPagTest::mese},
    };
    ospite.prima[3] = [](Valore& rit) {
        rit = Valore("ImportoDaVersare");
        return 1;
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        mese->setText("5");
        if (c.rosso) ColoraCampo(mese, 255);
        EXPECT_NE(Comando("Salva"), "");
        EXPECT_EQ(Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"), "3");
        EXPECT_EQ(form.focusWidget(), this->*c.fuoco);
    }
}

TEST_F(LinPagTest, AnnullaSenzaDomandaQuandoMsgAnnÈN) {
    Comando("Nuovo");
    linee.ImpParLinee("MsgAnn", Valore("N"));
    EXPECT_EQ(Comando("Annulla"), "");
    EXPECT_EQ(linee.LeggiStato(), LinPag::Scorrimento);
    EXPECT_EQ(modulo->text(), "1");
    EXPECT_FALSE(ospite.reg.chiamate.join(" ").contains("Domanda"));
    EXPECT_TRUE(ospite.reg.chiamate.contains("Dop(4)"));

    Comando("Nuovo");
    linee.ImpParLinee("MsgAnn", Valore());
    EXPECT_EQ(linee.LeggiStatoChiusura(), 0) << "an untouched new row holds nothing to lose";
    mese->setText("7");
    EXPECT_EQ(linee.LeggiStatoChiusura(), 1);
    ospite.reg.risposte = {2};
    EXPECT_NE(Comando("Annulla"), "") << "the question answered No keeps the new row";
    EXPECT_EQ(linee.LeggiStato(), LinPag::Nuova);
}

TEST_F(LinPagTest, CancellaChiedeEToglieSoloLaRigaCorrente) {
    ospite.reg.risposte = {1};
    EXPECT_EQ(Comando("Cancella"), "");
    EXPECT_EQ(Valori("SELECT Anno, Modulo FROM LiqIvaDett ORDER BY Anno, Modulo"), "2018 2 2019 1");
    EXPECT_EQ(modulo->text(), "2");
    EXPECT_EQ(contatore.text(), "1 / 1");
}

TEST_F(LinPagTest, ChiusuraConRigaVariata) {
    mese->setText("4");
    EXPECT_EQ(linee.LeggiStatoChiusura(), 1);
    ospite.reg.risposte = {3};
    EXPECT_FALSE(linee.PuoChiudere());
    ospite.reg.risposte = {1};
    EXPECT_TRUE(linee.PuoChiudere());
    EXPECT_EQ(Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND Modulo = 1"), "4");
    EXPECT_EQ(linee.LeggiStatoChiusura(), 0);
}

}  // namespace
