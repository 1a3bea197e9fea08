#include "common/FrmMsgCom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// A font of fixed pitch: 100 twips a character, 195 a line; wrapping cuts
// each line after as many characters as fit.
QSize misuraFinta(const QString& testo, int larghezza) {
    int righe = 0, piuLunga = 0;
    for (const QString& riga : testo.split(QLatin1Char('\n'))) {
        const int w = riga.size() * 100;
        if (larghezza > 0 && w > larghezza) {
            const int perRiga = std::max(1, larghezza / 100);
            righe += (riga.size() + perRiga - 1) / perRiga;
            piuLunga = larghezza;
        } else {
            righe += 1;
            piuLunga = std::max(piuLunga, w);
        }
    }
    return {piuLunga, righe * 195};
}

struct Caso {
    const char* nome;
    QString testo;
    int bottoni = 1;
    int perc = 80;
    bool sempreTxt = false;
    double fattore = 1.0;
    std::optional<int> larghezzaBottone;
    int altezzaUtile = 14760;
    // expected
    int larghezza, altezza;
    bool modoTesto, aCapo;
    QRect messaggio;
    QList<int> sinistre;
    int topBottoni;
};

QString caratteri(int n) { return QString(n, QLatin1Char('x')); }
QString righe(int n) { return QStringList(n, QStringLiteral("riga")).join(QLatin1Char('\n')); }
}  // namespace

// Screen 1280 x 1024 pixels (19200 x 15360 twips), frame 120 wide and 450
// high: an 80 % window is 15360 wide with a client width of 15240.
TEST(LayoutMsgCom, SizesTheBoxToItsTextAndButtons) {
    const Caso casi[] = {
        {"short text: the buttons decide, 200 each side", caratteri(4), 1, 80, false, 1.0, {}, 14760,
         2035, 1700, false, false, {757, 180, 400, 195}, {200}, 665},
        {"two buttons at the fixed gap of 400", caratteri(3), 2, 80, false, 1.0, {}, 14760,
         3950, 1700, false, false, {1765, 180, 300, 195}, {200, 2115}, 665},
        {"one line wider than the buttons: label + margin", caratteri(50), 1, 80, false, 1.0, {}, 14760,
         5720, 1700, false, false, {300, 180, 5000, 195}, {2042}, 665},
        {"three buttons share the width equally", caratteri(100), 3, 80, false, 1.0, {}, 14760,
         10720, 1700, false, false, {300, 180, 10000, 195}, {1009, 4542, 8075}, 665},
        {"too wide: wraps at the full client width", caratteri(200), 1, 80, false, 1.0, {}, 14760,
         15360, 1895, false, true, {0, 180, 15240, 390}, {6862}, 860},
        {"narrower window wraps sooner", caratteri(100), 1, 50, false, 1.0, {}, 14760,
         9600, 1895, false, true, {0, 180, 9480, 390}, {3982}, 860},
        {"exactly the usable height keeps the label", righe(10), 1, 80, false, 1.0, {}, 3455,
         2035, 3455, false, false, {757, 180, 400, 1950}, {200}, 2420},
        {"one twip too tall: text box at the usable height", righe(10), 1, 80, false, 1.0, {}, 3454,
         2035, 3454, true, false, {0, 120, 1915, 1869}, {200}, 2279},
        {"forced text box with a short text", caratteri(4), 1, 80, true, 1.0, {}, 14760,
         2035, 14760, true, false, {0, 120, 1915, 13585 - 410}, {200}, 13585},
        {"given button width", caratteri(4), 1, 80, false, 1.0, 2000, 14760,
         2520, 1700, false, false, {1000, 180, 400, 195}, {200}, 665},
        {"resolution factor scales the design sizes", caratteri(4), 1, 80, false, 1.2, {}, 14760,
         2338, 450 + 216 + 195 + 290 + 522 + 150, false, false, {909, 216, 400, 195}, {200}, 701},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        MisureMsgCom m;
        m.larghezzaSchermo = 19200;
        m.altezzaUtile = c.altezzaUtile;
        m.corniceOrizzontale = 120;
        m.corniceVerticale = 450;
        m.odRisVidVal = c.fattore;
        m.larghezzaBottone = c.larghezzaBottone;
        m.numeroBottoni = c.bottoni;
        m.piLargForm = c.perc;
        m.pbSempreTxt = c.sempreTxt;
        const QString testo = c.testo;
        m.misuraTesto = [testo](int w) { return misuraFinta(testo, w); };

        const LayoutMsgCom l = CalcolaLayoutMsgCom(m);
        EXPECT_EQ(l.larghezza, c.larghezza);
        EXPECT_EQ(l.altezza, c.altezza);
        EXPECT_EQ(l.larghezzaClient, l.larghezza - 120);
        EXPECT_EQ(l.altezzaClient, l.altezza - 450);
        EXPECT_EQ(l.modoTesto, c.modoTesto);
        EXPECT_EQ(l.aCapo, c.aCapo);
        EXPECT_EQ(l.messaggio, c.messaggio);
        ASSERT_EQ(l.bottoni.size(), c.sinistre.size());
        for (int i = 0; i < l.bottoni.size(); ++i) {
            EXPECT_EQ(l.bottoni[i].left(), c.sinistre[i]) << "button " << i + 1;
            EXPECT_EQ(l.bottoni[i].top(), c.topBottoni) << "button " << i + 1;
            EXPECT_EQ(l.bottoni[i].width(), c.larghezzaBottone.value_or(std::lround(1515 * c.fattore)));
        }
    }
}
