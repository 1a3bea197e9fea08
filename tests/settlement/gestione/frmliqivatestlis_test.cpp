#include "AmbienteGestione.h"

#include "settlement/gestione/FrmLiqIvaTestLis.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>

namespace {

class DialogoContato : public DialogoStampaLista {
public:
    int aperture = 0;
    void ApriStampaLista(Comlin&) override { ++aperture; }
};

// The list opened from the header's "Lista".
class frmLiqIvaTestLisTest : public AmbienteGestione {
public:
    void SetUp() override {
        AmbienteGestione::SetUp();
        SchermoLista::ImpDialogoStampa([this]() -> DialogoStampaLista* { return &dialogo; });
    }
    void TearDown() override {
        SchermoLista::ImpDialogoStampa({});
        AmbienteGestione::TearDown();
    }
    frmLiqIvaTestLis& Apri() {
        frmLiqIvaTest& t = Carica();
        t.ButtonComando("Lista");
        auto* l = qobject_cast<frmLiqIvaTestLis*>(t.ListaForm());
        EXPECT_TRUE(l && l->Caricata()) << dialoghi->testi().join(" | ").toStdString();
        return *l;
    }
    frmLiqIvaTestLis& Apri2018() {
        frmLiqIvaTestLis& l = Apri();
        l.txt[10]->setText("2018");
        l.txt[20]->setText("2018");
        l.ButtonComando("Ricerca");
        return l;
    }
    QString Riga(frmLiqIvaTestLis& l, int r) {
        QStringList t;
        const ModelloGriglia& m = l.Lista().Modello();
        for (int c = 0; c < m.columnCount(); ++c) t << m.TestoCella(r, c);
        return t.join('|');
    }
    DialogoContato dialogo;
};

TEST_F(frmLiqIvaTestLisTest, PeriodoDelPrimoModuloEIvaNettaDeiModuli) {
    Testata(2017, 4, "N", "0");
    Modulo(2017, 4, 1, Valore(12), Valore(4), 0, 0);
    frmLiqIvaTestLis& l = Apri();
    EXPECT_EQ(l.txt[10]->text(), "2017") << "working date in March: the year before";
    l.txt[10]->setText("");
    l.txt[20]->setText("");
    l.ButtonComando("Ricerca");
    const ModelloGriglia& m = l.Lista().Modello();
    ASSERT_EQ(m.rowCount(), 3);
    QStringList titoli;
    for (int c = 0; c < m.columnCount(); ++c) titoli << m.Titolo(c);
    EXPECT_EQ(titoli, (QStringList{"Anno", "NumCom", "PrimoPer", "CalcIva_1", "CalcIva_2", "CalcIva_3", "CalcIva_4", "CalcIva_5"}));
    const struct Caso {
        int riga;
        QString atteso;
    } casi[] = {
        {.riga = 0, .atteso = "2017|4|M-12/T-4|0,00||||"},
        {.riga = 1, .atteso = "2018|1|M-3|-1.234,56|80,00|||"},
        {.riga = 2, .atteso = "2018|2|M-4|-150,00||||"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.riga);
        EXPECT_EQ(Riga(l, c.riga), c.atteso);
    }
    EXPECT_EQ(m.Larghezza(2), 1000);
    EXPECT_EQ(l.txtRiga_->text(), "1 / 3");
    EXPECT_FALSE(l.osSql().contains(" where ")) << "no filter, no where";
}

TEST_F(frmLiqIvaTestLisTest, IntervalliDiAnnoENumero) {
    frmLiqIvaTestLis& l = Apri();
    const struct Caso {
        const char* nome;
        const char* annoDa;
        const char* annoA;
        const char* numDa;
        const char* numA;
        int righe;
    } casi[] = {
        {.nome = "year 2018", .annoDa = "2018", .annoA = "2018", .numDa = "", .numA = "", .righe = 2},
        {.nome = "number 2 to 4", .annoDa = "2018", .annoA = "2018", .numDa = "2", .numA = "4", .righe = 1},
        {.nome = "years upside down", .annoDa = "2019", .annoA = "2018", .numDa = "", .numA = "", .righe = 1},
        {.nome = "numbers upside down", .annoDa = "", .annoA = "", .numDa = "3", .numA = "1", .righe = 1},
        {.nome = "not a number", .annoDa = "20l8", .annoA = "", .numDa = "", .numA = "", .righe = 1},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        l.txt[10]->setText(c.annoDa);
        l.txt[20]->setText(c.annoA);
        l.txt[30]->setText(c.numDa);
        l.txt[40]->setText(c.numA);
        l.ButtonComando("Ricerca");
        EXPECT_EQ(l.Lista().Modello().rowCount(), c.righe) << "a refused selection leaves the list as it was";
    }
    EXPECT_TRUE(dialoghi->testi().contains("Valore iniziale maggiore del valore finale"));
}

TEST_F(frmLiqIvaTestLisTest, SelezionaRiportaLaComunicazioneAllaTestata) {
    frmLiqIvaTestLis& l = Apri2018();
    l.ButtonComando("Successiva");
    l.ButtonComando("Seleziona");
    EXPECT_EQ(form->txt[20]->text() + "/" + form->txt[10]->text(), "2018/2");
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(form->ModelloDett().rowCount(), 1);
    form->ButtonComando("ListaInd");
    EXPECT_EQ(form->txt[10]->text(), "1") << "the header moves along the list";
    l.ButtonComando("Chiudi");
    EXPECT_FALSE(l.Caricata());
    form->ButtonComando("ListaAvanti");
    EXPECT_EQ(form->txt[10]->text(), "1");
    EXPECT_EQ(form->labMessaggio->text(), "Nessuna lista aperta");
}

TEST_F(frmLiqIvaTestLisTest, StampaSoloConRighe) {
    frmLiqIvaTestLis& l = Apri2018();
    bool visibile = false;
    for (QAction* a : l.tolComlin_->actions())
        if (a->objectName() == "Stampa") visibile = a->isVisible();
    EXPECT_TRUE(visibile);
    l.ButtonComando("Stampa");
    EXPECT_EQ(dialogo.aperture, 1);
    l.txt[10]->setText("2030");
    l.txt[20]->setText("2030");
    l.ButtonComando("Ricerca");
    l.ButtonComando("Stampa");
    EXPECT_EQ(dialogo.aperture, 1) << "an empty list is never printed";
}

TEST_F(frmLiqIvaTestLisTest, OrdinaRifiutatoSuUnaColonnaInesistente) {
    frmLiqIvaTestLis& l = Apri();
    l.dbgRiga_HeadClick(2);
    EXPECT_TRUE(dialoghi->testi().isEmpty());
    l.dbgRiga_HeadClick(42);
    EXPECT_EQ(dialoghi->testi().last(), "Impossibile ordinare su questo campo");
}

TEST_F(frmLiqIvaTestLisTest, LaRigaSegueIlPuntatoreSoloSeRichiesto) {
    frmLiqIvaTestLis& l = Apri2018();
    const int y = l.dbgRiga->rowViewportPosition(1) + 2;
    l.dbgRiga_MouseMove(y);
    EXPECT_EQ(l.Lista().RigaCorrente(), 0) << "LisSpostaCurs not set";
    contesto->gbLisSpostaCurs = true;
    l.dbgRiga_MouseMove(y);
    EXPECT_EQ(l.Lista().RigaCorrente(), 1);
    EXPECT_EQ(l.txtRiga_->text(), "2 / 2");
}

}  // namespace
