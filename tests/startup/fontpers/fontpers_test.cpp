// The suite's shared print fonts reach every print job of the program: the
// wiring installs their loader, which reads them from the shared database.
#include "components/db/GestoreDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "contesto/Contesto.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/lavoro/ServiziLavoroStampa.h"
#include "startup/Composizione.h"
#include "startup/FontPers.h"
#include "startup/Ospite.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class FontPersTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        c = fx.InstallaContesto();
        c->ggDialoghi = dialoghi;
        c->gsFileIni = fx.Cartella() + QStringLiteral("/qorwin.ini");
        RipristinaServiziLavoroStampa();
        serviziLavoroStampa().StampanteCorrente = [] { return QString(); };
    }
    void TearDown() override {
        RipristinaServiziLavoroStampa();
        ImpostaContesto(nullptr);
    }
    void Font(int progressivo, const char* nome, double size, const char* bold, const char* italic) {
        fx.Inserisci(fx.idCondiviso, QStringLiteral("StaLasFontPers"),
                     {{"Progressivo", progressivo}, {"Nome", nome}, {"Size", size}, {"Bold", bold},
                      {"Italic", italic}, {"Strike", "n"}, {"Underline", "s"}});
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
};

TEST_F(FontPersTest, TheProgramLoadsTheSharedFontsIntoEveryPrintJob) {
    Font(7, "Times New Roman", 14, "S", "N");
    Font(120, "Courier New", 9.5, " s ", "S");
    Ospite ospite;
    InstallaProgramma(ospite);
    ASSERT_TRUE(serviziLavoroStampa().CaricaFontPers) << "the program installs the loader at start-up";

    Stampa st;
    InizStampa(st);
    ASSERT_TRUE(st.EsisteFont(NomeFontPers(7)));
    EXPECT_EQ(st.LeggiFont(NomeFontPers(7)).FontCorrente(), (FontStd{"Times New Roman", 14, true, false, true, false}));
    ASSERT_TRUE(st.EsisteFont(QStringLiteral("FFPers-§-0120")));
    EXPECT_EQ(st.LeggiFont(QStringLiteral("FFPers-§-0120")).FontCorrente(),
              (FontStd{"Courier New", 9.5, true, true, true, false}));

    // A report slot with "_Progr" copies the shared font.
    QFile ini(c->gsFileIni);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PRGLIQ]\r\nFontPersCor=1\r\nCodiceFontCor1=CorpoCampo\r\nCorpoCampo_Progr=7\r\n");
    ini.close();
    auto opz = std::make_shared<OpzSta>();
    st.ogOpzSta = opz;
    IniParamStampa(QStringLiteral("PRGLIQ"), st);
    FontSta fs;
    ImpFontCorpo(st, fs);
    EXPECT_EQ(st.LeggiFont(QStringLiteral("CorpoCampo")).FontCorrente().Name, "Times New Roman");
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("\n").toStdString();
}

TEST_F(FontPersTest, NoSharedDatabaseOrNoTableLoadsNothingAndSaysNothing) {
    Stampa st;
    fx.Esegui(fx.idCondiviso, "DROP TABLE StaLasFontPers");
    CaricaFontPers(st);
    c->gsIdDbMenu.clear();
    CaricaFontPers(st);
    EXPECT_FALSE(st.EsisteFont(NomeFontPers(1)));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

}  // namespace
