#include "common/FrmMsgCom.h"
#include "common/form/Scala.h"
#include "components/ini/FileIni.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "FormProva.h"

namespace {

TEST(SceltaFattore, SourcesOfTheFactor) {
    struct Caso {
        double argomento, gen, base;
        std::optional<double> chiave;
        double atteso;
        bool nessuna, adatta;
    } casi[] = {
        {-2, -1, 0, std::nullopt, -2, true, false},   // "Generale" -1: no scaling at all
        {-2, 1.25, 0, 0.5, 1.25, false, false},       // "Generale" wins over the form's key
        {-2, -2, 0, std::nullopt, 1.28, false, true}, // no key, "PersBase" 0: the screen's
        {-2, -2, 1.1, -2, 1.1, false, false},         // key missing: "PersBase"
        {-2, -2, 1.1, -1, -1, true, false},           // the form's key says -1
        {-2, -2, 1.1, 0.5, 0.5, false, false},
        {-3, 0, 0, std::nullopt, 1, false, false},    // below 0: as designed
        {-1, 0, 0, std::nullopt, -1, true, false},
        {0.8, 2, 2, std::nullopt, 0.8, false, false}, // the caller's factor
    };
    for (const Caso& k : casi) {
        const SceltaFattore s = SceltaFattoreForm(k.argomento, k.gen, k.base, k.chiave, 1.28);
        EXPECT_DOUBLE_EQ(s.fattore, k.atteso) << k.argomento << " " << k.gen;
        EXPECT_EQ(s.nessunaScala, k.nessuna);
        EXPECT_EQ(s.adattaAltezza, k.adatta);
        EXPECT_EQ(s.adattaLarghezza, k.adatta);
    }
}

TEST(AdattaFattore, TheFormStaysOnTheScreenAndAboveABottomTaskbar) {
    MisureSchermoScala s;
    s.larghezzaTwips = 1024 * 15;
    s.altezzaTwips = 768 * 15;
    const QRect alta(0, 0, 9000, 9000);  // 600 x 600 pixels
    // Automatic factor: reduced to fit the height (768 / 600 = 1.28).
    EXPECT_DOUBLE_EQ(AdattaFattore(1.5, true, true, alta, s), 11520.0 / 9000);
    // A factor from the settings, no taskbar at the bottom: not fitted.
    EXPECT_DOUBLE_EQ(AdattaFattore(1.5, false, false, alta, s), 1.5);
    // A bottom taskbar at pixel 728 always fits the height.
    s.bordoBarra = 3;
    s.cimaBarraPixel = 728;
    EXPECT_DOUBLE_EQ(AdattaFattore(1.25, false, false, alta, s), 728.0 * 15 / 9000);
    s.barraNascosta = true;  // one that hides itself does not count
    EXPECT_DOUBLE_EQ(AdattaFattore(1.25, false, false, alta, s), 1.25);
    // Width: only for the automatic factor.
    const QRect larga(1500, 0, 12000, 3000);
    EXPECT_DOUBLE_EQ(AdattaFattore(1.28, true, true, larga, s), 15360.0 / 13500);
}

TEST(AdattaFattore, TheFormWithItsFrameStaysInsideTheWorkArea) {
    // A 1366 x 768 screen; a form designed 800 x 600 at the top left.
    const auto px = [](int x, int y, int w, int h) { return QRect(x * 15, y * 15, w * 15, h * 15); };
    const QMargins titoloEBordi(4 * 15, 20 * 15, 4 * 15, 4 * 15);
    struct Caso {
        const char* nome;
        QRect area;
        QMargins cornice;
        bool automatico;
        double fattore, atteso;
    } casi[] = {
        {"whole screen, no frame reported", {}, {}, true, 1.28, 1.28},
        {"frame on the whole screen", {}, titoloEBordi, true, 1.28, 744.0 / 600},
        {"panel at the top and frame", px(0, 24, 1366, 744), titoloEBordi, true, 1.28, 720.0 / 600},
        {"a settings factor is fitted under a top panel", px(0, 24, 1366, 744), titoloEBordi, false, 1.5, 720.0 / 600},
        {"a settings factor without panels is not fitted", {}, titoloEBordi, false, 1.5, 1.5},
        {"panel on the left fits the width", px(300, 0, 1066, 768), {}, false, 1.5, 1066.0 / 800},
    };
    for (const Caso& c : casi) {
        MisureSchermoScala s;
        s.larghezzaTwips = 1366 * 15;
        s.altezzaTwips = 768 * 15;
        s.areaTwips = c.area;
        s.corniceTwips = c.cornice;
        EXPECT_DOUBLE_EQ(AdattaFattore(c.fattore, c.automatico, c.automatico, px(0, 0, 800, 600), s), c.atteso) << c.nome;
    }
}

TEST(Esclusioni, FirstMatchByNameAndIndex) {
    const ListaEsclusioni e{{QStringLiteral("txt"), 20, 1}, {QStringLiteral("TXT"), -1, 3}, {QStringLiteral("img"), -1, 2}};
    EXPECT_EQ(FlagEsclusione(e, QStringLiteral("txt"), 20), 1);
    EXPECT_EQ(FlagEsclusione(e, QStringLiteral("txt"), 10), 3);
    EXPECT_EQ(FlagEsclusione(e, QStringLiteral("Img"), -1), 2);
    EXPECT_EQ(FlagEsclusione(e, QStringLiteral("lab"), 10), 0);
    EXPECT_EQ(RettScalato(QRect(10, 20, 100, 40), 1.5, 0), QRect(15, 30, 150, 60));
    EXPECT_EQ(RettScalato(QRect(10, 20, 100, 40), 1.5, 1), QRect(10, 20, 150, 60));
    EXPECT_EQ(RettScalato(QRect(10, 20, 100, 40), 1.5, 2), QRect(15, 30, 100, 40));
    // Two option boxes one under the other stay apart once scaled.
    EXPECT_LT(RettScalato(QRect(0, 54, 100, 29), 1.4, 0).bottom(), RettScalato(QRect(0, 83, 100, 29), 1.4, 0).top());
}

double Punti(const QWidget* w) { return w->font().pointSizeF(); }

TEST(RidimControlli, EverythingScaledButWhatIsExcluded) {
    ContestoProva cp;
    FormProva f;
    const double punti = Punti(f.txt[10]);
    auto* lista = new QListWidget(&f);
    lista->setObjectName(QStringLiteral("lstVoci"));
    lista->setGeometry(0, 0, 50, 2);
    RidimControlli(f, 1.5, {{QStringLiteral("txt"), -1, 3}});
    EXPECT_EQ(f.width(), 600);
    EXPECT_EQ(f.Lab[10]->geometry(), QRect(15, 30, 120, 30));
    EXPECT_DOUBLE_EQ(Punti(f.Lab[10]), punti * 1.5);
    // Every element of "txt" keeps place and size, its font grows.
    EXPECT_EQ(f.txt[20]->geometry(), QRect(100, 40, 120, 20));
    EXPECT_DOUBLE_EQ(Punti(f.txt[20]), punti * 1.5);
    // Inside a frame: scaled once, not twice through the frame's font.
    EXPECT_EQ(f.txtInFrame->geometry(), QRect(15, 45, 150, 30));
    EXPECT_DOUBLE_EQ(Punti(f.txtInFrame), punti * 1.5);
    EXPECT_GT(lista->height() * 15, 60);

    FormProva g;
    RidimControlli(g, 1, {});
    RidimControlli(g, -2, {});
    EXPECT_EQ(g.width(), 400);
}

TEST(RisVidForm, SettingsFormKeyAndKeepSize) {
    ContestoProva cp;
    QTemporaryDir dir;
    cp.c->gsFileIni = dir.filePath(QStringLiteral("qorwin.ini"));
    QFile ini(cp.c->gsFileIni);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Risoluzione Video]\r\nPRG-frmProva=-1\r\nPRG-frmAltra=0,5\r\n");
    ini.close();
    cp.c->gsChiavePrg = QStringLiteral("PRG");
    cp.c->gdRisVidGen = -2;
    cp.c->gdRisVidBase = 1.25;

    FormProva f;  // its key says -1: unscaled
    double fattore = -2;
    EXPECT_DOUBLE_EQ(RisVidForm(f, 0, fattore), 1);
    EXPECT_EQ(f.width(), 400);
    EXPECT_DOUBLE_EQ(f.property("odRisVidVal").toDouble(), 1);

    FormProva g;
    g.setProperty("osKeySec", QStringLiteral("frmAltra"));
    fattore = -2;
    EXPECT_DOUBLE_EQ(RisVidForm(g, 1, fattore), 0.5);  // keep size: worked out and stored only
    EXPECT_DOUBLE_EQ(g.property("odRisVidVal").toDouble(), 0.5);
    EXPECT_EQ(g.width(), 400);
    fattore = -2;
    RisVidForm(g, 0, fattore);
    EXPECT_EQ(g.width(), 200);

    FormProva h;  // its own key given, missing in the file: "PersBase"
    h.setProperty("osRisVidKey", QStringLiteral("Nessuna"));
    fattore = -2;
    EXPECT_DOUBLE_EQ(RisVidForm(h, 0, fattore), 1.25);
    EXPECT_EQ(h.width(), 500);

    cp.c->gdRisVidGen = 1.25;  // with a bottom taskbar a tall form ends above it
    cp.schermo->bordo = 3;
    cp.schermo->cima = 728;
    FormProva alta;
    alta.setGeometry(0, 0, 400, 700);
    fattore = -2;
    const double applicato = RisVidForm(alta, 0, fattore);
    EXPECT_LT(applicato, 1.25);
    EXPECT_LE(alta.height(), 728);
    EXPECT_DOUBLE_EQ(fattore, applicato);
}

TEST(RisVidForm, TheMessageBoxScalesByItsOwnFactor) {
    ContestoProva cp;
    RichiestaMsgCom r;
    r.messaggio = QStringLiteral("Operazione completata");
    r.bottoni = {QStringLiteral("&Ok")};
    double base = 0;
    {
        cp.c->gdRisVidMsg = -1;  // not scaled
        frmMsgCom m(*cp.schermo);
        EXPECT_DOUBLE_EQ(m.odRisVidVal, 1);
        base = m.LabMessaggio()->font().pointSizeF();
    }
    cp.c->gdRisVidMsg = 1.5;
    frmMsgCom m(*cp.schermo);
    EXPECT_DOUBLE_EQ(m.odRisVidVal, 1.5);
    EXPECT_DOUBLE_EQ(m.LabMessaggio()->font().pointSizeF(), base * 1.5);
    m.Prepara(r);
    EXPECT_EQ(m.Layout().bottoni[0].height(), qRound(DisegnoMsgCom::AltezzaBottone * 1.5));
}

}  // namespace
