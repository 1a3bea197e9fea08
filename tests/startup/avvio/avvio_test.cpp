#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "startup/Avvio.h"
#include "contesto/Contesto.h"
#include "common/FormBase.h"
#include "startup/Ospite.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void ScriviFile(const QString& percorso, const QString& testo) {
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo.toUtf8());
}

class AvvioTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        c = fx.InstallaContesto();
        c->ggGestDb.reset();  // the start-up opens the databases itself
        menu = std::make_shared<MenuClientFinto>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        c->ggDialoghi = dialoghi;
        c->ggOspite = std::make_shared<Ospite>();
        static_cast<Ospite*>(c->ggOspite.get())->AlTermine = [this] { finito = true; };
        ini = fx.Cartella() + "/qorwin.ini";
        iniDb = fx.Cartella() + "/qorwindb.ini";
        ScriviFile(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
        ScriviFile(iniDb, "[Base]\nDirImmagini=/img\n");
        menu->fileImpostazioni = ini;
        menu->ImpostaValore("NomeDBAzie", fx.fileAzienda);
        menu->ImpostaValore("DescAzie", "Rossi & Figli S.r.l.");
        menu->terminale = "ABC";
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    bool Avvia(const QString& riga = "/M MENU1 /P PRG SEC1 /F frmDatiFatXml") {
        return InizProgramma(riga, [this] { return menu; });
    }
    void Chiudi() {
        for (int i = 0; i < 3 && static_cast<Ospite*>(c->ggOspite.get())->frmPrincipale()->timChiudi.isActive(); ++i)
            static_cast<Ospite*>(c->ggOspite.get())->timChiudi_Timer();
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<MenuClientFinto> menu;
    std::shared_ptr<DialoghiScriptati> dialoghi;
    QString ini, iniDb;
    bool finito = false;
};

TEST_F(AvvioTest, StartsRegistersOpensBothDatabasesAndTheRequestedForm) {
    ASSERT_TRUE(Avvia()) << dialoghi->testi().join("\n").toStdString();
    EXPECT_TRUE(menu->chiamate.contains("RegistraProgramma|MENU1|PRG|SEC1"));
    EXPECT_EQ(c->gsChiavePrg, "PRG");
    EXPECT_EQ(c->gsParamAgg, "SEC1");
    EXPECT_EQ(c->gsFileIniDb, iniDb);
    EXPECT_FALSE(c->gsIdDbase.isEmpty());
    EXPECT_FALSE(c->gsIdDbMenu.isEmpty());
    EXPECT_EQ(c->gsDescDitta, "Rossi & Figli S.r.l.");
    FormBase* f = static_cast<Ospite*>(c->ggOspite.get())->Form("frmDatiFatXml");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->osKeySec, "SEC1");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_EQ(c->giCodiceUscita, 0);
    // The connection splash is gone once the shared database is open.
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "frmConn");
}

TEST_F(AvvioTest, WithoutTheMenuTheProgramSaysSoAndEndsWithAnError) {
    menu->menuAssente = true;
    EXPECT_FALSE(Avvia());
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].testo,
              "Il menu principale non è in esecuzione\nQuesto programma non può essere eseguito autonomamente");
    Chiudi();
    EXPECT_TRUE(finito);
    EXPECT_EQ(c->giCodiceUscita, 1);
    EXPECT_EQ(static_cast<Ospite*>(c->ggOspite.get())->FormsCaricate().size(), 1);
}

TEST_F(AvvioTest, DatabaseFailuresAreReportedAndStopTheStartUp) {
    struct Caso {
        const char* nome;
        std::function<void()> prepara;
        QString attesoInizio;
    };
    const QString nonDb = fx.Cartella() + "/nondb.mdb";
    ScriviFile(nonDb, "questo non è un database");
    const std::vector<Caso> casi = {
        {"file mancante", [&] { menu->ImpostaValore("NomeDBAzie", fx.Cartella() + "/manca.db"); }, "Errore("},
        {"non database", [&] { menu->ImpostaValore("NomeDBAzie", nonDb); }, "Errore(3343)"},
        {"sorgente ODBC", [&] { menu->ImpostaValore("NomeDBAzie", "ContabDSN"); }, "Errore("},
        {"database comune mancante",
         [&] { ScriviFile(ini, "[Parametri Generali]\nOrdIniDBase=" + iniDb + "\n"); },
         "File di inizializzazioni: "},
    };
    for (const auto& caso : casi) {
        SetUp();
        caso.prepara();
        EXPECT_FALSE(Avvia()) << caso.nome;
        ASSERT_FALSE(dialoghi->mostrati.isEmpty()) << caso.nome;
        EXPECT_TRUE(dialoghi->mostrati[0].testo.startsWith(caso.attesoInizio))
            << caso.nome << ": " << dialoghi->mostrati[0].testo.toStdString();
        EXPECT_EQ(static_cast<Ospite*>(c->ggOspite.get())->Form("frmDatiFatXml"), nullptr) << caso.nome;
        EXPECT_EQ(c->giCodiceUscita, 1) << caso.nome;
    }
}

TEST_F(AvvioTest, ChoosingTheDatabaseSettingsFile) {
    ScriviFile(ini, "[Parametri Generali]\nNumIni=3\nOrdIniDBase=" + iniDb + "\n[Lista File Ini]\nOrdIniDBase1=/uno.ini\n"
                    "OrdIniDBase3=/tre.ini\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
    struct Caso { QString risposta; QString atteso; };
    for (const Caso& k : {Caso{"3", "/tre.ini"}, Caso{"2", iniDb}, Caso{"0", iniDb}, Caso{"7", iniDb}}) {
        SetUp();
        ScriviFile(ini, "[Parametri Generali]\nNumIni=3\nOrdIniDBase=" + iniDb + "\n[Lista File Ini]\nOrdIniDBase1=/uno.ini\n"
                        "OrdIniDBase3=/tre.ini\n[Menu]\nNomeDB=" + fx.fileCondiviso + "\n");
        dialoghi->risposteTesto << std::optional<QString>(k.risposta);
        ASSERT_TRUE(Avvia());
        EXPECT_EQ(c->gsFileIniDb, k.atteso) << k.risposta.toStdString();
        ASSERT_EQ(dialoghi->mostrati[0].tipo, "inputBox");
        EXPECT_EQ(dialoghi->mostrati[0].titolo, "Scelta dell'INI");
        EXPECT_EQ(dialoghi->mostrati[0].testo,
                  "Numero di ini scelto\n(da 0 a 3)\n 1 -> /uno.ini\n 2 -> \n 3 -> /tre.ini");
    }
}

TEST_F(AvvioTest, MissingSettingsFileIsReported) {
    menu->fileImpostazioni.clear();
    qputenv("COMIVA_RADICE_UNITA", fx.Cartella().toUtf8());
    EXPECT_FALSE(Avvia("/M MENU1 /P PRG /F frmDatiFatXml /I /non/esiste.ini"));
    qunsetenv("COMIVA_RADICE_UNITA");
    ASSERT_FALSE(dialoghi->mostrati.isEmpty());
    EXPECT_EQ(dialoghi->mostrati[0].testo, "File ini non trovato\nSistemare e rieseguire");
}

TEST_F(AvvioTest, SwitchIFindsTheSettingsFileWhenTheMenuGivesNone) {
    menu->fileImpostazioni.clear();
    ASSERT_TRUE(Avvia("/M MENU1 /P PRG /F frmDatiFatXml /I " + ini));
    EXPECT_EQ(c->gsFileIni, ini);
    EXPECT_EQ(c->gsParamAgg, "");
}

TEST_F(AvvioTest, CompanyParameters) {
    ASSERT_TRUE(Avvia());
    fx.Inserisci(c->gsIdDbase, "Monete", {{"Moneta", "L."}, {"NumDec", 0}});
    fx.Inserisci(c->gsIdDbase, "Monete", {{"Moneta", "Euro"}, {"NumDec", 2}});
    struct Caso { QString moneta; int dec; };
    for (const Caso& k : {Caso{"l.", 0}, Caso{"Euro", 2}, Caso{"USD", 2}}) {
        menu->ImpostaValore("Ditta.Moneta", k.moneta);
        CaricaParAzienda();
        EXPECT_EQ(c->giDecImp, k.dec) << k.moneta.toStdString();
    }
    struct CasoMax { QString lista; QString atteso; };
    for (const CasoMax& k : {CasoMax{"Tutti", "2"}, CasoMax{"XYZ,ABC", "2"}, CasoMax{"AB,ABCD", ""}, CasoMax{"", ""}}) {
        menu->ImpostaParPers("Tutti", "Massimizzato", k.lista);
        CaricaParAzienda();
        EXPECT_EQ(c->gsStatoFinestra, k.atteso) << k.lista.toStdString();
    }
    menu->ImpostaValore("ColBackGotFocus", "");
    CaricaParAzienda();
    EXPECT_EQ(c->glColGotFocus, 0xFFFF80);
    menu->ImpostaValore("ColBackGotFocus", "0");
    CaricaParAzienda();
    EXPECT_EQ(c->glColGotFocus, 0);
}

TEST_F(AvvioTest, AnotherCompanysDefaultsAreAllOrNothing) {
    ASSERT_TRUE(Avvia());
    fx.Inserisci(c->gsIdDbase, "Ditta", {{"Moneta", "L."}, {"CodLira", "L."}, {"CodEuro", "Euro"}});
    fx.Inserisci(c->gsIdDbase, "Monete", {{"Moneta", "L."}, {"NumDec", 0}});
    ASSERT_TRUE(LeggiDefaultDitta(c->gsIdDbase));
    EXPECT_EQ(c->giDecImp, 0);
    EXPECT_EQ(c->giDecImpEuro, 2);
    // A database without the company's tables: nothing changes, the caller hears of it.
    fx.Esegui(c->gsIdDbMenu, "SELECT 1");
    EXPECT_FALSE(LeggiDefaultDitta(c->gsIdDbMenu));
    EXPECT_EQ(c->gsMoneta, "L.");
    EXPECT_EQ(c->giDecImp, 0);
    EXPECT_TRUE(dialoghi->testi().last().startsWith("Errore in lettura dati default dittaErrore("));
}

TEST_F(AvvioTest, StoredTexts) {
    ASSERT_TRUE(Avvia());
    fx.Inserisci(c->gsIdDbMenu, "Appoggio", {{"Codice", "EMAIL1"}, {"Descr2", "Oggetto"}, {"Memo2", "Testo lungo"}});
    QString memo = "x", descr = "x";
    EXPECT_TRUE(LeggiScriviAppoggio("email1", 2, memo, descr));
    EXPECT_EQ(descr, "Oggetto");
    EXPECT_EQ(memo, "Testo lungo");
    EXPECT_FALSE(LeggiScriviAppoggio("EMAIL1", 6, memo, descr));
    EXPECT_EQ(memo, "");
    EXPECT_FALSE(LeggiScriviAppoggio("ALTRO", 1, memo, descr));
}

}  // namespace
