#include "print/opzioni/Stampanti.h"

#include "components/stampa/OpzSta.h"

#include "Ambiente.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/opzioni/OpzioniIni.h"
#include "components/platform/Sessioni.h"
#include "support/AppTest.h"

namespace {

class StampantiTest : public AmbienteStampa {};

TEST(NomiSessione, TranslationIsOffForLowSessionsOrBlankPattern) {
    struct Caso {
        const char* schema;
        long sessione;
    };
    for (const Caso& k : {Caso{"_TS%§", 0}, Caso{"_TS%§", 1}, Caso{"", 5}, Caso{"   ", 5}}) {
        EXPECT_EQ(NomeStampanteSessione("Laser_TS%§", k.schema, k.sessione), "Laser_TS%§") << k.schema;
        EXPECT_EQ(NomeStampanteGenerico("Laser_TS5", k.schema, k.sessione), "Laser_TS5") << k.schema;
    }
}

TEST(NomiSessione, StoredNameRoundTrips) {
    const QString schema = QStringLiteral(" (sessione %§)");
    const QString memorizzato = QStringLiteral("Laser (sessione %§)");
    const QString inSessione = NomeStampanteSessione(memorizzato, schema, 12);
    EXPECT_EQ(inSessione, "Laser (sessione 12)");
    EXPECT_EQ(NomeStampanteGenerico(inSessione, schema, 12), memorizzato);
    // Case does not matter in printer names.
    EXPECT_EQ(NomeStampanteGenerico("Laser (SESSIONE 12)", schema, 12), memorizzato);
}

TEST(NomiSessione, AnotherSessionNeedsTheExactNumber) {
    struct Caso {
        const char* nome;
        long sessione;
        const char* schema;
        bool altra;
    };
    const Caso casi[] = {
        {"Laser_TS21", 21, "_TS%§", false},  // contains "_TS2" but is this session's
        {"Laser_TS2", 21, "_TS%§", true},
        {"Laser_TS21", 2, "_TS%§", true},
        {"Laser_TS31", 3, "_TS%§", true},    // no upper bound on sessions
        {"Laser_TS1234", 7, "_TS%§", true},
        {"Laser_ts4", 7, "_TS%§", true},     // case ignored
        {"Laser_TS1", 7, "_TS%§", false},    // session 1 is never another's
        {"Laser_TS02", 7, "_TS%§", false},   // not the form of a session number
        {"Laser", 7, "_TS%§", false},
        {"Laser (12)", 3, "(%§)", true},
        {"Laser (3)", 3, "(%§)", false},
        {"Laser_TS5", 1, "_TS%§", false},    // this program not in a numbered session
        {"Laser_TS5", 7, "", false},
        {"", 7, "_TS%§", false},
        {"Laser_TS5-5", 3, "_TS%§-%§", true},
        {"Laser_TS5-6", 3, "_TS%§-%§", false},  // both places must hold the same number
        {"Laser remoto", 3, " remoto", true},   // a pattern without a number marks every session
    };
    for (const auto& k : casi)
        EXPECT_EQ(StampanteAltraSessione(k.nome, k.sessione, k.schema), k.altra)
            << k.nome << " in " << k.sessione << " with " << k.schema;
}

TEST_F(StampantiTest, DefaultPrinterInstalledOrNot) {
    QString nome = "x", nonDisp = "x", porta = "x";
    auto p = StampanteDefWin(nome, nonDisp, porta);
    ASSERT_TRUE(p);
    EXPECT_EQ(nome, "Laser");
    EXPECT_EQ(nonDisp, "");
    EXPECT_EQ(porta, "ipp://srv/laser");

    stampanti->predefinita = "Rimossa";
    EXPECT_FALSE(StampanteDefWin(nome, nonDisp, porta));
    EXPECT_EQ(nome, "");
    EXPECT_EQ(nonDisp, "Rimossa");
    EXPECT_EQ(porta, "");

    stampanti->predefinita.clear();
    EXPECT_FALSE(StampanteDefWin(nome, nonDisp, porta));
    EXPECT_EQ(nome + nonDisp + porta, "");
}

TEST_F(StampantiTest, BackToTheDefaultOnlyOnceAssigned) {
    QString nome = "prima", nonDisp = "prima", porta = "prima";
    ImpostaPrinterDefWin(nome, nonDisp, porta);
    EXPECT_EQ(nome, "prima");
    EXPECT_FALSE(StampanteCambiata());

    stampanti->Assegna("PDFCreator");
    ImpostaPrinterDefWin(nome, nonDisp, porta);
    EXPECT_EQ(nome, "Laser");
    EXPECT_EQ(stampanti->NomeCorrente(), "Laser");
    EXPECT_TRUE(StampanteCambiata());
}

TEST_F(StampantiTest, ListLeavesOutOtherSessionsPrinters) {
    stampanti->gsTermSessAggNome = "_TS%§";
    stampanti->stampanti.append(StampanteInstallata{"  ", "x"});
    qputenv(VariabileSessione, "4");
    QStringList nomi;
    for (const auto& s : ElencoStampantiWin()) nomi << s.nome;
    EXPECT_EQ(nomi, QStringList({"Laser", "PDFCreator"}));
    qputenv(VariabileSessione, "3");
    EXPECT_EQ(ElencoStampantiWin().size(), 3);
    qunsetenv(VariabileSessione);
    EXPECT_EQ(LeggiPortaStampanteWin("ufficio_ts3"), "usb://ufficio");
    EXPECT_EQ(LeggiPortaStampanteWin("Assente"), "");
}

TEST_F(StampantiTest, NetworkPrinterOnlyOnNt) {
    menu->ImpostaValore("OSPlatform", 2);
    EXPECT_TRUE(StampanteReteNT("\\\\srv\\laser"));
    EXPECT_FALSE(StampanteReteNT("Laser"));
    menu->ImpostaValore("OSPlatform", 1);
    EXPECT_FALSE(StampanteReteNT("\\\\srv\\laser"));
}

TEST_F(StampantiTest, UnavailableDefaultWarnsAndEmptiesTheKey) {
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante=Vecchia\nStaVid=1\n");
    AzzeraStampanteNonDisp("NomeStampante", "Vecchia", "COMIVA01");
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].testo,
              "Nella lista delle stampanti non è disponibile la stampante predefinita Vecchia\n"
              "Uscire dal programma e rientrare per avere impostato la stampante predefinita");
    EXPECT_EQ(leggi(c->gsFileIni), "[COMIVA01]\nNomeStampante=\nStaVid=1\n");
}

TEST_F(StampantiTest, PrinterNameUsableOnlyWhenInstalled) {
    AppTest();  // the hourglass needs the application
    EXPECT_TRUE(ImpostaPrinterNome("", true));
    EXPECT_TRUE(ImpostaPrinterNome("laser", true));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_FALSE(ImpostaPrinterNome("Assente", false));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());

    EXPECT_FALSE(ImpostaPrinterNome("Assente", true));
    EXPECT_FALSE(ImpostaPrinterNome("Assente", true, "Ufficio_TS3"));
    EXPECT_EQ(dialoghi->testi(),
              QStringList({"Impossibile impostare la stampante predefinita\nLa stampa verrà fatta su Laser\n"
                           "per stampare su Assente uscire dal programma e rientrare",
                           "Impossibile impostare la stampante predefinita\nLa stampa verrà fatta su Ufficio_TS3\n"
                           "per stampare su Assente uscire dal programma e rientrare"}));
    // The check never touches the current printer.
    EXPECT_FALSE(StampanteCambiata());
}

}  // namespace

namespace {

TEST_F(StampantiTest, JobPrinterBecomesCurrentWithoutTouchingTheDefault) {
    OpzSta opz;
    EXPECT_TRUE(ImpostaPrinterOpz(opz, true));
    EXPECT_FALSE(StampanteCambiata());

    opz.osNomeStampante = "pdfcreator";
    EXPECT_TRUE(ImpostaPrinterOpz(opz, true));
    EXPECT_EQ(stampanti->NomeCorrente(), "PDFCreator");
    EXPECT_EQ(stampanti->NomePredefinita(), "Laser");

    // An empty name keeps the printer of the last job.
    opz.osNomeStampante.clear();
    EXPECT_TRUE(ImpostaPrinterOpz(opz, true));
    EXPECT_EQ(stampanti->NomeCorrente(), "PDFCreator");

    opz.osNomeStampante = "Assente";
    EXPECT_FALSE(ImpostaPrinterOpz(opz, false));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_FALSE(ImpostaPrinterOpz(opz, true));
    EXPECT_EQ(dialoghi->testi(), QStringList({"Impossibile impostare la stampante predefinita\nLa stampa verrà fatta su "
                                              "PDFCreator\nper stampare su Assente uscire dal programma e rientrare"}));
    EXPECT_EQ(stampanti->NomeCorrente(), "PDFCreator");
    EXPECT_EQ(stampanti->NomePredefinita(), "Laser");
    EXPECT_TRUE(opz.LeggiOpzione("StampanteDefOri").eVuotoONull());
}

TEST_F(StampantiTest, SelStampanteOpzChoosesAnInstalledPrinter) {
    OpzSta opz;
    opz.ImpOpzione("NumCassetto", 2, 3);
    opz.ImpOpzione("NumTipoCarta", 2, 9);
    QString nome = "LASER";
    EXPECT_TRUE(SelStampanteOpz(nome, opz, false));
    EXPECT_EQ(opz.osNomeStampante, "Laser");
    EXPECT_EQ(opz.NomePorta, "ipp://srv/laser");
    EXPECT_EQ(opz.LeggiOpzione("NumCassetto").numero(), 0);
    EXPECT_EQ(opz.LeggiOpzione("NumTipoCarta").numero(), 0);

    nome = "Assente";
    EXPECT_FALSE(SelStampanteOpz(nome, opz, false));
    EXPECT_EQ(opz.osNomeStampante, "Laser");
}

TEST_F(StampantiTest, SelStampanteOpzGivesThePrinterBack) {
    OpzSta opz;
    opz.Sezione = "COMIVA01";
    opz.osNomeStampante = "PDFCreator";
    opz.NomePorta = "PDFCreator";

    // Another printer than the options' one: nothing changes.
    QString nome = "Laser";
    EXPECT_FALSE(SelStampanteOpz(nome, opz, true));
    EXPECT_EQ(opz.osNomeStampante, "PDFCreator");

    // Nothing saved for the report: the system default.
    nome = "PDFCreator";
    EXPECT_TRUE(SelStampanteOpz(nome, opz, true));
    EXPECT_EQ(opz.osNomeStampante, "Laser");
    EXPECT_EQ(opz.NomePorta, "ipp://srv/laser");

    // A default that is no longer installed is still named.
    stampanti->predefinita = "Rimossa";
    opz.osNomeStampante = nome = "PDFCreator";
    EXPECT_TRUE(SelStampanteOpz(nome, opz, true));
    EXPECT_EQ(opz.osNomeStampante, "Rimossa");
    EXPECT_EQ(opz.NomePorta, "");

    // The printer saved for the report.
    scrivi(c->gsFileIni, "[COMIVA01]\nNomeStampante=Ufficio_TS3\n");
    opz.osNomeStampante = nome = "PDFCreator";
    EXPECT_TRUE(SelStampanteOpz(nome, opz, true));
    EXPECT_EQ(nome, "Ufficio_TS3");
    EXPECT_EQ(opz.osNomeStampante, "Ufficio_TS3");
    EXPECT_EQ(opz.NomePorta, "usb://ufficio");
}

}  // namespace


namespace {

// The job set-up reaches the printer routines through its services.
TEST_F(StampantiTest, JobSetUpUsesThePrinterRoutines) {
    InstallaServiziStampanti();
    auto& serv = serviziLavoroStampa();
    OpzSta opz;
    opz.osNomeStampante = "Ufficio_TS3";
    EXPECT_TRUE(serv.ImpostaPrinterOpz(opz, 0));
    EXPECT_EQ(serv.StampanteCorrente(), "Ufficio_TS3");
    opz.osNomeStampante = "Assente";
    EXPECT_FALSE(serv.ImpostaPrinterOpz(opz, 0));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_EQ(serv.StampanteCorrente(), "Ufficio_TS3");
    RipristinaServiziLavoroStampa();
}

}  // namespace
