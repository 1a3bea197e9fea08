#include "print/opzioni/OpzioniIni.h"

#include "Ambiente.h"
#include "components/core/ErroreRun.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "print/opzioni/CorrMargini.h"
#include "print/opzioni/Stampanti.h"
#include "print/opzioni/TitoloPorta.h"
#include "components/platform/Sessioni.h"

namespace {

const QString ErroreIni = QStringLiteral("(IniOpzSta) Problemi nei parametri \nnel file di inizializzazione. \n"
                                         "Uso i valori di default");

class IniOpzStaTest : public AmbienteStampa {
protected:
    OpzSta opz;
    void TearDown() override {
        qunsetenv(VariabileSessione);
        AmbienteStampa::TearDown();
    }
};

TEST_F(IniOpzStaTest, ReportSectionFirstThenGeneralSection) {
    scrivi(c->gsFileIni,
           "[COMIVA01]\nStaVid=2\nFileName= C:\\Dati\\liq.csv \nFileForm=1\nNumNoForm=-1\nMemVid=0\n"
           "FisStampante=s\nCassetto=4\n"
           "[Opzioni Stampa]\nStaVid=3\nForzaVert=-1\nFisColonne=132\nFisRighe=72\nPathDefault= /tmp/out \n"
           "FisCodIniComp=\\x0F\nFisUtilComp=1\nTipoCarta=9\nNomePorta= lpt1 \n");
    IniOpzSta(opz, "01");

    EXPECT_EQ(opz.Sezione, "COMIVA01");
    EXPECT_EQ(opz.oiStaVid, 2);                  // the report's own value wins
    EXPECT_EQ(opz.FileName, "C:\\Dati\\liq.csv");
    EXPECT_EQ(opz.FileForm, 1);
    EXPECT_TRUE(opz.NumNoForm);
    EXPECT_EQ(opz.MemVid, 0);
    EXPECT_TRUE(opz.FisStampante);
    EXPECT_EQ(opz.LeggiOpzione("NumCassetto").numero(), 4);
    EXPECT_EQ(opz.ForzaVert, -1);                // from "Opzioni Stampa"
    EXPECT_EQ(opz.FisColonne, 132);
    EXPECT_EQ(opz.FisRighe, 72);
    EXPECT_EQ(opz.PathDefault, "/tmp/out");
    EXPECT_EQ(opz.FisCodIniComp, "\\x0F");
    EXPECT_TRUE(opz.FisUtilComp);
    EXPECT_EQ(opz.LeggiOpzione("NumTipoCarta").numero(), 9);
    EXPECT_EQ(opz.NomePorta, "lpt1");
    EXPECT_EQ(opz.NumAzzerato, 0);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
}

TEST_F(IniOpzStaTest, AbsentKeysKeepTheOptionButThePrinterIsEmptied) {
    opz.oiStaVid = 1;
    opz.FileName = "prima.txt";
    opz.FisMrAlt = 3;
    opz.Fatt = 0.8;
    opz.SepCampi = "\t";
    opz.DelimStr = "'";
    opz.osNomeStampante = "Laser";
    opz.NomePorta = "lpt1";
    IniOpzSta(opz, "01");
    EXPECT_EQ(opz.oiStaVid, 1);
    EXPECT_EQ(opz.FileName, "prima.txt");
    EXPECT_EQ(opz.FisMrAlt, 3);
    EXPECT_DOUBLE_EQ(opz.Fatt, 0.8);
    EXPECT_EQ(opz.SepCampi, "\t");
    EXPECT_EQ(opz.DelimStr, "'");
    EXPECT_EQ(opz.osNomeStampante, "");
    EXPECT_EQ(opz.NomePorta, "");
}

TEST_F(IniOpzStaTest, SeparatorQualifierAndFlagConversions) {
    struct Caso {
        const char* ini;
        QString sep, delim;
        bool fisStampante;
    };
    const Caso casi[] = {
        {"[COMIVA01]\nSepCampi=59\nDelimStr=34\nFisStampante=S\n", ";", "\"", true},
        {"[COMIVA01]\nSepCampi=9\nDelimStr=-1\nFisStampante=-1\n", "\t", "", true},
        {"[COMIVA01]\nSepCampi=44\nDelimStr='\nFisStampante=0\n", ",", "'", false},
        // In the general section only a number counts for FisStampante.
        {"[Opzioni Stampa]\nSepCampi=32\nDelimStr=39\nFisStampante=s\n", " ", "'", false},
        {"[Opzioni Stampa]\nFisStampante=1\n", ";", "\"", true},
    };
    for (const auto& k : casi) {
        scrivi(c->gsFileIni, k.ini);
        OpzSta o;
        IniOpzSta(o, "01");
        EXPECT_EQ(o.SepCampi, k.sep) << k.ini;
        EXPECT_EQ(o.DelimStr, k.delim) << k.ini;
        EXPECT_EQ(o.FisStampante, k.fisStampante) << k.ini;
    }
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(IniOpzStaTest, ExcludedKeysAreNotTakenFromTheGeneralSection) {
    scrivi(c->gsFileIni, "[COMIVA01]\nMemVid=0\n[Opzioni Stampa]\nStaVid=3\nNomeStampante=Laser\nMemVid=1\nFisRighe=10\n");
    opz.osNomeStampante = "PDFCreator";
    IniOpzSta(opz, "01", {}, {}, ",StaVid,nomestampante,MemVid");
    EXPECT_EQ(opz.oiStaVid, 0);
    EXPECT_EQ(opz.osNomeStampante, "PDFCreator");
    EXPECT_EQ(opz.MemVid, 0);       // excluded only from the general section
    EXPECT_EQ(opz.FisRighe, 10);
}

TEST_F(IniOpzStaTest, SectionFromTheCallerOrFromTheKeys) {
    scrivi(c->gsFileIni, "[COMIVA01Lis]\nStaVid=2\n[Mia]\nStaVid=3\n");
    IniOpzSta(opz, "01", {}, "Lis");
    EXPECT_EQ(opz.Sezione, "COMIVA01Lis");
    EXPECT_EQ(opz.oiStaVid, 2);
    IniOpzSta(opz, "01", "Mia", "Lis");
    EXPECT_EQ(opz.Sezione, "Mia");
    EXPECT_EQ(opz.oiStaVid, 3);
}

TEST_F(IniOpzStaTest, AutomaticPdfNeedsAPdfPrinterOfTheMenu) {
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante=Laser\nPdfNomeAutom=S\nInviaEmail=S\nCassetto=2\n");
    IniOpzSta(opz, "01");
    EXPECT_FALSE(opz.LeggiOpzione("PdfAutomAbil").booleano());
    EXPECT_FALSE(opz.LeggiOpzione("EmailInvia").booleano());  // not read at all
    EXPECT_EQ(opz.osNomeStampante, "Laser");

    menu->ImpostaValore("UsaPdfCreator", "s");
    OpzSta pdf;
    IniOpzSta(pdf, "01");
    EXPECT_TRUE(pdf.LeggiOpzione("PdfAutomAbil").booleano());
    EXPECT_TRUE(pdf.LeggiOpzione("EmailInvia").booleano());
    EXPECT_EQ(pdf.osNomeStampante, "PDFCreator");
    EXPECT_EQ(pdf.NomePorta, "PDFCreator");
    EXPECT_EQ(pdf.LeggiOpzione("NumCassetto").numero(), 0);

    // PDF995 is not installed: named all the same, bin and port as read.
    menu->ImpostaValore("UsaPdfCreator", "N");
    menu->ImpostaValore("UsaPdf995", "S");
    OpzSta p995;
    IniOpzSta(p995, "01");
    EXPECT_EQ(p995.osNomeStampante, "PDF995");
    EXPECT_EQ(p995.LeggiOpzione("NumCassetto").numero(), 2);

    // The caller's default when the settings say nothing.
    scrivi(c->gsFileIni, "");
    OpzSta predef;
    IniOpzSta(predef, "01", {}, {}, {}, "S");
    EXPECT_TRUE(predef.LeggiOpzione("PdfAutomAbil").booleano());
}

TEST_F(IniOpzStaTest, DisplayFactorFollowsTheScreen) {
    scrivi(c->gsFileIni, "[COMIVA01]\nFatt=1\n");
    c->gdRisVidStaVid = 1.25;
    IniOpzSta(opz, "01");
    EXPECT_DOUBLE_EQ(opz.Fatt, 1.25);
    c->gdRisVidStaVid = 0;
    scrivi(c->gsFileIni, "[COMIVA01]\nFatt=0,75\n");
    IniOpzSta(opz, "01");
    EXPECT_DOUBLE_EQ(opz.Fatt, 0.75);
}

TEST_F(IniOpzStaTest, BadValueStopsTheReadingWithAMessage) {
    scrivi(c->gsFileIni, "[COMIVA01]\nStaVid=2\nForzaVert=-1\nFileForm=70000\nFileName=dopo.txt\nFatt=1\n");
    c->gdRisVidStaVid = 2;
    opz.FileName = "prima.txt";
    IniOpzSta(opz, "01");
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].testo, ErroreIni);
    EXPECT_EQ(dialoghi->mostrati[0].titolo, "Errore file ini");
    EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Critico);
    EXPECT_EQ(opz.oiStaVid, 2);           // read before the fault
    EXPECT_EQ(opz.ForzaVert, -1);
    EXPECT_EQ(opz.FileName, "prima.txt");  // not reached
    EXPECT_DOUBLE_EQ(opz.Fatt, 2);         // the screen factor still applies

    for (const char* ini : {"[COMIVA01]\nSepCampi=300\n", "[COMIVA01]\nFatt=largo\n"}) {
        dialoghi->mostrati.clear();
        scrivi(c->gsFileIni, ini);
        OpzSta o;
        IniOpzSta(o, "01");
        EXPECT_EQ(dialoghi->testi(), QStringList({ErroreIni})) << ini;
    }
}

TEST_F(IniOpzStaTest, SavedPrinterTakesThisSessionsName) {
    menu->ImpostaParPers("Stampanti", "TermSessAggNome", "_TS%§");
    qputenv(VariabileSessione, "3");
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante= Ufficio_TS%§ \n");
    IniOpzSta(opz, "01");
    EXPECT_EQ(opz.osNomeStampante, "Ufficio_TS3");
    EXPECT_EQ(stampanti->giSessioneTerm, 3);
    EXPECT_EQ(stampanti->gsTermSessAggNome, "_TS%§");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(IniOpzStaTest, PrinterOfAnotherSessionIsReportedOnlyForThePrinterRoute) {
    menu->ImpostaParPers("Stampanti", "TermSessAggNome", "_TS%§");
    qputenv(VariabileSessione, "4");
    const QString altra = "Stampante di default di altra sessione (Ufficio_TS3)\n"
                          "Andare in selezione stampanti per scegliere quella del computer in uso";
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante=Ufficio_TS3\nStaVid=0\n");
    IniOpzSta(opz, "01");
    EXPECT_EQ(dialoghi->testi(), QStringList({altra}));

    dialoghi->mostrati.clear();
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante=Ufficio_TS3\nStaVid=1\n");
    IniOpzSta(opz, "01");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());

    // No printer in the options and none on the system.
    stampanti->predefinita.clear();
    scrivi(c->gsFileIni, "[COMIVA01]\nStaVid=0\n");
    IniOpzSta(opz, "01");
    EXPECT_EQ(dialoghi->testi(), QStringList({"Stampante di default non disponibile\nAndare in selezione stampanti "
                                              "per scegliere una o impostare la stampante di default da windows"}));
}

// Once a job has moved the current printer, loading options puts it back on
// the default and checks it; a default of another session empties the
// printer saved in this report's own section.
TEST_F(IniOpzStaTest, DefaultPrinterCheckAfterAJobChoseAPrinter) {
    menu->ImpostaParPers("Stampanti", "TermSessAggNome", "_TS%§");
    qputenv(VariabileSessione, "4");
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante=Laser\nStaVid=1\n[Altra]\nNomeStampante=Laser\n");

    // Not yet moved: no check at all.
    stampanti->predefinita = "Ufficio_TS3";
    IniOpzSta(opz, "01");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());

    stampanti->Assegna("PDFCreator");
    OpzSta o1;
    IniOpzSta(o1, "01");
    EXPECT_EQ(stampanti->NomeCorrente(), "Ufficio_TS3");
    EXPECT_EQ(dialoghi->testi(), QStringList({"La stampante (Ufficio_TS3) predefinita appartiene ad un'altra sessione\n"
                                              "Scegliere una stampante o cambiare la stampante predefinita"}));

    dialoghi->mostrati.clear();
    stampanti->predefinita = "Remota_TS7";  // not installed here
    OpzSta o2;
    o2.Sezione = "Altra";
    IniOpzSta(o2, "01");
    EXPECT_EQ(dialoghi->mostrati.size(), 2);
    EXPECT_EQ(leggi(c->gsFileIni), "[COMIVA01]\nNomeStampante=\nStaVid=1\n[Altra]\nNomeStampante=Laser\n");
    EXPECT_EQ(o2.osNomeStampante, "");
}

TEST_F(IniOpzStaTest, TitleFromTheMenuEntry) {
    const QString sql = "SELECT * From MenuDett WHERE Chiave='COMIVA' AND ChiaveSec='01'";
    menu->ImpostaParamDbMenu(sql, {"Liquidazione IVA", ""});
    IniOpzSta(opz, "01");
    EXPECT_EQ(opz.LeggiOpzione("StampaCaption").testo(), "Liquidazione IVA");
    EXPECT_EQ(opz.LeggiOpzione("StampaDescPrg").testo(), "Liquidazione IVA");

    menu->ImpostaParamDbMenu(sql, {"Liquidazione IVA", "Comunicazione trimestrale"});
    LeggiTitoloMenuStampa(opz, "01");
    EXPECT_EQ(opz.LeggiOpzione("StampaDescPrg").testo(), "Comunicazione trimestrale");

    LeggiTitoloMenuStampa(opz, "02");
    EXPECT_EQ(opz.LeggiOpzione("StampaCaption").testo(), "");
    EXPECT_EQ(opz.LeggiOpzione("StampaDescPrg").testo(), "");
}

TEST_F(IniOpzStaTest, PortOfAPrinterChosenByName) {
    stampanti->stampanti.append(StampanteInstallata{"pdfcreator", "seconda"});
    opz.NomePorta = "prima";
    opz.ImpOpzione("NumCassetto", 2, 5);
    EXPECT_FALSE(ImpostaPortaStampanteOpz(opz, "PDF995"));
    EXPECT_EQ(opz.NomePorta, "prima");
    EXPECT_EQ(opz.LeggiOpzione("NumCassetto").numero(), 5);
    EXPECT_TRUE(ImpostaPortaStampanteOpz(opz, "PDFCREATOR"));
    EXPECT_EQ(opz.NomePorta, "PDFCreator");  // the first of that name
    EXPECT_EQ(opz.LeggiOpzione("NumCassetto").numero(), 0);
    EXPECT_EQ(opz.LeggiOpzione("NumTipoCarta").numero(), 0);
}

class FormRegistra : public FormStampaVideo {
public:
    OpzSta* opz = nullptr;
    QStringList chiamate;
    void VisStaAttuale() override { chiamate << QString("Vis %1").arg(opz->oiStaVid); }
    void ComStampa_Click() override { chiamate << QString("Stampa %1").arg(opz->oiStaVid); }
};

TEST_F(IniOpzStaTest, PrintToThePreviewFromAForm) {
    FormRegistra f;
    f.opz = &opz;
    opz.oiStaVid = 2;
    EXPECT_EQ(StampaVideoDaForm(f, opz, true), 2);
    EXPECT_EQ(f.chiamate, QStringList({"Vis 1", "Stampa 1", "Vis 2"}));
    EXPECT_EQ(opz.oiStaVid, 2);
    EXPECT_TRUE(opz.VideoScelto);

    f.chiamate.clear();
    EXPECT_EQ(StampaVideoDaForm(f, opz, false), 2);
    EXPECT_EQ(f.chiamate, QStringList({"Vis 1", "Stampa 1"}));
    EXPECT_EQ(opz.oiStaVid, 1);
}

TEST_F(IniOpzStaTest, MarginCorrectionsOfThePrinter) {
    scrivi(c->gsFileIni, "[Laser]\nMrSin=2\nMrAlt=-1,5\n[PDFCreator]\nMrBas=3\n[Vuota]\nAltro=1\n");
    Stampa st;
    st.ogOpzSta = std::make_shared<OpzSta>();
    auto imposta = [&] {
        st.ImpMrSin(10);
        st.ImpMrDes(10);
        st.ImpMrAlt(10);
        st.ImpMrBas(10);
    };
    auto margini = [&] {
        return QList<double>{st.LeggiMrSin(), st.LeggiMrDes(), st.LeggiMrAlt(), st.LeggiMrBas()};
    };
    // No printer in the options: the current printer's section.
    imposta();
    CorrMarginiStampante(st);
    EXPECT_EQ(margini(), QList<double>({12, 10, 8.5, 10}));
    // Each job gets the corrections once, from its own margins.
    imposta();
    CorrMarginiStampante(st);
    EXPECT_EQ(margini(), QList<double>({12, 10, 8.5, 10}));

    st.ogOpzSta->osNomeStampante = "PDFCreator";
    imposta();
    CorrMarginiStampante(st);
    EXPECT_EQ(margini(), QList<double>({10, 10, 10, 13}));

    for (const char* nome : {"Vuota", "Assente"}) {
        st.ogOpzSta->osNomeStampante = nome;
        imposta();
        CorrMarginiStampante(st);
        EXPECT_EQ(margini(), QList<double>({10, 10, 10, 10})) << nome;
    }

    scrivi(c->gsFileIni, "[Laser]\nMrSin=1\nMrDes=x\n");
    st.ogOpzSta->osNomeStampante = "Laser";
    imposta();
    EXPECT_THROW(CorrMarginiStampante(st), ErroreRun);
    EXPECT_EQ(margini(), QList<double>({11, 10, 10, 10}));
}

}  // namespace
