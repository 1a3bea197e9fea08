#include "print/opzioni/FrmSceltaStam.h"

#include "Ambiente.h"
#include "components/stampa/OpzSta.h"
#include "print/opzioni/OpzioniIni.h"
#include "support/AppTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

namespace {

const QString InEsecuzione = QStringLiteral("C'è una stampa in esecuzione. Non è possibile variare i parametri di stampa");
const QString NomeFileObbligatorio = QStringLiteral("In caso di stampa su file è obbligatorio specificare il nome file.");
const QString PagineInvertite = QStringLiteral("Selezione Pagina Da maggiore di Pagina A");

class FrmSceltaStamTest : public AmbienteStampa {
protected:
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();
    std::function<void(FrmSceltaStam&)> mostraOriginale;
    int mostrato = 0;

    void SetUp() override {
        AppTest();
        AmbienteStampa::SetUp();
        mostraOriginale = FrmSceltaStam::MostraModale();
    }
    void TearDown() override {
        FrmSceltaStam::MostraModale() = mostraOriginale;
        if (FrmSceltaStam::Caricata()) delete &FrmSceltaStam::Istanza();
        AmbienteStampa::TearDown();
    }
    // The user's part while the dialog is shown.
    void mentreMostrato(std::function<void(FrmSceltaStam&)> azioni) {
        FrmSceltaStam::MostraModale() = [this, azioni](FrmSceltaStam& f) {
            ++mostrato;
            azioni(f);
        };
    }
    // Types a page number into a range box and leaves it.
    static void scriviPagina(FrmSceltaStam& f, int indice, const QString& testo) {
        f.txt_GotFocus(indice);
        f.txt(indice)->setText(testo);
        f.txt_LostFocus(indice);
    }
};

TEST_F(FrmSceltaStamTest, RefusedWhileAPrintRuns) {
    c->giStaAtt = 1;
    mentreMostrato([](FrmSceltaStam&) {});
    opz->oiStaVid = 2;
    EXPECT_FALSE(FrmSceltaStam::Apri(opz));
    EXPECT_EQ(mostrato, 0);
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].testo, InEsecuzione);
    EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::SoloOk | StileMsg::Critico);
    EXPECT_EQ(opz->oiStaVid, 2);
    // Left loaded, neither filled nor shown; the next opening finds it.
    EXPECT_TRUE(FrmSceltaStam::Caricata());
    c->giStaAtt = 0;
    EXPECT_TRUE(FrmSceltaStam::Apri(opz));
    EXPECT_EQ(mostrato, 1);
}

TEST_F(FrmSceltaStamTest, FilledFromTheOptions) {
    opz->oiStaVid = 3;
    opz->ModoEscluso(3, true);
    opz->ForzaVert = -1;
    opz->Fatt = 1;
    opz->MemVid = 0;
    opz->FisFileName = "/tmp/fisso.txt";
    opz->ImpOpzione("PaginaDa", 12, 2);
    opz->ImpOpzione("MostraNumPag", 12, true);
    mentreMostrato([&](FrmSceltaStam& f) {
        // The excluded route is never selected: the printer takes its place.
        EXPECT_FALSE(f.OptStampaSu[3]->isEnabled());
        EXPECT_FALSE(f.OptStampaSu[3]->isChecked());
        EXPECT_TRUE(f.OptStampaSu[0]->isChecked());
        EXPECT_EQ(opz->oiStaVid, 0);
        EXPECT_TRUE(f.FraOpz[3]->isHidden());
        EXPECT_FALSE(f.FraOpz[0]->isHidden());
        EXPECT_FALSE(f.FraOpz[3]->isEnabled());
        EXPECT_TRUE(f.FraOpz[0]->isEnabled());
        EXPECT_TRUE(f.CheForzaVert->isChecked());
        EXPECT_TRUE(f.CheNumPag->isChecked());
        EXPECT_EQ(f.txt(10)->text(), "2");
        EXPECT_EQ(f.txt(20)->text(), "");
        EXPECT_EQ(f.txt(30)->text(), "2");
        EXPECT_EQ(f.labFatt->text(), "100");
        EXPECT_EQ(f.LabMemVid->text(), "No");
        EXPECT_EQ(f.labStaAttuale->text(), opz->DescrStampante(stampanti->NomeCorrente()));
        EXPECT_FALSE(f.labStaAttuale->text().isEmpty());
        f.ComChiudi_Click();
    });
    EXPECT_TRUE(FrmSceltaStam::Apri(opz));
    EXPECT_EQ(mostrato, 1);
    EXPECT_FALSE(FrmSceltaStam::Caricata());
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(FrmSceltaStamTest, RouteChoiceWritesTheOptionsAtOnce) {
    opz->FileName = "/tmp/lista.csv";
    mentreMostrato([&](FrmSceltaStam& f) {
        f.OptStampaSu[1]->click();
        EXPECT_EQ(opz->oiStaVid, 1);
        EXPECT_TRUE(opz->VideoScelto);
        EXPECT_FALSE(f.FraOpz[1]->isHidden());
        EXPECT_TRUE(f.FraOpz[1]->isEnabled());
        EXPECT_FALSE(f.FraOpz[0]->isEnabled());
        opz->VideoScelto = false;
        f.OptStampaSu[2]->click();
        EXPECT_EQ(opz->oiStaVid, 2);
        EXPECT_FALSE(opz->VideoScelto);

        // The printer page works only on the printer route.
        f.CheForzaVert->click();
        EXPECT_EQ(opz->ForzaVert, 0);
        f.OptStampaSu[0]->click();
        f.CheForzaVert->click();
        EXPECT_EQ(opz->ForzaVert, -1);
        f.CheForzaVert->click();
        EXPECT_EQ(opz->ForzaVert, 0);
        f.OptStampaSu[2]->click();
        f.CheNumPag->click();
        EXPECT_TRUE(opz->LeggiOpzione("MostraNumPag").booleano());
        QTest::mouseDClick(f.Fra0, Qt::LeftButton);
        EXPECT_TRUE(opz->OpzNascosta);
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);
    EXPECT_FALSE(FrmSceltaStam::Caricata());

    // Reopened, it shows what was chosen.
    mentreMostrato([&](FrmSceltaStam& f) {
        EXPECT_TRUE(f.OptStampaSu[2]->isChecked());
        EXPECT_TRUE(f.CheNumPag->isChecked());
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);
    EXPECT_EQ(mostrato, 2);
}

TEST_F(FrmSceltaStamTest, PageRangeBoxesMirrorEachOther) {
    mentreMostrato([&](FrmSceltaStam& f) {
        scriviPagina(f, 30, "5");
        EXPECT_EQ(opz->LeggiOpzione("PaginaDa").numero(), 5);
        EXPECT_EQ(f.txt(10)->text(), "5");
        EXPECT_EQ(BackColor(f.txt(10)), BackColor(f.txt(30)));
        EXPECT_EQ(BackColor(f.txt(30)), c->glColGotFocus);

        scriviPagina(f, 20, "7,6");
        EXPECT_EQ(opz->LeggiOpzione("PaginaA").numero(), 8);
        EXPECT_EQ(f.txt(20)->text(), "8");
        EXPECT_EQ(f.txt(40)->text(), "8");

        scriviPagina(f, 40, "");
        EXPECT_EQ(opz->LeggiOpzione("PaginaA").numero(), 0);
        EXPECT_EQ(f.txt(20)->text(), "");
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);
    EXPECT_FALSE(FrmSceltaStam::Caricata());
}

TEST_F(FrmSceltaStamTest, ClosingChecksKeepTheDialogOpen) {
    struct Caso {
        int percorso;
        const char* file;
        const char* fisso;
        int da, a;
        QString messaggio;  // empty: it closes
    };
    const Caso casi[] = {
        {2, "", "", 0, 0, NomeFileObbligatorio},
        {2, "/tmp/a.csv", "", 0, 0, {}},
        {3, "", "", 0, 0, NomeFileObbligatorio},
        {3, "", "/tmp/f.txt", 0, 0, {}},
        {0, "", "", 5, 3, PagineInvertite},
        {0, "", "", 3, 3, {}},
        {0, "", "", 3, 0, {}},  // from page 3 to the end
        {1, "", "", 0, 4, {}},
    };
    for (const auto& k : casi) {
        auto o = std::make_shared<OpzSta>();
        o->oiStaVid = k.percorso;
        o->FileName = k.file;
        o->FisFileName = k.fisso;
        o->ImpOpzione("PaginaDa", 12, k.da);
        o->ImpOpzione("PaginaA", 12, k.a);
        dialoghi->mostrati.clear();
        bool chiusa = false;
        mentreMostrato([&](FrmSceltaStam& f) {
            f.ComChiudi_Click();
            chiusa = !FrmSceltaStam::Caricata();
            if (!chiusa) {
                // Any other route with its choices complete lets it close.
                o->ImpOpzione("PaginaDa", 12, 0);
                f.OptStampaSu[0]->click();
                f.ComChiudi_Click();
            }
        });
        FrmSceltaStam::Apri(o);
        EXPECT_EQ(chiusa, k.messaggio.isEmpty()) << k.percorso << k.file << k.da << "-" << k.a;
        EXPECT_EQ(dialoghi->testi(), k.messaggio.isEmpty() ? QStringList() : QStringList({k.messaggio}))
            << k.percorso << k.file << k.da << "-" << k.a;
        EXPECT_FALSE(FrmSceltaStam::Caricata());
        EXPECT_EQ(o->oiStaVid, chiusa ? k.percorso : 0);
    }
}

TEST_F(FrmSceltaStamTest, EscapeAndEnterNeverClose) {
    opz->oiStaVid = 0;
    mentreMostrato([&](FrmSceltaStam& f) {
        f.show();
        QApplication::setActiveWindow(&f);
        f.txt(10)->setFocus();
        QTest::keyClick(f.txt(10), Qt::Key_Escape);
        QTest::keyClick(f.txt(10), Qt::Key_Return);
        // Enter moves along the tab order.
        EXPECT_NE(f.focusWidget(), f.txt(10));
        QTest::keyClick(&f, Qt::Key_Escape);
        EXPECT_TRUE(FrmSceltaStam::Caricata());
        EXPECT_TRUE(f.isVisible());
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);
    EXPECT_FALSE(FrmSceltaStam::Caricata());
}

TEST_F(FrmSceltaStamTest, PdfBoxesFollowTheMenuAndTheOptions) {
    opz->ImpOpzione("PdfAutomAbil", 12, true);
    opz->ImpOpzione("EmailInvia", 12, true);
    // No PDF printer enabled: both boxes hidden, and unticked on activation.
    mentreMostrato([&](FrmSceltaStam& f) {
        f.Form_Activate();
        EXPECT_TRUE(f.ChePdfAutom->isHidden());
        EXPECT_TRUE(f.CheInviaEmail->isHidden());
        EXPECT_FALSE(f.ChePdfAutom->isChecked());
        EXPECT_FALSE(f.CheInviaEmail->isEnabled());
        EXPECT_FALSE(f.CheInviaEmail->isChecked());
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);

    menu->ImpostaValore("UsaPdf995", "S");
    mentreMostrato([&](FrmSceltaStam& f) {
        f.Form_Activate();
        EXPECT_FALSE(f.ChePdfAutom->isHidden());
        EXPECT_TRUE(f.CheInviaEmail->isHidden());  // e-mail not enabled
        EXPECT_TRUE(f.ChePdfAutom->isChecked());
        EXPECT_TRUE(f.CheInviaEmail->isEnabled());
        EXPECT_FALSE(f.CheInviaEmail->isChecked());
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);

    menu->ImpostaValore("StampeEmail", "s");
    mentreMostrato([&](FrmSceltaStam& f) {
        f.Form_Activate();
        EXPECT_TRUE(f.CheInviaEmail->isChecked());
        opz->ImpOpzione("PdfAutomAbil", 12, false);
        f.Form_Activate();
        EXPECT_FALSE(f.ChePdfAutom->isChecked());
        EXPECT_FALSE(f.CheInviaEmail->isEnabled());
        f.ComChiudi_Click();
    });
    FrmSceltaStam::Apri(opz);
    EXPECT_EQ(mostrato, 3);
}

// Another printer chosen with "Nome file Pdf autom." ticked: the automatic
// PDF goes off, with or without a PDF queue installed (the program writes
// its PDF itself), so that the box never says PDF while paper comes out.
TEST_F(FrmSceltaStamTest, ChoosingAnotherPrinterTurnsTheAutomaticPdfOff) {
    menu->ImpostaValore("UsaPdfCreator", "S");
    menu->ImpostaValore("StampeEmail", "S");
    for (bool codaPdf : {true, false}) {
        SCOPED_TRACE(codaPdf ? "PDF queue installed" : "no PDF queue");
        if (!codaPdf) stampanti->stampanti.removeLast();
        opz->osNomeStampante.clear();
        mentreMostrato([&](FrmSceltaStam& f) {
            f.show();
            f.Form_Activate();
            QApplication::processEvents();
            QTest::mouseClick(f.ChePdfAutom, Qt::LeftButton, {}, QPoint(6, f.ChePdfAutom->height() / 2));
            ASSERT_TRUE(f.ChePdfAutom->isChecked());
            EXPECT_EQ(opz->osNomeStampante, "PDFCreator");
            QTest::mouseClick(f.CheInviaEmail, Qt::LeftButton, {}, QPoint(6, f.CheInviaEmail->height() / 2));
            ASSERT_TRUE(opz->LeggiOpzione("EmailInvia").booleano());
            int laser = -1;
            for (int r = 0; r < f.GriPri->rowCount(); ++r)
                if (f.GriPri->item(r, 1) && f.GriPri->item(r, 1)->text() == "Laser") laser = r;
            ASSERT_GE(laser, 0);
            const QRect cella = f.GriPri->visualRect(f.GriPri->model()->index(laser, 1));
            QTest::mouseClick(f.GriPri->viewport(), Qt::LeftButton, {}, cella.center());
            EXPECT_EQ(opz->osNomeStampante, "Laser");
            EXPECT_FALSE(f.ChePdfAutom->isChecked());
            EXPECT_FALSE(opz->LeggiOpzione("PdfAutomAbil").booleano());
            EXPECT_FALSE(f.CheInviaEmail->isChecked());
            EXPECT_FALSE(f.CheInviaEmail->isEnabled());
            EXPECT_FALSE(opz->LeggiOpzione("EmailInvia").booleano());
            f.ComChiudi_Click();
        });
        FrmSceltaStam::Apri(opz);
    }
    EXPECT_EQ(mostrato, 2);
}

// A report's options from the settings files, through the dialog and back
// into the same object the run form keeps.
TEST_F(FrmSceltaStamTest, OptionsRoundTripThroughSettingsAndDialog) {
    scrivi(c->gsFileIni, "[COMIVA01]\nStaVid=0\nNomeStampante=Laser\nFatt=0,67\nMemVid=1\n"
                         "[Opzioni Stampa]\nForzaVert=-1\n");
    IniOpzSta(*opz, "01");
    ASSERT_EQ(opz->osNomeStampante, "Laser");
    mentreMostrato([&](FrmSceltaStam& f) {
        EXPECT_TRUE(f.OptStampaSu[0]->isChecked());
        EXPECT_TRUE(f.CheForzaVert->isChecked());
        EXPECT_EQ(f.labFatt->text(), "67");
        EXPECT_EQ(f.LabMemVid->text(), "Si");
        f.OptStampaSu[1]->click();
        scriviPagina(f, 30, "3");
        f.ComChiudi_Click();
    });
    EXPECT_TRUE(FrmSceltaStam::Apri(opz));
    EXPECT_EQ(opz->oiStaVid, 1);
    EXPECT_TRUE(opz->VideoScelto);
    EXPECT_EQ(opz->LeggiOpzione("PaginaDa").numero(), 3);
    EXPECT_EQ(opz->LeggiOpzione("PaginaA").numero(), 0);
    EXPECT_EQ(opz->osNomeStampante, "Laser");
    EXPECT_EQ(opz->Sezione, "COMIVA01");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
}

}  // namespace
