#include "AmbienteGestione.h"

#include "settlement/gestione/FrmLiqIvaDett.h"
#include "startup/Ospite.h"
#include "support/Clic.h"

#include <QTest>

namespace {

// The settlement header opened by the menu through the host, its modules
// screen open on communication 2018/1 with a month typed and not saved.
class ChiusuraConDettaglio : public AmbienteGestione {
public:
    void SetUp() override {
        AmbienteGestione::SetUp();
        contesto->ggOspite = std::make_shared<Ospite>();
        o = static_cast<Ospite*>(contesto->ggOspite.get());
        o->AlTermine = [this] { finito = true; };
        o->ModaleAperta = [] { return false; };
        o->ImpostaFabbrica("frmLiqIvaTest", [] { return new frmLiqIvaTest; });
        menu->ImpostaGestoreComandi([this](const QString& id, const QString& k, const QString& com, const Valore& p,
                                           Valore& r) { o->EseguiComandoMenu(id, k, com, p, r); });
        menu->InviaComando("passaa", "frmLiqIvaTest", "K1");
        form = static_cast<frmLiqIvaTest*>(o->Form("frmLiqIvaTest"));
        ASSERT_NE(form, nullptr);
        Cerca("2018", "1");
        CliccaComando(form->tolComPag_, "Dettaglio");
        linee = qobject_cast<frmLiqIvaDett*>(form->LineeAperte());
        ASSERT_NE(linee, nullptr);
        linee->timLinPag_Timer();
        linee->txt[20]->setFocus();
        linee->txt[20]->selectAll();
        QTest::keyClicks(linee->txt[20], "9");
    }
    void TearDown() override {
        menu->ImpostaGestoreComandi(nullptr);
        contesto->ggOspite.reset();
        AmbienteGestione::TearDown();
    }
    QString Mese() { return Valori("SELECT Mese FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND Modulo = 1"); }

    Ospite* o = nullptr;
    bool finito = false;
    QPointer<frmLiqIvaDett> linee;
};

TEST_F(ChiusuraConDettaglio, FineChiedeDelDettaglioEUnRifiutoFermaLaChiusura) {
    dialoghi->risposte = {3};  // "&Annulla"
    EXPECT_EQ(menu->InviaComando("fine").testo(), "No Chiudi");
    EXPECT_EQ(dialoghi->testi().value(0), "Dati della riga in variazione. Salvare le modifiche?");
    ASSERT_TRUE(linee);
    EXPECT_TRUE(linee->Caricata());
    EXPECT_EQ(linee->txt[20]->text(), "9") << "the typing is kept";
    EXPECT_NE(o->Form("frmLiqIvaTest"), nullptr);
    EXPECT_FALSE(finito);
    EXPECT_EQ(Mese(), "3");

    dialoghi->risposte = {1};  // "&Sì": saved, then the program closes
    EXPECT_EQ(menu->InviaComando("fine").testo(), "");
    EXPECT_TRUE(finito);
    EXPECT_EQ(Mese(), "9");
}

TEST_F(ChiusuraConDettaglio, ChiudereLaTestataChiudePrimaIlDettaglio) {
    dialoghi->risposte = {3};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(linee && linee->Caricata());
    EXPECT_EQ(linee->txt[20]->text(), "9");
    EXPECT_FALSE(form->isEnabled()) << "the header still waits for its modules";

    dialoghi->risposte = {2};  // "&No": the change is dropped, both close
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Mese(), "3");
    EXPECT_EQ(o->Form("frmLiqIvaTest"), nullptr);
}

TEST_F(ChiusuraConDettaglio, IlMenuRichiedeLaTestataEIlDettaglioRestaDavanti) {
    QApplication::setActiveWindow(linee);
    menu->InviaComando("passaa", "frmLiqIvaTest", "K1");
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), linee.data());
    EXPECT_FALSE(form->isEnabled());
}

}  // namespace
