#include "contesto/ImpostazioniIni.h"
#include "support/AmbienteIni.h"
#include "components/core/ErroreRun.h"

#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ImpostazioniIniTest : public AmbienteIni {
protected:
    void SetUp() override {
        AmbienteIni::SetUp();
        c->gsFileIniDb = dir.filePath("ditta.ini");
    }
};

TEST_F(ImpostazioniIniTest, LeggiValIniReadsMainThenDatabaseFile) {
    scrivi(c->gsFileIni, "[LiqIva]\nSpostaX=202,18\n");
    scrivi(c->gsFileIniDb, "[LiqIva]\nSpostaX=1\nSpostaY=-3\n");
    QString v;
    EXPECT_EQ(LeggiValIni("liqiva", "spostax", "0", v), "6");
    EXPECT_EQ(v, "202,18");
    EXPECT_EQ(LeggiValIni("LiqIva", "SpostaY", "0", v), "2");
    EXPECT_EQ(v, "-3");
    EXPECT_EQ(LeggiValIni("LiqIva", "Manca", "predef", v), "0");
    EXPECT_EQ(v, "predef");
}

// Which file a write goes to. Contents: m = main file, d = database file.
TEST_F(ImpostazioniIniTest, ScriviValIniChoosesTheFile) {
    struct Caso {
        const char* nome;
        QByteArray m, d;
        bool conDb;
        int16_t scelta;
        QByteArray mDopo, dDopo;
    };
    const Caso casi[] = {
        {"key only in the database file, choice 1", "", "[B]\nk=1\n", true, 1, "", "[B]\nk=v\n"},
        {"key in both files: the main one", "[B]\nk=1\n", "[B]\nk=1\n", true, 2, "[B]\nk=v\n", "[B]\nk=1\n"},
        {"key empty in main, valued in db", "[B]\nk=\n", "[B]\nk=1\n", true, 1, "[B]\nk=\n", "[B]\nk=v\n"},
        {"new key, choice 2", "[B]\nj=1\n", "[B]\nj=1\n", true, 2, "[B]\nj=1\n", "[B]\nj=1\nk=v\n"},
        {"new key, choice 1", "[B]\nj=1\n", "[B]\nj=1\n", true, 1, "[B]\nj=1\nk=v\n", "[B]\nj=1\n"},
        {"new key, choice 2, no database file", "[B]\nj=1\n", "[B]\nk=1\n", false, 2, "[B]\nj=1\nk=v\n",
         "[B]\nk=1\n"},
    };
    for (const auto& k : casi) {
        scrivi(c->gsFileIni, k.m);
        scrivi(dir.filePath("ditta.ini"), k.d);
        c->gsFileIniDb = k.conDb ? dir.filePath("ditta.ini") : QString();
        EXPECT_TRUE(ScriviValIni("b", "k", "v", true, true, k.scelta)) << k.nome;
        EXPECT_EQ(leggi(c->gsFileIni), k.mDopo) << k.nome;
        EXPECT_EQ(leggi(dir.filePath("ditta.ini")), k.dDopo) << k.nome;
    }
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(ImpostazioniIniTest, ScriviValIniWithoutCreateFlagWritesNothingNew) {
    scrivi(c->gsFileIni, "[Base]\nDirDB=x\n");
    // Same path as the main file but for case: not searched a second time,
    // although on this file system it is another file holding the key.
    c->gsFileIniDb = dir.filePath("QORWIN.INI");
    scrivi(c->gsFileIniDb, "[Base]\nDirCaDi=C:\\Vecchia\n");

    EXPECT_FALSE(ScriviValIni("Base", "DirCaDi", "C:\\Nuova", false, false, 2));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
    EXPECT_FALSE(ScriviValIni("Base", "DirCaDi", "C:\\Nuova", true, false, 2));
    EXPECT_EQ(leggi(c->gsFileIni), "[Base]\nDirDB=x\n");
    EXPECT_EQ(leggi(c->gsFileIniDb), "[Base]\nDirCaDi=C:\\Vecchia\n");
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    const auto& d = dialoghi->mostrati.first();
    EXPECT_EQ(d.tipo, "msgBox");
    EXPECT_EQ(d.stile, StileMsg::SoloOk);
    EXPECT_EQ(d.titolo, c->gsTitoloApp);
    EXPECT_EQ(d.testo, "Aggiornamento del valore : C:\\Nuova\nnella sezione : Base\nparametro : DirCaDi\n"
                       "NON RIUSCITO.\ndurante la ricerca");
}

TEST_F(ImpostazioniIniTest, ScriviValIniDeletesAndReportsFailedWrites) {
    scrivi(c->gsFileIni, "[A]\nk=1\nj=2\n[B]\nk=3\n");
    // The section flag wins over the value and the key flag.
    EXPECT_TRUE(ScriviValIni("A", "k", "valore", false, true, 1, 1, 1));
    EXPECT_EQ(leggi(c->gsFileIni), "[B]\nk=3\n");
    EXPECT_TRUE(ScriviValIni("B", "k", "", false, true, 1, 0, 1));
    EXPECT_EQ(leggi(c->gsFileIni), "[B]\n");

    // A given file is written without searching, even when another holds the key.
    scrivi(c->gsFileIni, "[A]\nk=1\n");
    const QString altro = dir.filePath("altro.ini");
    EXPECT_TRUE(ScriviValIni("A", "k", "2", false, false, 1, 0, 0, altro));
    EXPECT_EQ(leggi(altro), "[A]\r\nk=2\r\n");
    EXPECT_EQ(leggi(c->gsFileIni), "[A]\nk=1\n");

    // Written at once: the next read sees it.
    QString v;
    EXPECT_TRUE(ScriviValIni("A", "k", "§è"));
    EXPECT_EQ(LeggiValIni("A", "k", "", v), "2");
    EXPECT_EQ(v, "§è");

    EXPECT_FALSE(ScriviValIni("A", "k", "v", true, true, 1, 0, 0, dir.filePath("manca/x.ini")));
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_TRUE(dialoghi->mostrati.first().testo.endsWith("NON RIUSCITO.\ndurante l' aggiornamento(1)"));
}

TEST_F(ImpostazioniIniTest, LeggiParPers) {
    menu->ImpostaParPers("Tutti", "DataMinima", "01/01/2000");
    menu->ImpostaParPers("Riserva", "Chiave", "dalla riserva");
    menu->ImpostaParPers("Tutti", "Marcata", QStringLiteral("§Ç~$!^"));  // the marker in another case
    const Valore marcatore(MarcatoreParPers);
    using Opz = std::optional<QString>;
    struct Caso {
        const char* chiave;
        Valore predefinito;
        Opz sezRis, chiaveRis;
        Valore atteso, grezzo;
    };
    const Caso casi[] = {
        {"DataMinima", Valore("x"), {}, {}, Valore("01/01/2000"), Valore("01/01/2000")},
        {"Manca", Valore("x"), {}, {}, Valore("x"), marcatore},
        {"Manca", Valore(""), {}, {}, Valore(""), marcatore},
        {"Marcata", Valore(5), {}, {}, Valore(5), Valore(QStringLiteral("§Ç~$!^"))},
        {"Manca", Valore("x"), Opz("Riserva"), Opz("Chiave"), Valore("dalla riserva"), Valore("dalla riserva")},
        {"Manca", Valore("x"), Opz("Riserva"), {}, Valore("x"), marcatore},
        {"Manca", Valore("x"), {}, Opz("Chiave"), Valore("x"), marcatore},
    };
    for (const auto& k : casi) {
        Valore grezzo;
        EXPECT_EQ(LeggiParPers("Tutti", k.chiave, k.predefinito, &grezzo, k.sezRis, k.chiaveRis), k.atteso)
            << k.chiave;
        EXPECT_EQ(grezzo, k.grezzo) << k.chiave;
    }
}

TEST_F(ImpostazioniIniTest, MenuValues) {
    EXPECT_EQ(LeggiValMenu("NomeDB"), Valore(QString()));
    ScriviValMenu("NomeDB", "ditta.db");
    EXPECT_EQ(LeggiValMenu("nomedb"), Valore("ditta.db"));
    EXPECT_EQ(menu->chiamate.last(), "ScriviValoreSess|NomeDB|ditta.db");

    // No menu link: an error the callers handle, never a crash.
    ctx().ggMenuClient.reset();
    EXPECT_THROW(LeggiValMenu("NomeDB"), ErroreRun);
    EXPECT_THROW(ScriviValMenu("NomeDB", "x"), ErroreRun);
}

}  // namespace
