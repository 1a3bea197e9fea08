#include "components/pages/ComPag.h"

#include "Ospiti.h"
#include "components/db/GestoreDb.h"
#include "components/pages/ModelloGriglia.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A page over DatiFatTest whose counterparty account stands in one box for
// three columns.
class ComPagCampoCompostoTest : public ::testing::Test {
public:
    void SetUp() override {
        for (auto* b : {&anno, &reg, &tipo, &conto}) *b = new QLineEdit(&form);
        pagina.ImpTabella("DatiFatTest");
        pagina.AggiungiCampo("AnnoCom", anno, {.parteChiave = 1});
        pagina.AggiungiCampo("NumReg", reg, {.parteChiave = 1});
        pagina.AggiungiCampo("Tipo", tipo, {.parteChiave = 1});
        pagina.AggiungiCampo("|-|GruppoPartita|MastroPartita|ContoPartita", conto);
        pagina.ImpLista(&ospite, fx.gestDb.get(), fx.idAzienda, nullptr);
    }
    void Riga(int numReg, const Valore& g, const Valore& m, const Valore& c) {
        fx.Inserisci(fx.idAzienda, "DatiFatTest",
                     {{"AnnoCom", 2018}, {"NumCom", 1}, {"AnnoReg", 2018}, {"NumReg", numReg}, {"Tipo", "E"}, {"Stato", "N"},
                      {"GruppoPartita", g}, {"MastroPartita", m}, {"ContoPartita", c}});
    }
    QString Conto(int numReg) {
        ModelloGriglia m;
        m.Carica(*fx.gestDb, fx.idAzienda,
                 QStringLiteral("SELECT COALESCE(GruppoPartita, '~') || ' ' || COALESCE(MastroPartita, '~') || ' ' ||"
                                " COALESCE(ContoPartita, '~') FROM DatiFatTest WHERE NumReg = %1").arg(numReg));
        return m.TestoCella(0, 0);
    }
    void Mostra(int numReg) {
        QString r;
        if (pagina.LeggiStato() != ComPag::Vuota) pagina.LanciaComando("Ricerca", r);  // a new search first
        anno->setText("2018");
        reg->setText(QString::number(numReg));
        tipo->setText("E");
        pagina.LanciaComando("Ricerca", r);
    }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    QWidget form;
    QLineEdit *anno = nullptr, *reg = nullptr, *tipo = nullptr, *conto = nullptr;
    OspitePaginaReg ospite;
    ComPag pagina;
};

TEST_F(ComPagCampoCompostoTest, MostraUnitoESalvaDiviso) {
    Riga(1, "04", "01", "000012");
    Riga(2, Valore::null(), Valore::null(), Valore::null());
    const struct Caso {
        const char* nome;
        int numReg;
        const char* mostrato;
        const char* digitato;
        const char* salvato;
    } casi[] = {
        {.nome = "typed with separators", .numReg = 1, .mostrato = "04-01-000012", .digitato = "05-02-000033", .salvato = "05 02 000033"},
        {.nome = "typed without separators", .numReg = 1, .mostrato = "05-02-000033", .digitato = "0603000044", .salvato = "06 03 000044"},
        {.nome = "emptied", .numReg = 1, .mostrato = "06-03-000044", .digitato = "", .salvato = "~ ~ ~"},
        {.nome = "no account stays no account", .numReg = 2, .mostrato = "", .digitato = "0102000003", .salvato = "01 02 000003"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Mostra(c.numReg);
        ASSERT_EQ(pagina.LeggiStato(), ComPag::Mostrata);
        EXPECT_EQ(conto->text(), c.mostrato);
        conto->setText(c.digitato);
        QString r;
        pagina.LanciaComando("Salva", r);
        EXPECT_EQ(r, "");
        EXPECT_EQ(Conto(c.numReg), c.salvato);
    }
}

TEST_F(ComPagCampoCompostoTest, OpzioneQuattroRileggeLaRigaMostrata) {
    Riga(1, "04", "01", "000012");
    Mostra(1);
    fx.Esegui(fx.idAzienda, "UPDATE DatiFatTest SET ContoPartita = '000099'");
    QString r;
    pagina.ImpOpzioneTestata(4);
    pagina.LanciaComando("Ricerca", r);
    EXPECT_EQ(pagina.LeggiStato(), ComPag::Mostrata);
    EXPECT_EQ(conto->text(), "04-01-000099") << "the row is read again, not left for a new search";
    pagina.ImpOpzioneTestata(1);
    pagina.LanciaComando("Ricerca", r);
    EXPECT_EQ(pagina.LeggiStato(), ComPag::Vuota) << "otherwise the same key opens a new search";
}

}  // namespace
