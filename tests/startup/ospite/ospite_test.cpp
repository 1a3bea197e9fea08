#include "support/AppTest.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/platform/Schermo.h"
#include "contesto/Contesto.h"
#include "common/FormBase.h"
#include "startup/Ospite.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A form whose load and unload the test decides.
class FormProva : public FormBase {
public:
    FormProva(const QString& nome, bool caricaOk, bool rifiuta) : FormBase(nome), ok_(caricaOk), rifiuta_(rifiuta) {}
    bool rifiuta_;

protected:
    bool Form_Load() override { return ok_; }
    bool Form_QueryUnload() override { return !rifiuta_; }

private:
    bool ok_;
};

class OspiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        c = std::make_shared<Contesto>();
        menu = std::make_shared<MenuClientFinto>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        c->ggMenuClient = menu;
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
        NuovoOspite();
    }
    void NuovoOspite() {
        finito = false;
        c->ggOspite = std::make_shared<Ospite>();
        o = static_cast<Ospite*>(c->ggOspite.get());
        o->AlTermine = [this] { finito = true; };
        o->ModaleAperta = [this] { return modale; };
        menu->ImpostaGestoreComandi([this](const QString& id, const QString& k, const QString& com,
                                           const Valore& p, Valore& r) { o->EseguiComandoMenu(id, k, com, p, r); });
        menu->ImpostaGestorePerdita([this] { o->CollegamentoPerso(); });
    }
    void TearDown() override {
        c->ggOspite.reset();
        ImpostaContesto(nullptr);
    }
    // Runs the closing timer's ticks as the event loop would.
    void TicChiusura() {
        for (int i = 0; i < 5 && o->frmPrincipale()->timChiudi.isActive() && !finito; ++i) o->timChiudi_Timer();
    }

    std::shared_ptr<Contesto> c;
    std::shared_ptr<MenuClientFinto> menu;
    std::shared_ptr<DialoghiScriptati> dialoghi;
    Ospite* o = nullptr;
    bool finito = false;
    bool modale = false;
};

TEST_F(OspiteTest, OpensEachOfTheSixFormsByNameIgnoringCaseAndBlanks) {
    const QStringList richieste{" FrmDatiFatPre ", "frmliqivaxml", "FRMLIQIVATEST", "FrmLiqIvaPre", "frmDatiFatXml",
                                "frmdatifatgest"};
    for (const QString& r : richieste) menu->InviaComando("passaa", r, "K1");
    EXPECT_EQ(o->FormsCaricate().size(), 7);
    EXPECT_GT(o->IndiceForm("frmLiqIvaXml"), 0);
    FormBase* f = o->Form("FrmDatiFatPre");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->osKeySec, "K1");
    EXPECT_EQ(f->oiLoadOk, 1);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(OspiteTest, UnknownOrEmptyNameIsReportedAndTheProgramCloses) {
    for (const QString& nome : {QString("frmNonEsiste"), QString()}) {
        NuovoOspite();
        dialoghi->mostrati.clear();
        menu->InviaComando("passaa", nome);
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].testo, "La form richiesta e' inesistente");
        EXPECT_EQ(dialoghi->mostrati[0].tipo, "msgBox");
        TicChiusura();
        EXPECT_TRUE(finito);
    }
}

TEST_F(OspiteTest, AnOpenFormIsBroughtForwardWithoutReloadingAndKeepsItsKeysWithoutALauncher) {
    menu->InviaComando("passaa", "frmDatiFatGest", "K1");
    FormBase* f = o->Form("frmDatiFatGest");
    menu->InviaComando("passaa", "frmDatiFatGest", "K2");
    EXPECT_EQ(o->Form("frmDatiFatGest"), f);
    EXPECT_EQ(f->osKeySec, "K1");
    menu->info.osChiLancia = "ALTRO";
    menu->InviaComando("passaa", "frmDatiFatGest", "K3");
    EXPECT_EQ(f->osKeySec, "K3");
    EXPECT_EQ(f->osKeyLancia, "ALTRO");
}

TEST_F(OspiteTest, AFailedLoadUnloadsTheFormAndEndsTheProgramWithAnError) {
    o->ImpostaFabbrica("FrmLiqIvaPre", [] { return new FormProva("FrmLiqIvaPre", false, false); });
    menu->InviaComando("passaa", "FrmLiqIvaPre");
    EXPECT_EQ(o->IndiceForm("FrmLiqIvaPre"), -1);
    EXPECT_TRUE(finito);
    EXPECT_FALSE(menu->chiamate.contains("FormChiusa|"));
    EXPECT_EQ(c->giCodiceUscita, 1);
}

TEST_F(OspiteTest, AFailedLoadBesideAnOpenFormKeepsTheProgramAndItsExitStatus) {
    o->ImpostaFabbrica("FrmLiqIvaPre", [] { return new FormProva("FrmLiqIvaPre", false, false); });
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    menu->InviaComando("passaa", "FrmLiqIvaPre", "K2");
    TicChiusura();
    EXPECT_FALSE(finito);
    EXPECT_EQ(c->giCodiceUscita, 0);
    o->Form("frmDatiFatXml")->close();
    TicChiusura();
    EXPECT_TRUE(finito);
    EXPECT_EQ(c->giCodiceUscita, 0);
}

TEST_F(OspiteTest, ClosingTheLastFormReturnsToTheMenuFreesTheKeyAndEnds) {
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    menu->InviaComando("passaa", "FrmLiqIvaPre", "K2");
    o->Form("frmDatiFatXml")->close();
    TicChiusura();
    EXPECT_FALSE(finito);
    EXPECT_TRUE(menu->chiamate.contains("MostraMenu|Tutti"));
    EXPECT_TRUE(menu->chiamate.contains("FormChiusa|K1"));
    o->Form("FrmLiqIvaPre")->close();
    TicChiusura();
    EXPECT_TRUE(finito);
    EXPECT_TRUE(menu->chiamate.contains("ChiudiCollegamento"));
}

TEST_F(OspiteTest, AFormLaunchedByAnotherProgramHandsControlBackToIt) {
    menu->info.osChiLancia = "PRG2";
    menu->info.osKeySecLancia = "S2";
    menu->info.osParamLancia = "X";
    menu->InviaComando("passaa", "frmDatiFatXml", "");
    o->Form("frmDatiFatXml")->close();
    EXPECT_TRUE(menu->chiamate.contains("RitornaAChiamante|PRG2|S2|X"));
    EXPECT_FALSE(menu->chiamate.contains("MostraMenu|Tutti"));
    // An empty key sends no FormChiusa.
    EXPECT_FALSE(menu->chiamate.join(";").contains("FormChiusa"));
}

TEST_F(OspiteTest, FineAnswersByWhatBlockedTheClosing) {
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    modale = true;
    EXPECT_EQ(menu->InviaComando("fine").testo(), "Maschera Modal");
    EXPECT_NE(o->Form("frmDatiFatXml"), nullptr);
    modale = false;
    o->ImpostaFabbrica("frmDatiFatGest", [] { return new FormProva("frmDatiFatGest", true, true); });
    menu->InviaComando("passaa", "frmDatiFatGest", "K2");
    menu->InviaComando("passaa", "FrmLiqIvaPre", "K3");
    EXPECT_EQ(menu->InviaComando("FINE").testo(), "No Chiudi");
    // Loaded after the refusing form: gone; before it: still there.
    EXPECT_EQ(o->Form("FrmLiqIvaPre"), nullptr);
    EXPECT_NE(o->Form("frmDatiFatXml"), nullptr);
    EXPECT_FALSE(finito);
    static_cast<FormProva*>(o->Form("frmDatiFatGest"))->rifiuta_ = false;
    const int mostraMenuPrima = menu->chiamate.count("MostraMenu|Tutti");
    EXPECT_EQ(menu->InviaComando("Fine").testo(), "");
    EXPECT_TRUE(finito);
    // The first form unloaded during "fine" does not call the menu; the second does.
    EXPECT_EQ(menu->chiamate.count("MostraMenu|Tutti") - mostraMenuPrima, 1);
}

// A form that notes, when it is asked to close, the windows newly on screen.
class FormCheGuarda : public FormProva {
public:
    explicit FormCheGuarda(QStringList& viste) : FormProva("frmDatiFatGest", true, false), viste_(viste) {}
    QSet<QWidget*> prima;

protected:
    bool Form_QueryUnload() override {
        // The main form saying "Chiusura in corso" is the one window expected.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible() && !prima.contains(w) && w->objectName() != "frmPrincipale")
                viste_ << w->windowTitle();
        return true;
    }

private:
    QStringList& viste_;
};

// Closing from the menu with a form open: while the form is asked to close,
// no window of the program's own shows beside it.
TEST_F(OspiteTest, ClosingShowsNoWindowBesideTheFormsQuestions) {
    QStringList viste;
    FormCheGuarda* f = nullptr;
    o->ImpostaFabbrica("frmDatiFatGest", [&] { return f = new FormCheGuarda(viste); });
    menu->InviaComando("passaa", "frmDatiFatGest", "K1");
    ASSERT_NE(f, nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) f->prima << w;
    EXPECT_EQ(menu->InviaComando("fine").testo(), "");
    EXPECT_TRUE(finito);
    EXPECT_TRUE(viste.isEmpty()) << viste.join(" | ").toStdString();
}

// A form that notes, when it is asked to close, how the main form stands.
class FormCheGuardaLaChiusura : public FormProva {
public:
    FormCheGuardaLaChiusura(FormPrincipale* principale, bool rifiuta)
        : FormProva("frmDatiFatGest", true, rifiuta), principale_(principale) {}
    bool vista = false, leggibile = false;
    QRect posto;

protected:
    bool Form_QueryUnload() override {
        const QLabel* l = principale_->lblChiusura;
        vista = principale_->isVisible();
        leggibile = l->isVisibleTo(principale_) && l->text() == "Chiusura in corso" &&
                    l->width() >= l->sizeHint().width() && l->height() >= l->sizeHint().height() &&
                    l->font().pointSizeF() >= 12;
        posto = principale_->frameGeometry();
        return FormProva::Form_QueryUnload();
    }

private:
    FormPrincipale* principale_;
};

// While the forms close the user reads "Chiusura in corso" in a small window
// in the middle of the work area; a closing that is refused takes it away.
TEST_F(OspiteTest, TheClosingShowsItsLabelAndARefusedOneHidesIt) {
    auto schermo = std::make_shared<SchermoFinto>();
    schermo->area = QRect(100, 40, 1000, 700);
    c->ggSchermo = schermo;
    const struct Caso {
        const char* nome;
        bool rifiuta;
        QString risposta;
    } casi[] = {
        {.nome = "closes", .rifiuta = false, .risposta = ""},
        {.nome = "a form refuses", .rifiuta = true, .risposta = "No Chiudi"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        NuovoOspite();
        FormCheGuardaLaChiusura* f = nullptr;
        o->ImpostaFabbrica("frmDatiFatGest", [&] { return f = new FormCheGuardaLaChiusura(o->frmPrincipale(), k.rifiuta); });
        menu->InviaComando("passaa", "frmDatiFatGest", "K1");
        ASSERT_NE(f, nullptr);
        EXPECT_FALSE(o->frmPrincipale()->isVisible()) << "hidden while the program runs";
        EXPECT_EQ(menu->InviaComando("fine").testo(), k.risposta);
        EXPECT_TRUE(f->vista);
        EXPECT_TRUE(f->leggibile);
        EXPECT_TRUE(schermo->area.contains(f->posto)) << f->posto.x() << "," << f->posto.y() << " "
                                                       << f->posto.width() << "x" << f->posto.height();
        EXPECT_LE((f->posto.center() - schermo->area.center()).manhattanLength(), 2);
        EXPECT_LT(f->posto.width(), schermo->area.width() / 2) << "a small window";
        EXPECT_EQ(finito, !k.rifiuta);
        if (k.rifiuta) {
            EXPECT_FALSE(o->frmPrincipale()->isVisible()) << "refused: the label goes";
            f->rifiuta_ = false;
            f->close();
        }
    }
    // Refused because of a modal box: nothing was unloaded, nothing shows.
    NuovoOspite();
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    modale = true;
    EXPECT_EQ(menu->InviaComando("fine").testo(), "Maschera Modal");
    EXPECT_FALSE(o->frmPrincipale()->isVisible());
    modale = false;
}

TEST_F(OspiteTest, TimedCloseRetriesWhileAModalBoxIsShowing) {
    menu->InviaComando("passaa", "FrmDatiFatPre", "K1");
    modale = true;
    o->Form("FrmDatiFatPre")->close();
    o->timChiudi_Timer();
    EXPECT_FALSE(finito);
    EXPECT_TRUE(o->frmPrincipale()->timChiudi.isActive());
    modale = false;
    o->timChiudi_Timer();
    EXPECT_TRUE(finito);
}

TEST_F(OspiteTest, ALostMenuClosesTheProgramAsFineWould) {
    c->ggGestDb = std::make_shared<GestoreDb>();
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    menu->InviaComando("passaa", "FrmLiqIvaPre", "K2");
    menu->PerdiCollegamento();
    EXPECT_TRUE(finito);
    EXPECT_EQ(o->FormsCaricate().size(), 1);  // only the hidden main form is left
    EXPECT_FALSE(c->ggGestDb);
    // No form hands control back to the menu that is gone, nor says so in a box.
    EXPECT_FALSE(menu->chiamate.contains("MostraMenu|Tutti"));
    EXPECT_FALSE(menu->chiamate.join(";").contains("FormChiusa"));
    EXPECT_FALSE(c->giChiusura);
    menu->PerdiCollegamento();  // already ended: nothing more happens
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(OspiteTest, ALostMenuDismissesTheModalBoxesThenEnds) {
    menu->InviaComando("passaa", "FrmDatiFatPre", "K1");
    modale = true;
    int chiusure = 0;
    o->ChiudiModali = [&] { ++chiusure; };  // the box goes only when its loop unwinds
    menu->PerdiCollegamento();
    EXPECT_EQ(chiusure, 1);
    EXPECT_FALSE(finito);
    EXPECT_TRUE(o->frmPrincipale()->timChiudi.isActive());
    o->timChiudi_Timer();
    EXPECT_FALSE(finito);
    modale = false;
    TicChiusura();
    EXPECT_TRUE(finito);
    EXPECT_EQ(o->Form("FrmDatiFatPre"), nullptr);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(OspiteTest, ABoxNobodyAnswersDoesNotKeepAProgramWithoutItsMenu) {
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    o->ModaleAperta = [] { return QApplication::activeModalWidget() != nullptr; };
    QMessageBox box(QMessageBox::Critical, "Comunicazioni IVA", "Errore (429): Il menu non risponde", QMessageBox::Ok);
    // The link drops while the box waits for its answer.
    QTimer::singleShot(0, [&] { menu->PerdiCollegamento(); });
    box.exec();
    EXPECT_FALSE(box.isVisible());
    TicChiusura();
    EXPECT_TRUE(finito);
    EXPECT_EQ(o->Form("frmDatiFatXml"), nullptr);
}

// A run form whose run goes on until the test ends it; asked to close
// meanwhile, it refuses with the box the run forms show.
class FormInElaborazione : public FormBase {
public:
    explicit FormInElaborazione(std::shared_ptr<DialoghiScriptati> d) : FormBase("frmDatiFatXml"), d_(std::move(d)) {}
    bool inCorso = false;
    bool ElaborazioneAttiva() const override { return inCorso; }

protected:
    bool Form_QueryUnload() override {
        if (!inCorso) return true;
        d_->msgBox("Stampa ancora attiva, non è possibile uscire dal programma", 0, "");
        return false;
    }

private:
    std::shared_ptr<DialoghiScriptati> d_;
};

// The menu lost during a run: the run is stopped as "Interrompi" would, the
// closing waits for it without asking the form (no box, no main window
// shown), and the program ends once the run has returned.
TEST_F(OspiteTest, AMenuLostDuringARunStopsItAndEndsAfterIt) {
    FormInElaborazione* f = nullptr;
    o->ImpostaFabbrica("frmDatiFatXml", [&] { return f = new FormInElaborazione(dialoghi); });
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    ASSERT_NE(f, nullptr);
    f->inCorso = true;
    c->giStaAtt = 1;
    int interruzioni = 0;
    o->InterrompiStampa = [&] { ++interruzioni; };
    menu->PerdiCollegamento();
    EXPECT_EQ(interruzioni, 1);
    for (int i = 0; i < 3; ++i) o->timChiudi_Timer();
    EXPECT_FALSE(finito);
    EXPECT_FALSE(o->frmPrincipale()->isVisible());
    EXPECT_TRUE(o->frmPrincipale()->timChiudi.isActive());
    EXPECT_GE(interruzioni, 2);  // a job the run starts afterwards is stopped too
    // The print ended, the run still closes its work: the closing still waits.
    c->giStaAtt = 0;
    o->timChiudi_Timer();
    EXPECT_FALSE(finito);
    f->inCorso = false;
    TicChiusura();
    EXPECT_TRUE(finito);
    EXPECT_EQ(o->Form("frmDatiFatXml"), nullptr);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join('|').toStdString();
    EXPECT_FALSE(menu->chiamate.join(";").contains("FormChiusa"));
}

TEST_F(OspiteTest, AMenuLostDuringTheStartUpClosesTheProgramOnceTheStartUpReturns) {
    o->InizioAvvio();
    c->ggGestDb = std::make_shared<GestoreDb>();
    // The start-up opens its first form.
    o->ApriFormRichiesta("frmDatiFatXml", -1, "K1", {}, {}, {});
    menu->PerdiCollegamento();
    // A box the start-up shows afterwards is dismissed by the closing timer,
    // and nothing the start-up still uses is released under it.
    modale = true;
    int chiusure = 0;
    o->ChiudiModali = [&] { ++chiusure; modale = false; };
    TicChiusura();
    EXPECT_EQ(chiusure, 1);
    EXPECT_TRUE(o->frmPrincipale()->timChiudi.isActive());
    EXPECT_FALSE(finito);
    EXPECT_TRUE(c->ggGestDb);
    EXPECT_NE(o->Form("frmDatiFatXml"), nullptr);
    o->FineAvvio();
    EXPECT_TRUE(finito);
    EXPECT_FALSE(c->ggGestDb);
    EXPECT_EQ(o->Form("frmDatiFatXml"), nullptr);
}

TEST_F(OspiteTest, FineDuringTheStartUpClosesOnceTheStartUpReturns) {
    o->InizioAvvio();
    c->ggGestDb = std::make_shared<GestoreDb>();
    // The start-up opens its first form.
    o->ApriFormRichiesta("frmDatiFatXml", -1, "K1", {}, {}, {});
    EXPECT_EQ(menu->InviaComando("fine").testo(), "");
    EXPECT_FALSE(finito);
    EXPECT_TRUE(c->ggGestDb);
    EXPECT_NE(o->Form("frmDatiFatXml"), nullptr);
    o->FineAvvio();
    EXPECT_TRUE(finito);
    EXPECT_FALSE(c->ggGestDb);
    EXPECT_FALSE(menu->chiamate.contains("MostraMenu|Tutti"));
}

// A form whose load asks the user in a real box.
class FormCheChiede : public FormProva {
public:
    explicit FormCheChiede(const QString& nome) : FormProva(nome, true, false) {}
    std::function<void()> durante;

protected:
    bool Form_Load() override {
        QMessageBox box(QMessageBox::Question, "Comunicazioni IVA", "Proseguo?", QMessageBox::Yes | QMessageBox::No);
        if (durante) QTimer::singleShot(0, durante);
        box.exec();
        return true;
    }
};

// Two entries chosen while the program starts wait for the start-up; the
// menu dies while the first one's form asks its question. The program
// closes, and the second entry's form never opens.
TEST_F(OspiteTest, ACommandKeptForTheStartUpDoesNotRunOnceTheMenuIsLost) {
    o->ModaleAperta = [] { return QApplication::activeModalWidget() != nullptr; };
    // The box goes only once the handler of the lost link has returned.
    int chiusure = 0;
    o->ChiudiModali = [&] { ++chiusure; };
    o->ImpostaFabbrica("FrmLiqIvaPre", [this] {
        auto* f = new FormCheChiede("FrmLiqIvaPre");
        f->durante = [this] {
            QWidget* box = QApplication::activeModalWidget();
            menu->PerdiCollegamento();
            if (box) box->close();
        };
        return f;
    });
    int aperte = 0;
    o->ImpostaFabbrica("frmDatiFatGest", [&] {
        ++aperte;
        return new FormProva("frmDatiFatGest", true, false);
    });
    o->InizioAvvio();
    menu->InviaComando("passaa", "FrmLiqIvaPre", "K1");
    menu->InviaComando("passaa", "frmDatiFatGest", "K2");
    o->FineAvvio();
    EXPECT_EQ(chiusure, 1);
    EXPECT_EQ(aperte, 0) << "a form opened after the closing began";
    TicChiusura();
    EXPECT_TRUE(finito);
    EXPECT_EQ(o->FormsCaricate().size(), 1);
}

TEST_F(OspiteTest, SimpleCommandsAnswer) {
    c->gsKeyPrgPrim = "P1";
    c->gsKeyPrgSec = "S1";
    EXPECT_EQ(menu->InviaComando("esiste"), Valore(true));
    EXPECT_EQ(menu->InviaComando("keyprgprim").testo(), "P1");
    EXPECT_EQ(menu->InviaComando("KeyPrgSec").testo(), "S1");
    EXPECT_EQ(menu->InviaComando("paramprgclie").testo(), "$Default$");
    EXPECT_EQ(menu->InviaComando("comandoprgclie"), Valore(QString()));
    EXPECT_EQ(menu->InviaComando("sconosciuto"), Valore(QString()));
}

TEST_F(OspiteTest, AttivaTakesTheFormFromTheLaunchParameter) {
    menu->info.osParam = "/F frmDatiFatGest /H aiuto.chm";
    menu->InviaComando("attiva", {}, "K9");
    EXPECT_TRUE(menu->chiamate.contains("AttivaProgramma|K9"));
    ASSERT_NE(o->Form("frmDatiFatGest"), nullptr);
    EXPECT_EQ(o->Form("frmDatiFatGest")->osParam, "/F frmDatiFatGest /H aiuto.chm");
}

TEST_F(OspiteTest, PreppassaaRegistersEveryLoadedForm) {
    menu->InviaComando("passaa", "frmDatiFatXml", "K1");
    menu->InviaComando("preppassaa");
    const QString atteso = "RegistraForm|" + o->Form("frmDatiFatXml")->windowTitle() + "|frmDatiFatXml|K1";
    EXPECT_TRUE(menu->chiamate.contains(atteso)) << menu->chiamate.join("\n").toStdString();
}

TEST_F(OspiteTest, ElectronicInvoiceNotices) {
    auto el = [](Valore esito, Valore dett, Valore n) { return ListaValori{0, 0, esito, dett, 0, 0, n}; };
    EXPECT_EQ(Ospite::TestoAvvisoFE("FEInvio", el(0, "", 12345)), "Inviate 12.345 fatture");
    EXPECT_EQ(Ospite::TestoAvvisoFE("FEInvio", el(0, "X1", 2)), "Inviate 2 fatture\nFatture non inviate per erroriX1");
    EXPECT_EQ(Ospite::TestoAvvisoFE("FEInvio", el(5, "rete", 0)), "Errore nell'invio delle fatture\nErr: 5 - rete");
    EXPECT_EQ(Ospite::TestoAvvisoFE("FEAttesa", el(0, 0, 0)), "");
    EXPECT_EQ(Ospite::TestoAvvisoFE("FEAttesa", el(0, 3, 0)), "Ci sono 3 fatture in attesa");
    menu->InviaComando("FEAttesa", el(0, 0, 0));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    menu->InviaComando("FEInvio", el(0, "", 4));
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].tipo, "msgCom");
}

}  // namespace
