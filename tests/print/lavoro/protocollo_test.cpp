// A small report that follows the job protocol prints two pages with the
// standard header to each route.
#include "FixtureLavoro.h"

#include "print/lavoro/FrmStampaInCorso.h"

#include <QPrinterInfo>

namespace {

class ReportProva : public ChiamanteStampa {
public:
    std::shared_ptr<OpzSta> ogOpzSta;
    bool obStampa = true;
    int righe = 6;
    int rigaStop = 0;  // the user presses "Interrompi la stampa" on this row
    std::unique_ptr<Stampa> mgStampa;
    FontSta mgFontSta;
    QStringList esiti;

    void AvviaStampa() {
        const QString sezione = ogOpzSta->Sezione;
        const QString titolo = QStringLiteral("Rapporto di prova ");
        GuardiaStaAtt guardia(this);
        if (obStampa) {
            mgStampa = std::make_unique<Stampa>();
            InizStampa(*mgStampa);
            mgStampa->ImpChiamante(this);
            mgStampa->ogOpzSta = ogOpzSta;
            IniParamStampa(sezione, *mgStampa);
            mgStampa->ImpInterruzione(0);
            frmStampaInCorso* box = frmStampaInCorso::Istanza();
            box->Prepara(titolo, mgStampa.get());
            bool nonAvviare = false;
            mgStampa->VerificaAvvio(1, nonAvviare);
            if (nonAvviare) {
                esiti << "rifiutata";
                mgStampa->FineStampa();
                mgStampa.reset();
                return;
            }
            mgStampa->ImpCodiceAvvio(6);
            box->MostraInCorso();
        }
        ctx().giStaAtt = 1;
        if (obStampa) {
            ImpFontTesta(*mgStampa, mgFontSta);
            ImpFontCorpo(*mgStampa, mgFontSta);
            mgStampa->AvviaDocumento();
            StaIntest();
        }
        for (int r = 1; r <= righe && obStampa; ++r) {
            if (r == righe / 2 + 1) {
                mgStampa->NuovaPagina();
                if (mgStampa->LeggiAnnullata()) break;
                StaIntest();
            }
            if (r == rigaStop) frmStampaInCorso::Istanza()->ComStampa->click();
            if (mgStampa->LeggiAnnullata()) break;
            mgStampa->UsaFont(QStringLiteral("CorpoCampo"));
            mgStampa->ImpSinistra(0);
            mgStampa->ImpDestra(0);
            mgStampa->ImpAllineamento(QStringLiteral("S"));
            mgStampa->StampaTesto(0, QStringLiteral("Riga %1").arg(r));
            mgStampa->NuovaRiga();
        }
        if (obStampa) {
            esiti << (mgStampa->LeggiAnnullata() ? "interrotta" : "finita");
            mgStampa->FineStampa();
            fileUscita = mgStampa->LeggiFileUscita();
            pagine = mgStampa->PagineProdotte();
            mgStampa.reset();
        }
    }
    void StaIntest() override {
        boxVisto = frmStampaInCorso::Istanza()->isVisible();
        mgStampa->ImpVert(mgStampa->LeggiMrAlt());
        StampaTestataPag(*mgStampa, QStringLiteral("Rapporto di prova "), 0, Valore(), false, QString(), QString(),
                         QStringLiteral("Ditta Prova srl"), true, 0);
    }
    void oiStaAtt(int v) override {
        esiti << QStringLiteral("oiStaAtt=%1").arg(v);
        ChiamanteStampa::oiStaAtt(v);
    }
    int oiStaAtt() const override { return ChiamanteStampa::oiStaAtt(); }

    QString fileUscita;
    int pagine = 0;
    bool boxVisto = false;
};

class ProtocolloTest : public LavoroTest {
protected:
    ReportProva report;
    void SetUp() override {
        LavoroTest::SetUp();
        menu->ImpostaValore("versione", QStringLiteral("5.1.0"));
        report.ogOpzSta = opz;
    }
};

TEST_F(ProtocolloTest, TextFileGetsBothPagesWithTheirHeaders) {
    opz->oiStaVid = OpzSta::File;
    opz->FileForm = OpzSta::CompatibileExcel;
    opz->FileName = dir.filePath("rapporto.csv");
    report.AvviaStampa();
    EXPECT_EQ(report.esiti, (QStringList{"finita", "oiStaAtt=0", "oiStaAtt=0"}));
    EXPECT_EQ(c->giStaAtt, 0);
    // The progress box stood while the pages printed and went with the end.
    EXPECT_TRUE(report.boxVisto);
    EXPECT_FALSE(frmStampaInCorso::Istanza()->isVisible());
    EXPECT_EQ(leggi(opz->FileName),
              "Qorvane 5.1.0;Ditta: Ditta Prova srl\r\n\r\n10/12/2026;Rapporto di prova ;Pag. 1\r\n"
              "Riga 1\r\nRiga 2\r\nRiga 3\r\n"
              "Qorvane 5.1.0;Ditta: Ditta Prova srl\r\n\r\n10/12/2026;Rapporto di prova ;Pag. 2\r\n"
              "Riga 4\r\nRiga 5\r\nRiga 6\r\n");
}

TEST_F(ProtocolloTest, FixedWidthStartsTheSecondPageWithAFormFeed) {
    opz->oiStaVid = OpzSta::LarghezzaFissa;
    opz->FisColonne = 60;
    opz->FisFileName = dir.filePath("rapporto.txt");
    report.AvviaStampa();
    const QByteArray dati = leggi(opz->FisFileName);
    EXPECT_EQ(dati.count('\f'), 1);
    EXPECT_EQ(dati.count("Pag. 1"), 1);
    EXPECT_EQ(dati.count("Pag. 2"), 1);
    EXPECT_TRUE(dati.contains("\r\nRiga 6 \r\n") || dati.contains("\r\nRiga 6\r\n"));
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(ProtocolloTest, AutomaticPdfGetsTwoPages) {
    menu->ImpostaValore("PdfNomeFile", QStringLiteral("Rapporto_§DataRov§"));
    opz->oiStaVid = OpzSta::Stampante;
    opz->osNomeStampante = QStringLiteral("PDF995");
    opz->PathDefault = dir.path();
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    report.AvviaStampa();
    EXPECT_EQ(report.fileUscita, dir.filePath("Rapporto_20261210.pdf"));
    const QByteArray pdf = leggi(report.fileUscita);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(report.pagine, 2);
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(ProtocolloTest, PreviewShowsBothPagesUntilTheUserLeaves) {
    opz->oiStaVid = OpzSta::Video;
    opz->MemVid = 1;
    FrmVStampa* f = FrmVStampa::Istanza();
    QStringList visti;
    f->attesaScriptata = [&](FrmVStampa& form) {
        visti << form.labPage->text() + (form.LabMsg->text().isEmpty() ? "" : " " + form.LabMsg->text());
        EXPECT_EQ(c->giStaAtt, 1);
        if (form.LabMsg->text().isEmpty())
            form.imaMuovi_Click(3);
        else
            form.ComEsci_Click();
    };
    report.AvviaStampa();
    EXPECT_EQ(visti, (QStringList{"Pag.001", "Pag.002 Stampa Terminata"}));
    EXPECT_EQ(report.pagine, 2);
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(FrmVStampa::EsisteIstanza());
}

TEST_F(ProtocolloTest, RecordingShowsTheHeaderOnEachPage) {
    RegistroInstallato reg;
    opz->oiStaVid = OpzSta::Video;
    report.AvviaStampa();
    QStringList pagine;
    for (const auto& v : reg->DiTipo("StampaTesto"))
        if (v.testo.startsWith("Pag. ")) pagine << QString::number(v.pagina) + ":" + v.testo + ":" + v.slot;
    EXPECT_EQ(pagine, (QStringList{"1:Pag. 1:TestaData", "2:Pag. 2:TestaData"}));
    EXPECT_EQ(reg->DiTipo("NuovaPagina").size(), 1);
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(ProtocolloTest, TheStopButtonEndsThePrintAndFreesTheFlag) {
    opz->oiStaVid = OpzSta::File;
    opz->FileName = dir.filePath("rapporto.csv");
    report.rigaStop = 2;
    report.AvviaStampa();
    EXPECT_TRUE(report.esiti.contains("interrotta"));
    EXPECT_EQ(c->giStaAtt, 0);
    EXPECT_FALSE(frmStampaInCorso::Istanza()->isVisible());
    const QByteArray dati = leggi(opz->FileName);
    EXPECT_TRUE(dati.contains("Riga 1"));
    EXPECT_FALSE(dati.contains("Riga 2"));
    // The next print is not refused.
    report.rigaStop = 0;
    report.esiti.clear();
    report.AvviaStampa();
    EXPECT_TRUE(report.esiti.contains("finita"));
}

TEST_F(ProtocolloTest, APrinterThatIsNotThereRefusesTheJobWithAMessage) {
    opz->oiStaVid = OpzSta::Stampante;
    opz->osNomeStampante = QStringLiteral("StampanteInesistente");
    c->giStaAtt = 0;
    report.AvviaStampa();
    EXPECT_EQ(report.esiti.first(), "rifiutata");
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_TRUE(dialoghi->mostrati[0].testo.startsWith("La stampante \"StampanteInesistente\" non è disponibile"));
    EXPECT_EQ(c->giStaAtt, 0);
}

TEST_F(ProtocolloTest, AWriterThatDoesNotPrintClearsTheFlagItself) {
    report.obStampa = false;
    report.AvviaStampa();
    EXPECT_EQ(c->giStaAtt, 0);
}

}  // namespace
