#include "components/pages/Comlin.h"

#include "Ospiti.h"
#include "components/db/GestoreDb.h"
#include "components/pages/CampiTabella.h"
#include "components/pages/LisPag.h"
#include "components/stampa/RetroStampa.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class DialogoFinto : public DialogoStampaLista {
public:
    int aperture = 0;
    void ApriStampaLista(Comlin&) override { ++aperture; }
};

// A list of LiqIvaTest with a year range and a text field, and a header page
// to hand rows back to.
class ComlinTest : public ::testing::Test {
public:
    void SetUp() override {
        for (auto* b : {&annoDa, &annoA, &codice, &anno, &numero}) *b = new QLineEdit(&form);
        for (int i = 0; i < 4; ++i) direzioni << new QRadioButton(&form);
        direzioni[0]->setChecked(true);
        Testata(2017, 4, "ZETA");
        Testata(2018, 1, "ALFA");
        Testata(2018, 2, "O'BRIEN");
        pagina.ImpTabella("LiqIvaTest");
        pagina.AggiungiCampo("Anno", anno, {.parteChiave = 1});
        pagina.AggiungiCampo("NumCom", numero, {.parteChiave = 1});
        pagina.ImpLista(&ospitePagina, fx.gestDb.get(), fx.idAzienda, nullptr);

        ospite.comlin = &lista;
        ospite.lisPag = &pager;
        pager.ImpComlin(&lista);
        pager.ImpForm(&ospite);
        pager.AggiungiSelezione("Anno", annoDa, ">=", 3);
        pager.AggiungiSelezione("Anno", annoA, "<=", 3, "A");
        pager.AggiungiSelezione("CodiceFiscale", codice, "=");
        pager.ImpValoreSelezione("Anno", "2018");
        pager.ImpValoreSelezione("AnnoA", "2018");
        lista.ImpForm(&ospite);
        lista.ImpContatore(&contatore);
        lista.ImpGriglia(&griglia);
        lista.ImpDatabase(fx.gestDb.get(), fx.idAzienda);
        lista.ImpCerca(&txtCerca, &cobCerca, direzioni);
        lista.ofrmComlinSTampa = &dialogo;
        pager.ConcludiIniz();
        pager.ImpPagTestata(&pagina);
    }
    void Testata(int a, int n, const char* cf) {
        fx.Inserisci(fx.idAzienda, "LiqIvaTest", {{"Anno", a}, {"NumCom", n}, {"CodiceFiscale", cf}});
    }
    void Comando(const QString& k) {
        lista.LanciaComando(k);
        pager.LanciaComando(k);
    }
    QString Chiavi() {
        QStringList t;
        for (int r = 0; r < lista.Modello().rowCount(); ++r)
            t << lista.Modello().TestoCella(r, 0) + "/" + lista.Modello().TestoCella(r, 1);
        return t.join(' ');
    }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto = fx.InstallaContesto();
    QWidget form;
    QLineEdit *annoDa, *annoA, *codice, *anno, *numero;
    QLineEdit contatore, txtCerca;
    QComboBox cobCerca;
    QList<QRadioButton*> direzioni;
    QTableView griglia;
    OspiteListaReg ospite;
    OspitePaginaReg ospitePagina;
    DialogoFinto dialogo;
    ComPag pagina;
    Comlin lista;
    LisPag pager;
};

TEST_F(ComlinTest, RicercaConIValoriDeiCampiComeLetterali) {
    const struct Caso {
        const char* nome;
        const char* da;
        const char* a;
        const char* codice;
        QString filtro;
        QString chiavi;
    } casi[] = {
        {.nome = "defaults", .da = "2018", .a = "2018", .codice = "", .filtro = "Anno >= 2018 And Anno <= 2018",
         .chiavi = "2018/1 2018/2"},
        {.nome = "no filter", .da = "", .a = "", .codice = "", .filtro = "", .chiavi = "2017/4 2018/1 2018/2"},
        {.nome = "quote in a text", .da = "", .a = "", .codice = "O'BRIEN", .filtro = "CodiceFiscale = 'O''BRIEN'",
         .chiavi = "2018/2"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        annoDa->setText(c.da);
        annoA->setText(c.a);
        codice->setText(c.codice);
        ospite.reg.chiamate.clear();
        Comando("Ricerca");
        EXPECT_EQ(ospite.reg.chiamate.mid(0, 3), (QStringList{"VerSelez", "PrepSql(" + c.filtro + ")", "SettaRecordset"}));
        EXPECT_EQ(Chiavi(), c.chiavi);
    }
    EXPECT_EQ(contatore.text(), "1 / 1");
}

TEST_F(ComlinTest, SelezioneNonValidaNonArrivaAllSql) {
    const struct Caso {
        const char* nome;
        const char* da;
        const char* a;
        QString messaggio;
    } casi[] = {
        {.nome = "not a number", .da = "2018 or 1=1", .a = "2018", .messaggio = "Domanda(" + kMsgNumeroNonValido + ")"},
        {.nome = "range upside down", .da = "2019", .a = "2018",
         .messaggio = "Domanda(Valore iniziale maggiore del valore finale)"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        annoDa->setText(c.da);
        annoA->setText(c.a);
        ospite.reg.chiamate.clear();
        Comando("Ricerca");
        EXPECT_EQ(ospite.reg.chiamate, (QStringList{"VerSelez", c.messaggio}));
        EXPECT_EQ(ColoreCampo(annoDa), 255);
    }
    Comando("AzzSel");
    EXPECT_EQ(annoDa->text(), "2018");
    EXPECT_NE(ColoreCampo(annoDa), 255);
}

TEST_F(ComlinTest, SelezionaRiportaLaRigaAllaTestataEScorreLaLista) {
    Comando("Ricerca");
    Comando("Successiva");
    Comando("Seleziona");
    EXPECT_EQ(anno->text() + "/" + numero->text(), "2018/2");
    EXPECT_EQ(ospite.reg.chiamate.last(), "TornaTestata");
    EXPECT_FALSE(pager.PaginaAvanti()) << "the last row of the list";
    EXPECT_TRUE(pager.PaginaIndietro());
    EXPECT_EQ(anno->text() + "/" + numero->text(), "2018/1");
}

TEST_F(ComlinTest, OrdinaCercaEStampa) {
    annoDa->clear();
    annoA->clear();
    Comando("Ricerca");
    EXPECT_EQ(lista.Ordina(2), 0);
    EXPECT_EQ(Chiavi(), "2018/1 2018/2 2017/4");
    EXPECT_EQ(lista.Ordina(9), 1);

    cobCerca.setCurrentIndex(2);
    txtCerca.setText("bri");
    Comando("Cerca");
    EXPECT_EQ(lista.RigaCorrente(), 1);
    txtCerca.setText("nessuno");
    Comando("Cerca");
    EXPECT_EQ(lista.RigaCorrente(), 1);
    EXPECT_EQ(ospite.reg.chiamate.last(), "Domanda(Testo non trovato: nessuno)");

    Comando("Stampa");
    EXPECT_EQ(dialogo.aperture, 1);
    codice->setText("NESSUNO");
    Comando("Ricerca");
    Comando("Stampa");
    EXPECT_EQ(dialogo.aperture, 1) << "an empty list is not printed";
}

TEST_F(ComlinTest, AvviaStampaStampaLeColonneScelteELiberaIlFlag) {
    Comando("Ricerca");
    griglia.setColumnHidden(2, true);
    const struct Caso {
        const char* colonne;
        QStringList intestazione;
    } casi[] = {{.colonne = "V", .intestazione = {"Anno", "NumCom"}},
                {.colonne = "T", .intestazione = {"Anno", "NumCom", "CodiceFiscale"}}};
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.colonne);
        auto registro = std::make_shared<RegistroStampa>();
        lista.ogSta().ImpRegistro(registro);
        lista.ogSta().ogOpzSta = std::make_shared<OpzSta>();
        lista.ogSta().ogOpzSta->oiStaVid = OpzSta::Video;
        ospite.staAttVisti.clear();
        FontSta font;
        lista.AvviaStampa(font, 2, c.colonne);
        QStringList colonne;
        for (const VoceStampa& v : registro->DiTipo("StampaColonna")) colonne << v.testo;
        EXPECT_EQ(colonne.mid(0, c.intestazione.size()), c.intestazione);
        EXPECT_EQ(colonne.size(), c.intestazione.size() * 3);
        EXPECT_EQ(registro->DiTipo("StampaTesto").value(0).testo, "Lista di prova");
        EXPECT_EQ(ospite.staAttVisti.first(), 1);
        EXPECT_EQ(ospite.staAtt, 0);
        EXPECT_EQ(lista.ogSta().LeggiLargPag() > lista.ogSta().LeggiAltPag(), true) << "landscape";
    }
}

}  // namespace

namespace {

// A list as wide as the invoice-data headers, printed in portrait.
TEST_F(ComlinTest, StampaVerticaleConTutteLeColonneSeparateEDateItaliane) {
    fx.Inserisci(fx.idAzienda, "DatiFatTest",
                 {{"AnnoCom", 2018}, {"NumCom", 1}, {"AnnoReg", 2018}, {"NumReg", 10}, {"NumCanc", 0}, {"Tipo", "E"},
                  {"Stato", "N"}, {"NumInv", 0}, {"GruppoPartita", "04"}, {"MastroPartita", "01"},
                  {"ContoPartita", "000012"}, {"TipoDocumento", "TD01"}, {"DataDoc", "2018-01-05"},
                  {"NumDoc", "12/A"}, {"DataReg", "2018-01-08"}, {"ImportoTotale", 1220.0}});
    lista.ImpostaRecordset("SELECT AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumInv, Progr, NomeFile, "
                           "GruppoPartita, MastroPartita, ContoPartita, TipoDocumento, DataDoc, NumDoc, DataReg, "
                           "ImportoTotale FROM DatiFatTest");
    const int dataDoc = lista.Modello().IndiceColonna("DataDoc");
    EXPECT_EQ(lista.Modello().TestoCella(0, dataDoc), "05/01/2018");

    auto registro = std::make_shared<RegistroStampa>();
    Stampa& st = lista.ogSta();
    st.ImpRegistro(registro);
    st.ogOpzSta = std::make_shared<OpzSta>();
    st.ogOpzSta->oiStaVid = OpzSta::Video;
    FontSta font(std::make_shared<FontStd>(FontStd{.Name = "Arial", .Size = 10}));
    lista.AvviaStampa(font, 1, "T");
    ASSERT_LT(st.LeggiLargPag(), st.LeggiAltPag()) << "portrait";
    const QList<VoceStampa> voci = registro->DiTipo("StampaColonna");
    const int n = lista.Modello().columnCount();
    ASSERT_EQ(voci.size(), 2 * n);
    st.UsaFont("CorpoLab");
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(voci[i].testo.toStdString());
        EXPECT_LE(st.LarghezzaTesto(voci[i].testo), voci[i].destra - voci[i].sinistra) << "the heading fits its column";
        EXPECT_LE(voci[i].destra, st.LeggiLargPag() - st.LeggiMrDes()) << "the column is on the sheet";
        if (i > 0) EXPECT_LT(voci[i - 1].destra, voci[i].sinistra);
    }
    EXPECT_EQ(voci[n + dataDoc].testo, "05/01/2018");
    EXPECT_EQ(font.FontCorrente().Size, 10) << "the dialog's font is left as chosen";
}

}  // namespace
