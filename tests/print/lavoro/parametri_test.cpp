#include "FixtureLavoro.h"

#include "print/lavoro/FrmStampaInCorso.h"

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
        // Values that put the page off the sheet count as values that are no number.
        {"[PRGLIQ]\nMrSin=1500\n"},
        {"[PRGLIQ]\nMrSin=-3\n"},
        {"[PRGLIQ]\nMrAlt=200\nMrBas=100\n"},
        {"[PRGLIQ]\nDy=-2\n"},
        {"[PRGLIQ]\nDx=300\n"},
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

    // A printer correction that takes the page off the sheet: the same box and defaults.
    scrivi(c->gsFileIni, "[PRGLIQ]\nMrSin=2\n");
    dialoghi->mostrati.clear();
    serviziLavoroStampa().CorrMarginiStampante = [](Stampa& s) { s.ImpMrSin(s.LeggiMrSin() - 5); };
    auto corretta = preparata();
    EXPECT_EQ(dialoghi->testi().size(), 1);
    EXPECT_DOUBLE_EQ(corretta->LeggiMrSin(), 1);
    serviziLavoroStampa().CorrMarginiStampante = nullptr;
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
