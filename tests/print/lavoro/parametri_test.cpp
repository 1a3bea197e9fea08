#include "FixtureLavoro.h"

#include "print/lavoro/FrmStampaInCorso.h"
#include "print/opzioni/CorrMargini.h"

namespace {

TEST_F(LavoroTest, InizStampaWiresTheSharedFormsAndTheFixedDefaults) {
    int fontPers = 0;
    serviziLavoroStampa().CaricaFontPers = [&](Stampa& st) {
        ++fontPers;
        FontSta fs;
        st.FontAdd(NomeFontPers(7), fs);
    };
    serviziLavoroStampa().StampanteCorrente = [] { return QStringLiteral("Ufficio"); };
    c->gsDirImgEmail = QStringLiteral("/img");
    Stampa a, b;
    InizStampa(a);
    InizStampa(b, 0, 0);
    EXPECT_EQ(a.ofrmVStampa.get(), FrmVStampa::Istanza());
    EXPECT_EQ(b.ofrmVStampa.get(), a.ofrmVStampa.get());
    EXPECT_EQ(a.ofrmStampaInCorso, frmStampaInCorso::Istanza());
    EXPECT_EQ(b.ofrmStampaInCorso, a.ofrmStampaInCorso);
    EXPECT_FALSE(FrmVStampa::Istanza()->isVisible());
    EXPECT_EQ(a.ogPrtStam, "Ufficio");
    EXPECT_EQ(a.LeggiTitoloPrg(), "TERM01");
    EXPECT_EQ(a.LeggiCartellaTemp(), ggUtil().CartellaTemp());
    EXPECT_TRUE(a.LeggiMostraMsg());
    EXPECT_EQ(a.LeggiFontLab(), "CorpoLab");
    EXPECT_EQ(a.LeggiFontCampo(), "CorpoCampo");
    EXPECT_TRUE(a.LeggiParametro("UltRigaGrigia").booleano());
    EXPECT_EQ(a.LeggiParametro("AttendiPdfNoStampa").intero(), -1);
    EXPECT_EQ(a.LeggiParametro("DirImgEmail").testo(), "/img");
    EXPECT_EQ(fontPers, 2);
    EXPECT_TRUE(a.EsisteFont("FFPers-§-07"));
    EXPECT_EQ(NomeFontPers(123), "FFPers-§-0123");
}

// Report section first, then "Opzioni Stampa", then the built-in defaults.
TEST_F(LavoroTest, PageParametersComeFromTheSectionsInOrder) {
    scrivi(c->gsFileIni, "[PRGLIQ]\nMrSin=5,5\nForzaVert=1\n[Opzioni Stampa]\nMrSin=9\nMrDes=3\nInterl=0,5\n");
    int correzioni = 0;
    serviziLavoroStampa().CorrMarginiStampante = [&](Stampa&) { ++correzioni; };
    auto st = preparata();
    EXPECT_DOUBLE_EQ(st->LeggiMrSin(), 5.5);
    EXPECT_DOUBLE_EQ(st->LeggiMrDes(), 3);
    EXPECT_DOUBLE_EQ(st->LeggiMrAlt(), 10);
    EXPECT_DOUBLE_EQ(st->LeggiMrBas(), 10);
    EXPECT_DOUBLE_EQ(st->LeggiFatt(), 1);
    EXPECT_DOUBLE_EQ(st->LeggiDx(), 1);
    EXPECT_DOUBLE_EQ(st->LeggiDy(), 1);
    EXPECT_DOUBLE_EQ(st->LeggiInterl(), 0.5);
    EXPECT_EQ(st->LeggiForzaVert(), 1);
    EXPECT_EQ(st->LeggiSezioneSta(), "PRGLIQ");
    EXPECT_EQ(ggStampaCorr().data(), st.get());
    EXPECT_EQ(correzioni, 1);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());

    // Given defaults replace the built-in ones; mode 1 reads no parameter.
    Stampa altra;
    InizStampa(altra);
    altra.ogOpzSta = opz;
    IniParamStampa("ALTRA", altra, {Valore(), Valore(), Valore("20")});
    EXPECT_DOUBLE_EQ(altra.LeggiMrAlt(), 20);
    EXPECT_DOUBLE_EQ(altra.LeggiMrSin(), 9);
    Stampa solo;
    solo.ogOpzSta = opz;
    solo.ImpMrSin(77);
    IniParamStampa("PRGLIQ", solo, {}, 1);
    EXPECT_DOUBLE_EQ(solo.LeggiMrSin(), 77);
}

TEST_F(LavoroTest, ABadPageParameterGivesOneBoxAndAllDefaults) {
    struct Caso {
        QByteArray ini;
    } casi[] = {
        {"[PRGLIQ]\nMrSin=4\nForzaVert=99999\n"},
        {"[Opzioni Stampa]\nMrSin=4\nMrBas=abc\n"},
        // Geometry that leaves no printable page counts as values that are no number.
        {"[PRGLIQ]\nMrSin=1500\n"},
        {"[PRGLIQ]\nMrAlt=200\nMrBas=100\n"},
        {"[PRGLIQ]\nDx=300\n"},
        {"[PRGLIQ]\nDy=-5\nMrBas=300\n"},
        {"[PRGLIQ]\nMrSin=-300\nMrDes=300\n"},
        {"[PRGLIQ]\nFatt=0\n"},
        {"[PRGLIQ]\nFatt=100000000000000000000000000000\n"},
        {"[PRGLIQ]\nInterl=5000\n"},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.ini.constData());
        scrivi(c->gsFileIni, caso.ini);
        dialoghi->mostrati.clear();
        int correzioni = 0;
        serviziLavoroStampa().CorrMarginiStampante = [&](Stampa&) { ++correzioni; };
        c->gdRisVidStaVid = 1.25;
        auto st = preparata();
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].titolo, "Errore file ini");
        EXPECT_EQ(dialoghi->mostrati[0].testo,
                  "(IniParamStampa) Problemi nei parametri dei margini\r\nnel file di inizializzazione. \r\nUso i "
                  "valori di default");
        EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Critico);
        EXPECT_DOUBLE_EQ(st->LeggiMrSin(), 1);
        EXPECT_DOUBLE_EQ(st->LeggiMrAlt(), 10);
        EXPECT_EQ(st->LeggiForzaVert(), 0);
        EXPECT_DOUBLE_EQ(st->LeggiFatt(), 1.25);  // the scaling still applies
        EXPECT_EQ(correzioni, 0);
    }
    // Messages off: no box, still the defaults.
    dialoghi->mostrati.clear();
    Stampa st;
    st.ogOpzSta = opz;
    IniParamStampa("PRGLIQ", st);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_DOUBLE_EQ(st.LeggiMrSin(), 1);

    // A printer correction that leaves no page on the sheet: the same box and defaults.
    scrivi(c->gsFileIni, "[PRGLIQ]\nMrSin=2\n");
    dialoghi->mostrati.clear();
    serviziLavoroStampa().CorrMarginiStampante = [](Stampa& s) { s.ImpMrSin(s.LeggiMrSin() + 500); };
    auto corretta = preparata();
    EXPECT_EQ(dialoghi->testi().size(), 1);
    EXPECT_DOUBLE_EQ(corretta->LeggiMrSin(), 1);
    serviziLavoroStampa().CorrMarginiStampante = nullptr;
}

// Negative margins and offsets are values like any other: passed on as read,
// a printer's negative correction included, as long as a page is left.
TEST_F(LavoroTest, NegativeMarginsAndOffsetsArePassedOn) {
    scrivi(c->gsFileIni, "[PRGLIQ]\nMrSin=-3\nDy=-2\nMrAlt=4\n[Ufficio]\nMrAlt=-6\nMrDes=-1,5\n");
    opz->osNomeStampante = QStringLiteral("Ufficio");
    serviziLavoroStampa().CorrMarginiStampante = [](Stampa& s) { CorrMarginiStampante(s); };
    auto st = preparata();
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join('|').toStdString();
    EXPECT_DOUBLE_EQ(st->LeggiMrSin(), -3);
    EXPECT_DOUBLE_EQ(st->LeggiDy(), -2);
    EXPECT_DOUBLE_EQ(st->LeggiMrAlt(), -2);
    EXPECT_DOUBLE_EQ(st->LeggiMrDes(), -0.5);
    EXPECT_DOUBLE_EQ(st->LeggiMrBas(), 10);
}

TEST_F(LavoroTest, AutomaticPdfNameIsBuiltFromCleanedValuesAndTheEmailFollows) {
    menu->ImpostaValore("PdfNomeFile", QStringLiteral("§CodiceAzie§_§DataRov§_§Ora§_§Ignoto§_§Titolo§"));
    menu->ImpostaValore("codiceazie", QStringLiteral("AC/ME:01"));
    menu->ImpostaValore("UsaPdfCreator", QStringLiteral("S"));
    opz->ImpOpzione("StampaCaption", 12, Valore(QStringLiteral("Liq. IVA <trim>")));
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->ImpOpzione("EmailInvia", 12, Valore(true));
    opz->osNomeStampante = QStringLiteral("PDFCreator");
    opz->PathDefault = dir.path();
    QStringList chiamate;
    serviziLavoroStampa().ImpostaPrinterOpz = [&](OpzSta& o, int avviso) {
        chiamate << QStringLiteral("printer %1 %2").arg(o.osNomeStampante).arg(avviso);
        return true;
    };
    serviziLavoroStampa().PrepInvioEmail = [&](QString& t) { chiamate << QStringLiteral("email [%1]").arg(t); };
    auto st = preparata();
    EXPECT_EQ(opz->LeggiOpzione("PdfNomeFile").testo(), "AC_ME_01_20261210_1530_§Ignoto§_Liq. IVA _trim_");
    const ListaValori par = opz->LeggiOpzione("PdfAutomImpPar").lista();
    ASSERT_EQ(par.size(), 5);
    EXPECT_EQ(par[0].testo(), c->gsFileIni);
    EXPECT_EQ(par[2].testo(), "S");
    EXPECT_EQ(chiamate, (QStringList{"printer PDFCreator 0", "email []"}));
    EXPECT_EQ(st->PercorsoEffettivo(), Stampa::PercorsoPdf);

    // The preview sets the printer but never builds a PDF name nor an e-mail.
    chiamate.clear();
    opz->ImpOpzione("PdfNomeFile", 12, Valore());
    opz->oiStaVid = OpzSta::Video;
    preparata();
    EXPECT_EQ(chiamate, QStringList{"printer PDFCreator 0"});
    EXPECT_TRUE(opz->LeggiOpzione("PdfNomeFile").eVuoto());
    // A file route prepares nothing.
    chiamate.clear();
    opz->oiStaVid = OpzSta::File;
    preparata();
    EXPECT_TRUE(chiamate.isEmpty());

    Stampa vuota;
    EXPECT_EQ(NomePdfAutomatico(QStringLiteral("Fisso.pdf"), vuota), "Fisso.pdf");
    EXPECT_EQ(PulisciNomeFile(QStringLiteral("a\\b/c:d*e?f\"g<h>i|j\tk")), "a_b_c_d_e_f_g_h_i_j_k");
}

// Two reports of one run named alike within the same minute get two files;
// a new series (the next run) starts from the plain name again.
TEST_F(LavoroTest, AutomaticPdfNamesOfOneRunNeverCollide) {
    menu->ImpostaValore("UsaPdfCreator", QStringLiteral("S"));
    menu->ImpostaValore("PdfNomeFile", QStringLiteral("Dati_§DataRov§_§Ora§"));
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->osNomeStampante = QStringLiteral("PDFCreator");
    opz->PathDefault = dir.path();
    serviziLavoroStampa().ImpostaPrinterOpz = [](OpzSta&, int) { return true; };
    const QString nome = dir.path() + "/Dati_20261210_1530";
    auto clienti = preparata();
    auto fornitori = preparata();
    EXPECT_EQ(clienti->LeggiFilePdf(), nome + ".pdf");
    EXPECT_EQ(fornitori->LeggiFilePdf(), nome + "_2.pdf");
    EXPECT_EQ(preparata()->LeggiFilePdf(), nome + "_3.pdf");
    opz->NuovaSeriePdf();
    EXPECT_EQ(preparata()->LeggiFilePdf(), nome + ".pdf");
}

// Missing e-mail data are reported; the PDF is still made, and not sent.
TEST_F(LavoroTest, MissingEmailDataAreReportedAndTheSendingIsDropped) {
    menu->ImpostaValore("UsaPdfCreator", QStringLiteral("S"));
    opz->ImpOpzione("PdfAutomAbil", 12, Valore(true));
    opz->ImpOpzione("EmailInvia", 12, Valore(true));
    opz->osNomeStampante = QStringLiteral("PDFCreator");
    opz->PathDefault = dir.path();
    serviziLavoroStampa().ImpostaPrinterOpz = [](OpzSta&, int) { return true; };
    serviziLavoroStampa().PrepInvioEmail = [](QString&) { throw ErroreRun(-123, QStringLiteral("Mancano dati necessari per l'invio dell'email")); };
    auto st = preparata();
    EXPECT_EQ(dialoghi->testi(), QStringList{"Mancano dati necessari per l'invio dell'email"});
    EXPECT_FALSE(opz->LeggiOpzione("EmailInvia").booleano());
    EXPECT_EQ(st->PercorsoEffettivo(), Stampa::PercorsoPdf);
}

// Without the menu (its link dropped during a run) a page still gets its
// header: no run-time error from a personal parameter the menu cannot give.
TEST_F(LavoroTest, PageHeaderWithoutTheMenu) {
    auto st = preparata();
    menu->PerdiCollegamento();
    EXPECT_NO_THROW(StampaTestataPag(*st, QStringLiteral("Titolo"), 1, Valore(), false, {}, {}, {}, false, 0));
}

TEST_F(LavoroTest, ScopeGuardClearsTheFlagOnEveryExit) {
    ChiamanteStampa proprietario;
    try {
        GuardiaStaAtt guardia(&proprietario);
        c->giStaAtt = 1;
        throw ErroreRun(5, "errore");
    } catch (const ErroreRun&) {
    }
    EXPECT_EQ(c->giStaAtt, 0);
}

}  // namespace
