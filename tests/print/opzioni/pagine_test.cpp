// The pages of the print options dialog beyond the route: printer, bin and
// size, file, fixed width, preview size, saving the options, automatic PDF
// and the PDF and e-mail panel.
#include "print/opzioni/FrmSceltaStam.h"

#include "Ambiente.h"
#include "components/stampa/OpzSta.h"
#include "contesto/ImpostazioniIni.h"
#include "print/anteprima/frmVStaPar.h"
#include "print/opzioni/ElenchiCarta.h"
#include "print/opzioni/OpzioniIni.h"
#include "print/opzioni/PannelloPdfEmail.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace {

class PagineTest : public AmbienteStampa {
protected:
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();
    std::function<void(FrmSceltaStam&)> mostraOriginale;
    std::function<void(frmVStaPar&)> zoomOriginale;

    void SetUp() override {
        AmbienteStampa::SetUp();
        mostraOriginale = FrmSceltaStam::MostraModale();
        zoomOriginale = FrmSceltaStam::MostraZoom();
        opz->Sezione = QStringLiteral("COMIVA01");
        stampanti->driver["laser"] = {.numeriCassetti = {1, 7, 15},
                                      .nomiCassetti = {"Superiore", "Manuale", "Busta"},
                                      .numeriFormati = {9, 1, 11},
                                      .nomiFormati = {"A4", "Letter", "A5"},
                                      .formatoCorrente = 9};
    }
    void TearDown() override {
        FrmSceltaStam::MostraModale() = mostraOriginale;
        FrmSceltaStam::MostraZoom() = zoomOriginale;
        if (FrmSceltaStam::Caricata()) delete &FrmSceltaStam::Istanza();
        AmbienteStampa::TearDown();
    }
    // The dialog filled from the options, as the user finds it.
    FrmSceltaStam& apri() {
        FrmSceltaStam& f = FrmSceltaStam::Istanza();
        f.ogOpzSta = opz;
        EXPECT_TRUE(f.VisDecodOk());
        return f;
    }
    static QStringList voci(const QComboBox* c) {
        QStringList v;
        for (int i = 0; i < c->count(); ++i) v << c->itemText(i);
        return v;
    }
    static int riga(const QTableWidget* g, const QString& nome) {
        for (int r = 0; r < g->rowCount(); ++r)
            if (g->item(r, 1)->text() == nome) return r;
        return -1;
    }
};

TEST(ElenchiCartaTest, ItemsPairNumbersAndNamesUpToTheShorterList) {
    const QString ventiquattro = QStringLiteral("Vassoio grande capacità1");  // 24 characters, no NUL
    EXPECT_EQ(VociCassetti({1, 7, 15}, {"Alto", QStringLiteral("Manuale") + QChar(0) + "xx", ventiquattro}),
              QStringList({VoceNessunaImpostazione, "     1 - Alto", "     7 - Manuale", "    15 - " + ventiquattro}));
    // A driver answering more numbers than names, or the other way round.
    EXPECT_EQ(VociCassetti({1, 2, 3}, {"A"}), QStringList({VoceNessunaImpostazione, "     1 - A"}));
    EXPECT_EQ(VociFormati({9, 1}, {"A4", "Letter", "A5"}, 9),
              QStringList({VoceNessunaImpostazione, "9 - A4 (ATTUALE)", "1 - Letter"}));
    EXPECT_EQ(VociFormati({}, {}, 9), QStringList({VoceNessunaImpostazione}));
    EXPECT_EQ(NumeroDaVoce(VoceNessunaImpostazione), 0);
    EXPECT_EQ(NumeroDaVoce("    15 - Busta"), 15);
    EXPECT_EQ(NumeroDaVoce("senza trattino"), 0);
    EXPECT_EQ(IndiceVoce({VoceNessunaImpostazione, "     7 - A", "     7 - B"}, 7), 2);
    EXPECT_EQ(IndiceVoce({VoceNessunaImpostazione, "     7 - A"}, 3), 0);
}

TEST_F(PagineTest, BinAndSizeListsFollowTheChosenPrinter) {
    opz->osNomeStampante = "Laser";
    opz->ImpOpzione("NumCassetto", 12, 7);
    FrmSceltaStam& f = apri();
    EXPECT_EQ(f.GriPri->rowCount(), 3);
    EXPECT_EQ(f.labTotStamp->text(), "3");
    // The count stands beside its caption.
    const auto* didascalia = qobject_cast<QLabel*>(Elemento(f, "Lab", 9));
    ASSERT_NE(didascalia, nullptr);
    EXPECT_EQ(didascalia->text(), "Stampanti disponibili");
    EXPECT_EQ(didascalia->parentWidget(), f.labTotStamp->parentWidget());
    f.show();
    EXPECT_EQ(didascalia->geometry().center().y(), f.labTotStamp->geometry().center().y());
    EXPECT_LT(didascalia->geometry().right(), f.labTotStamp->geometry().left());
    EXPECT_EQ(f.GriPri->item(1, 2)->text(), "usb://ufficio");
    EXPECT_EQ(f.cboCassetti->currentText(), "     7 - Manuale");
    EXPECT_EQ(voci(f.cboCassetti).last(), "    15 - Busta");
    // No stored size: item 0, although the current size is marked.
    EXPECT_EQ(f.cboTipoCarta->currentIndex(), 0);
    EXPECT_EQ(voci(f.cboTipoCarta)[1], "9 - A4 (ATTUALE)");

    // A size chosen by the user goes into the options.
    f.cboTipoCarta->setCurrentIndex(2);
    emit f.cboTipoCarta->activated(2);
    EXPECT_EQ(opz->LeggiOpzione("NumTipoCarta").numero(), 1);

    // A printer row resets bin and size; this one offers no sizes at all.
    f.GriPri_Click(riga(f.GriPri, "PDFCreator"));
    EXPECT_EQ(opz->osNomeStampante, "PDFCreator");
    EXPECT_EQ(opz->NomePorta, "PDFCreator");
    EXPECT_EQ(opz->LeggiOpzione("NumCassetto").numero(), 0);
    EXPECT_EQ(opz->LeggiOpzione("NumTipoCarta").numero(), 0);
    EXPECT_EQ(voci(f.cboTipoCarta), QStringList({VoceNessunaImpostazione}));
    EXPECT_EQ(voci(f.cboCassetti), QStringList({VoceNessunaImpostazione}));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();

    // Back on the default printer: no name, its port.
    f.ComUsaDef_Click();
    EXPECT_EQ(opz->osNomeStampante, "");
    EXPECT_EQ(opz->NomePorta, "ipp://srv/laser");
    EXPECT_EQ(voci(f.cboCassetti).size(), 4);
}

// A driver whose counts of sizes and size names differ is reported, and the
// size list and the stored size stay as they were.
TEST_F(PagineTest, ADriverWithUnevenSizeListsIsReportedAndChangesNothing) {
    const QString errore = QStringLiteral("Errore nel driver nella ricerca informazioni Papersize");
    stampanti->driver["ufficio_ts3"] = {.numeriFormati = {9, 1, 11, 8, 5, 3, 7, 12, 13},
                                        .nomiFormati = {"A4", "Letter", "A5", "A3", "Legal", "Tabloid", "Executive", "B4"},
                                        .formatoCorrente = 9};
    // Opened on that printer with a size of its ninth number.
    opz->osNomeStampante = "Ufficio_TS3";
    opz->ImpOpzione("NumTipoCarta", 12, 13);
    FrmSceltaStam& f = apri();
    EXPECT_EQ(dialoghi->testi().join("|").toStdString(), errore.toStdString());
    EXPECT_EQ(opz->LeggiOpzione("NumTipoCarta").numero(), 13);
    EXPECT_EQ(f.cboTipoCarta->count(), 0);
    delete &f;

    // Chosen from the grid: the other printer's list stays.
    dialoghi->mostrati.clear();
    opz->osNomeStampante = "Laser";
    FrmSceltaStam& g = apri();
    const QStringList prima = voci(g.cboTipoCarta);
    ASSERT_EQ(prima.size(), 4);
    const int r = riga(g.GriPri, "Ufficio_TS3");
    ASSERT_GE(r, 0);
    g.show();
    QTest::mouseClick(g.GriPri->viewport(), Qt::LeftButton, {}, g.GriPri->visualItemRect(g.GriPri->item(r, 1)).center());
    EXPECT_EQ(opz->osNomeStampante, "Ufficio_TS3");
    EXPECT_EQ(dialoghi->testi().join("|").toStdString(), errore.toStdString());
    EXPECT_EQ(voci(g.cboTipoCarta).join("|").toStdString(), prima.join("|").toStdString());
}

TEST_F(PagineTest, PrintersWithoutBinChoice) {
    struct Caso {
        const char* nome;
        const char* parametro;
        const char* stampante;
        int voci;
    } casi[] = {
        {.nome = "listed, other case", .parametro = "Ufficio,laser", .stampante = "Laser", .voci = 1},
        {.nome = "a name that is only a prefix", .parametro = "Las,Magazzino", .stampante = "Laser", .voci = 4},
        {.nome = "every printer", .parametro = "TUTTE", .stampante = "Laser", .voci = 1},
        {.nome = "none", .parametro = "", .stampante = "Laser", .voci = 4},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        menu->ImpostaParPers("Tutti", "StampantiNoCassetti", QString::fromLatin1(k.parametro));
        opz->osNomeStampante = k.stampante;
        opz->ImpOpzione("NumCassetto", 12, 7);
        FrmSceltaStam& f = apri();
        EXPECT_EQ(f.cboCassetti->count(), k.voci);
        EXPECT_EQ(opz->LeggiOpzione("NumCassetto").numero(), k.voci == 1 ? 0 : 7);
        delete &f;
    }
}

TEST_F(PagineTest, FixedWidthTargetFromTheGridTheDefaultPrinterOrAFile) {
    opz->oiStaVid = OpzSta::LarghezzaFissa;
    FrmSceltaStam& f = apri();
    f.GriPorte_Click(1);
    EXPECT_EQ(opz->FisFileName, "usb://ufficio");
    EXPECT_TRUE(opz->FisStampante);
    EXPECT_EQ(f.LabFileStampaFis->text(), "usb://ufficio");
    f.ComUsaDef_Click();
    EXPECT_EQ(opz->FisFileName, "ipp://srv/laser");

    // Cancelled: the target stays.
    f.ComOpz_Click(3);
    EXPECT_EQ(opz->FisFileName, "ipp://srv/laser");
    EXPECT_TRUE(opz->FisStampante);
    // A file chosen: the target is a file, whatever was chosen before.
    dialoghi->risposteTesto = {dir.filePath("fisso.txt")};
    f.ComOpz_Click(3);
    EXPECT_EQ(opz->FisFileName, dir.filePath("fisso.txt"));
    EXPECT_FALSE(opz->FisStampante);
    EXPECT_EQ(dialoghi->mostrati.last().titolo, "Nome del file di stampa");
    EXPECT_EQ(dialoghi->mostrati.last().bottoni, QStringList({"Testo (*.txt)"}));

    // The file route and the preview route leave the default printer button alone.
    opz->oiStaVid = OpzSta::File;
    f.ComUsaDef_Click();
    EXPECT_EQ(opz->FisFileName, dir.filePath("fisso.txt"));
}

TEST_F(PagineTest, FileDialogChoosesNameAndFormatAndACancelChangesNothing) {
    opz->oiStaVid = OpzSta::File;
    opz->FileName = "/tmp/prima.csv";
    opz->FileForm = OpzSta::CompatibileExcel;
    opz->SepCampi = "|";  // no button for it: the tab stays marked
    FrmSceltaStam& f = apri();
    EXPECT_TRUE(f.OptSepCampi[0]->isChecked());
    EXPECT_EQ(opz->SepCampi, "|");
    EXPECT_FALSE(f.CheNumNoForm->isEnabled());
    EXPECT_EQ(f.LabFileForm->text(), "Compatibile Excel");

    f.ComOpz_Click(2);  // cancelled
    EXPECT_EQ(opz->FileName, "/tmp/prima.csv");
    EXPECT_EQ(opz->FileForm, OpzSta::CompatibileExcel);
    EXPECT_EQ(dialoghi->mostrati.last().bottoni,
              QStringList({"Formato Excel (*.xlsx)", "Compatibile Excel (*.csv *.txt)", "Testo (*.txt)"}));

    struct Caso {
        int filtro;
        int formato;
        bool numNoFormAbilitato;
    } casi[] = {{1, OpzSta::FormatoExcel, true}, {2, OpzSta::CompatibileExcel, false}, {3, OpzSta::Testo, true}};
    for (const auto& k : casi) {
        SCOPED_TRACE(k.filtro);
        dialoghi->risposteTesto = {dir.filePath("lista")};
        dialoghi->risposteFiltro = {k.filtro};
        f.ComOpz_Click(2);
        EXPECT_EQ(opz->FileName, dir.filePath("lista"));
        EXPECT_EQ(opz->FileForm, k.formato);
        EXPECT_EQ(f.CheNumNoForm->isEnabled(), k.numNoFormAbilitato);
        EXPECT_EQ(f.LabFileName->text(), dir.filePath("lista"));
    }
    f.OptSepCampi[0]->click();
    f.OptDelimStr[2]->click();
    EXPECT_EQ(opz->SepCampi, "\t");
    EXPECT_EQ(opz->DelimStr, "");
}

TEST_F(PagineTest, PreviewSizeThroughTheZoomDialog) {
    struct Caso {
        const char* nome;
        double scala, fatt;
        int mostrato;              // the bar when the zoom dialog opens
        std::optional<int> scelto; // the user's value with "OK"; none: close box
        double atteso;
        int memVid;
    } casi[] = {
        {.nome = "factor 0 opens at 100", .scala = 0, .fatt = 0, .mostrato = 100, .scelto = 100, .atteso = 1, .memVid = 1},
        {.nome = "no screen scale", .scala = 0, .fatt = 1.25, .mostrato = 125, .scelto = 80, .atteso = 0.8, .memVid = 1},
        {.nome = "screen scale", .scala = 1.25, .fatt = 1.25, .mostrato = 100, .scelto = 80, .atteso = 1, .memVid = 1},
        {.nome = "close box leaves the options", .scala = 0, .fatt = 1.25, .mostrato = 125, .scelto = std::nullopt,
         .atteso = 1.25, .memVid = 0},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        c->gdRisVidStaVid = k.scala;
        opz->Fatt = k.fatt;
        opz->MemVid = 0;
        int visto = 0;
        FrmSceltaStam::MostraZoom() = [&](frmVStaPar& z) {
            visto = z.VsbProp->value();
            z.CheMemVid->setChecked(true);
            if (!k.scelto) {
                z.close();
                return;
            }
            z.VsbProp->setValue(*k.scelto);
            z.CmdOk_Click();
        };
        FrmSceltaStam& f = apri();
        f.ComOpz_Click(1);
        EXPECT_EQ(visto, k.mostrato);
        EXPECT_NEAR(opz->Fatt, k.atteso, 1e-6);
        EXPECT_EQ(opz->MemVid, k.memVid);
        delete &f;
    }
}

TEST(FrmVStaParTest, SampleFollowsTheBarAndTheResetTicksThePages) {
    AppTest();
    frmVStaPar z;
    EXPECT_EQ(z.VsbProp->value(), 50);
    EXPECT_EQ(z.windowTitle(), "Grandezza visualizzazione stampe");
    z.VsbProp->setValue(180);
    EXPECT_EQ(z.LabProp->text(), "180");
    EXPECT_DOUBLE_EQ(z.DimensioneProva(), 18);
    z.VsbProp->setValue(10);  // below the bar's range
    EXPECT_DOUBLE_EQ(z.DimensioneProva(), 5);
    z.LabProp_DblClick();
    EXPECT_EQ(z.LabProp->text(), "67");
    EXPECT_NEAR(z.DimensioneProva(), 6.7, 1e-5);
    EXPECT_TRUE(z.CheMemVid->isChecked());
    EXPECT_FALSE(z.Confermato());
    z.CmdOk_Click();
    EXPECT_TRUE(z.Confermato());
}

TEST_F(PagineTest, TickingTheAutomaticPdfTurnsItOnAndSurvivesTheNextActivation) {
    struct Caso {
        const char* nome;
        const char* creator;
        const char* pdf995;
        const char* stampante;  // the options' printer after the tick
    } casi[] = {
        {.nome = "both drivers: PDFCreator", .creator = "S", .pdf995 = "S", .stampante = "PDFCreator"},
        {.nome = "PDF995 not installed", .creator = "N", .pdf995 = "S", .stampante = "PDF995"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        menu->ImpostaValore("UsaPdfCreator", QString::fromLatin1(k.creator));
        menu->ImpostaValore("UsaPdf995", QString::fromLatin1(k.pdf995));
        menu->ImpostaValore("StampeEmail", "S");
        menu->ImpostaValore("PdfNomeFile", "liq_§Data§");
        opz->osNomeStampante = "Laser";
        opz->ImpOpzione("PdfAutomAbil", 12, false);
        FrmSceltaStam& f = apri();
        f.Form_Activate();
        EXPECT_FALSE(f.CheInviaEmail->isEnabled());
        f.ChePdfAutom->click();
        EXPECT_TRUE(opz->LeggiOpzione("PdfAutomAbil").booleano());
        EXPECT_EQ(opz->osNomeStampante, k.stampante);
        EXPECT_EQ(opz->LeggiOpzione("PdfNomeFile").testo(), "liq_§Data§");
        EXPECT_EQ(opz->LeggiOpzione("PdfAutomImpPar").lista().size(), 5);
        EXPECT_TRUE(f.CheInviaEmail->isEnabled());
        f.CheInviaEmail->click();
        EXPECT_TRUE(opz->LeggiOpzione("EmailInvia").booleano());
        f.Form_Activate();
        EXPECT_TRUE(f.ChePdfAutom->isChecked());
        EXPECT_TRUE(f.CheInviaEmail->isChecked());

        // Cleared: no e-mail, no automatic PDF, the default printer back.
        f.ChePdfAutom->click();
        EXPECT_FALSE(opz->LeggiOpzione("PdfAutomAbil").booleano());
        EXPECT_FALSE(opz->LeggiOpzione("EmailInvia").booleano());
        EXPECT_FALSE(f.CheInviaEmail->isEnabled());
        EXPECT_EQ(opz->osNomeStampante, "Laser");
        delete &f;
    }
}

// What the panel saves comes back the same through the settings reader.
TEST_F(PagineTest, SavedOptionsComeBackTheSame) {
    struct Caso {
        const char* nome;
        bool comune, predefiniti;
        const char* file;
        const char* sezione;
    } casi[] = {
        {.nome = "this terminal, this print", .comune = false, .predefiniti = false, .file = "qorwin.ini", .sezione = "COMIVA01"},
        {.nome = "common file, every print", .comune = true, .predefiniti = true, .file = "comune.ini", .sezione = "Opzioni Stampa"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        QFile::remove(c->gsFileIni);
        QFile::remove(c->gsFileIniDb);
        c->gdRisVidStaVid = 1.25;
        auto o = std::make_shared<OpzSta>();
        o->Sezione = "COMIVA01";
        o->oiStaVid = OpzSta::File;
        o->ForzaVert = -1;
        o->FileName = "/tmp/uscita.xlsx";
        o->FileForm = OpzSta::FormatoExcel;
        o->PathDefault = "/tmp";
        o->SepCampi = "\t";
        o->DelimStr = "";
        o->NumNoForm = true;
        o->Fatt = 0.8375;  // 0.67 on a screen scale of 1.25
        o->MemVid = 0;
        o->FisFileName = "/tmp/fisso.txt";
        o->FisMrAlt = 2;
        o->FisMrBas = 3;
        o->FisColonne = 132;
        o->FisRighe = 72;
        o->FisCodIniComp = "\x1b\x0f";
        o->FisUtilComp = true;
        o->FisStampante = k.comune;
        o->osNomeStampante = "Laser";
        o->NomePorta = "ipp://srv/laser";
        o->ImpOpzione("NumCassetto", 12, 7);
        o->ImpOpzione("NumTipoCarta", 12, 0);
        opz = o;
        FrmSceltaStam& f = apri();
        f.ComSalOpz_Click();
        EXPECT_FALSE(f.PicSalPar->isHidden());
        EXPECT_FALSE(f.ComChiudi->isVisibleTo(&f));  // the panel covers the dialog
        EXPECT_EQ(f.LabValParam[5]->text(), "Tab");
        EXPECT_EQ(f.LabValParam[8]->text(), "0,67");
        EXPECT_EQ(f.LabValParam[24]->text(), "Default");
        EXPECT_EQ(f.LabValParam[11]->text(), k.comune ? "Sì" : "No");
        (k.comune ? f.OptIniStd : f.OptIniPers)->setChecked(true);
        (k.predefiniti ? f.OptSalInDef : f.OptSalInStamp)->setChecked(true);
        f.ComOk_Click();
        EXPECT_TRUE(f.PicSalPar->isHidden());
        EXPECT_TRUE(f.ComChiudi->isVisibleTo(&f));
        EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
        const QByteArray scritto = leggi(dir.filePath(k.file));
        EXPECT_TRUE(scritto.contains("[" + QByteArray(k.sezione) + "]"));
        EXPECT_TRUE(scritto.contains("DelimStr=-1\r\n"));
        EXPECT_TRUE(scritto.contains("SepCampi=9\r\n"));
        EXPECT_TRUE(scritto.contains("Fatt=0,67\r\n"));
        EXPECT_FALSE(scritto.contains("TipoCarta"));  // 0 is no setting: removed, not written
        delete &f;

        OpzSta letto;
        IniOpzSta(letto, "01");
        EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
        EXPECT_EQ(letto.oiStaVid, o->oiStaVid);
        EXPECT_EQ(letto.ForzaVert, o->ForzaVert);
        EXPECT_EQ(letto.FileName, o->FileName);
        EXPECT_EQ(letto.FileForm, o->FileForm);
        EXPECT_EQ(letto.PathDefault, o->PathDefault);
        EXPECT_EQ(letto.SepCampi, o->SepCampi);
        EXPECT_EQ(letto.DelimStr, o->DelimStr);
        EXPECT_EQ(letto.NumNoForm, o->NumNoForm);
        EXPECT_NEAR(letto.Fatt, o->Fatt, 1e-9);
        EXPECT_EQ(letto.MemVid, o->MemVid);
        EXPECT_EQ(letto.FisFileName, o->FisFileName);
        EXPECT_EQ(letto.FisStampante, o->FisStampante);
        EXPECT_EQ(letto.FisMrAlt, o->FisMrAlt);
        EXPECT_EQ(letto.FisMrBas, o->FisMrBas);
        EXPECT_EQ(letto.FisColonne, o->FisColonne);
        EXPECT_EQ(letto.FisRighe, o->FisRighe);
        EXPECT_EQ(letto.FisUtilComp, o->FisUtilComp);
        EXPECT_EQ(letto.osNomeStampante, o->osNomeStampante);
        EXPECT_EQ(letto.NomePorta, o->NomePorta);
        EXPECT_EQ(letto.LeggiOpzione("NumCassetto").numero(), 7);
        EXPECT_EQ(letto.LeggiOpzione("NumTipoCarta").numero(), 0);
    }
}

TEST_F(PagineTest, DeletingRemovesTheSectionOnlyFromThisTerminal) {
    const QByteArray sezione = "[COMIVA01]\r\nStaVid=2\r\nFileName=/tmp/a.csv\r\nMrSin=12\r\nFontTesta=Arial\r\n";
    struct Caso {
        const char* nome;
        bool comune;
        bool tutte;
        QByteArray resta;  // what the file keeps
    } casi[] = {
        {.nome = "this terminal, every row: the whole section", .comune = false, .tutte = true, .resta = ""},
        {.nome = "common file, every row: margins and fonts stay", .comune = true, .tutte = true,
         .resta = "[COMIVA01]\r\nMrSin=12\r\nFontTesta=Arial\r\n"},
        {.nome = "this terminal, one row left out", .comune = false, .tutte = false,
         .resta = "[COMIVA01]\r\nStaVid=2\r\nMrSin=12\r\nFontTesta=Arial\r\n"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        const QString file = k.comune ? c->gsFileIniDb : c->gsFileIni;
        scrivi(file, sezione);
        FrmSceltaStam& f = apri();
        f.ComCancOpz_Click();
        EXPECT_EQ(f.ComOk->text(), "&Cancellare");
        EXPECT_EQ(f.FraQualeIni->title(), "Dove cancellare");
        if (!k.tutte) f.Che[0]->setChecked(false);
        (k.comune ? f.OptIniStd : f.OptIniPers)->setChecked(true);
        f.ComOk_Click();
        EXPECT_EQ(leggi(file), k.resta);
        EXPECT_TRUE(f.PicSalPar->isHidden());
        delete &f;
    }
}

TEST_F(PagineTest, AKeyThatCannotBeWrittenIsReportedAndThePanelStays) {
    // A Windows-1252 settings file cannot hold a Cyrillic file name.
    scrivi(c->gsFileIni, "[COMIVA01]\r\nNota=citt\xe0\r\n");
    opz->FileName = QStringLiteral("/tmp/файл.csv");
    FrmSceltaStam& f = apri();
    f.ComSalOpz_Click();
    f.ComOk_Click();
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_TRUE(dialoghi->mostrati[0].testo.endsWith("\nFileName")) << dialoghi->testi().join("|").toStdString();
    EXPECT_FALSE(f.PicSalPar->isHidden());
    // The other keys went.
    EXPECT_TRUE(leggi(c->gsFileIni).contains("StaVid=0\r\n"));

    // Only that row: removed when empty, touching nothing else.
    dialoghi->mostrati.clear();
    opz->FileName.clear();
    f.ComSalOpz_Click();
    f.SelDeselSalOpz(false);
    f.Che[2]->setChecked(true);
    scrivi(c->gsFileIni, "[COMIVA01]\r\nFileName=/tmp/a.csv\r\nStaVid=3\r\n");
    f.ComOk_Click();
    EXPECT_EQ(leggi(c->gsFileIni), "[COMIVA01]\r\nStaVid=3\r\n");
    EXPECT_TRUE(f.PicSalPar->isHidden());
}

TEST_F(PagineTest, PdfEmailPanelShowsWritesAndBuildsItsSelection) {
    menu->ImpostaValore("EmailTipoNum", "");
    menu->ImpostaValore("EmailToNum", "2");
    menu->ImpostaValore("EmailTo2", "b@esempio.it");
    menu->ImpostaValore("EmailServerSMTP", "smtp.esempio.it");
    menu->ImpostaValore("EmailNumPorta", "0");
    menu->ImpostaValore("EmailTipoInvio", "");
    FrmSceltaStam& f = apri();
    f.ComParIniPE_Click();
    PannelloPdfEmail& p = *f.PicPdfEmail;
    EXPECT_FALSE(p.isHidden());
    // No configuration number: one configuration, the recipient number kept.
    EXPECT_FALSE(p.mbPiuConfig);
    EXPECT_EQ(p.miEmailToCor, 2);
    EXPECT_FALSE(menu->chiamate.join("|").contains("EmailToNum"));
    EXPECT_FALSE(f.txt(1505)->isHidden());
    EXPECT_TRUE(f.txt(1005)->isHidden());
    EXPECT_EQ(f.txt(1011)->text(), "smtp.esempio.it");
    EXPECT_EQ(f.txt(1019)->text(), "");
    EXPECT_TRUE(p.OptPETipoInvio[0]->isChecked());  // empty: Sendmail in the first configuration
    EXPECT_FALSE(p.ChePdfEmailSalva[15]->isChecked());

    // Only item 3 to be saved, on this terminal.
    p.PESelDeselSalOpz(false);
    p.ChePdfEmailSalva[3]->setChecked(true);
    EXPECT_EQ(p.SalvaCancIniPE(), "pNNSNNNNNNNNNNNNNNNNNNNXXXXXNXNNNNNXNNXNNNNNXXXXXXNXNNNNNXNNXNNNNNX");

    // SSL needs the "See" method, in any configuration.
    p.ChePdfEmailVal[220]->setChecked(true);
    p.OptPETipoInvio[14]->setChecked(true);
    EXPECT_FALSE(p.CtrlTxtValidi());
    EXPECT_EQ(dialoghi->testi().last(), "L'uso di SSL è possibile solo usando tipo invio 'See'");
    p.ChePdfEmailVal[220]->setChecked(false);

    f.txt(1014)->setText("studio");
    f.txt(1520)->setText("temp@esempio.it");
    p.ComPEOk_Click();
    EXPECT_TRUE(p.isHidden());
    EXPECT_EQ(LeggiValMenu("EmailLogin").testo(), "studio");
    EXPECT_EQ(LeggiValMenu("EmailTo").testo(), "b@esempio.it");
    EXPECT_EQ(LeggiValMenu("EmailTipoNum").numero(), 1);
    EXPECT_EQ(LeggiValMenu("EmailTipoInvio").testo(), "S");
    EXPECT_EQ(opz->LeggiOpzione("EmailToTemp").testo(), "temp@esempio.it");
}

// SSL on the "See" method needs an stunnel folder that exists; the values
// are stored for the suite's other programs only when it does.
TEST_F(PagineTest, SslNeedsAnExistingStunnelFolder) {
    struct Caso {
        const char* nome;
        QString cartella;
        QString messaggio;  // empty: accepted and stored
    } casi[] = {
        {"empty folder", "", "Con l'uso di SSL è obbligatorio inserire la directory stunnel"},
        {"missing folder", dir.filePath("nessuna"), "La directory stunnel è inesistente"},
        {"existing folder", dir.path(), ""},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        menu->ImpostaValore("EmailUsaSSL", "");
        menu->ImpostaValore("EmailDirStunnel", "prima");
        FrmSceltaStam& f = apri();
        f.ComParIniPE->click();
        PannelloPdfEmail& p = *f.PicPdfEmail;
        p.ChePdfEmailVal[20]->click();
        p.OptPETipoInvio[3]->click();
        f.txt(1021)->setText(k.cartella);
        p.ComPEOk->click();
        if (k.messaggio.isEmpty()) {
            EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
            EXPECT_TRUE(p.isHidden());
            EXPECT_EQ(LeggiValMenu("EmailUsaSSL").testo(), "S");
            EXPECT_EQ(LeggiValMenu("EmailDirStunnel").testo(), k.cartella);
        } else {
            EXPECT_EQ(dialoghi->testi().join("|").toStdString(), k.messaggio.toStdString());
            EXPECT_FALSE(p.isHidden());
            EXPECT_EQ(LeggiValMenu("EmailUsaSSL").testo(), "");
            EXPECT_EQ(LeggiValMenu("EmailDirStunnel").testo(), "prima");
        }
        delete &f;
    }
}

TEST_F(PagineTest, LoginRequestEndsOnlyWithTheDataOrWhenAbandoned) {
    struct Caso {
        const char* nome;
        QList<int> risposte;   // message buttons, in order
        bool completa;         // the user fills login, password and server
        bool annulla;
        bool esito;
    } casi[] = {
        {.nome = "confirmed with the data", .risposte = {1}, .completa = true, .annulla = false, .esito = true},
        {.nome = "abandoned", .risposte = {1, 1, 1}, .completa = false, .annulla = true, .esito = false},
        {.nome = "closed by the window's box", .risposte = {1, 1}, .completa = false, .annulla = false, .esito = false},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        dialoghi->risposte = k.risposte;
        menu->ImpostaValore("EmailTo", "a@esempio.it");
        FrmSceltaStam& f = FrmSceltaStam::Istanza();
        f.ogOpzSta = opz;
        f.oiRichDatiEmail = 1000;
        FrmSceltaStam::MostraModale() = [&](FrmSceltaStam& d) {
            d.PicPdfEmail->ComPEOk_Click();  // login and password still missing
            EXPECT_EQ(dialoghi->testi().last(), "mancano dati obbligatori per l'invio dell'email");
            if (k.completa) {
                d.txt(1014)->setText("studio");
                d.txt(1015)->setText("nuova");
                d.txt(1011)->setText("smtp.esempio.it");
                d.PicPdfEmail->ComPEOk_Click();
            } else if (k.annulla) {
                d.PicPdfEmail->ComPEAnnulla_Click();
                EXPECT_EQ(dialoghi->testi().last(), "Confermi annullamento invio email");
            } else {
                d.reject();
            }
        };
        EXPECT_EQ(f.RichDatiEmail(), k.esito);
        EXPECT_EQ(dialoghi->testi().first(), "Login o password non valida per spedizione email");
        EXPECT_EQ(f.oiRichDatiEmail, 0);
        if (k.completa) EXPECT_EQ(LeggiValMenu("EmailPwd").testo(), "nuova");
        if (FrmSceltaStam::Caricata()) delete &f;
    }
}

}  // namespace
