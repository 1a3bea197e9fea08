#include "common/form/FormComune.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"

#include <QRadioButton>
#include <QTest>
#include "components/util/UtilGenerali.h"

#include <cmath>
#include <gtest/gtest.h>

#include "FormProva.h"

namespace {

class Fuoco : public ::testing::Test {
protected:
    ContestoProva cp;
    FormProva f;
    void SetUp() override {
        Attiva(f);
    }
    QWidget* Dopo(QWidget* da, int step, std::optional<int> dir = std::nullopt) {
        da->setFocus();
        QApplication::processEvents();
        SpostaFuocoTab(step, dir, &f);
        return f.focusWidget();
    }
};

TEST_F(Fuoco, ForwardBackwardAndWrapping) {
    EXPECT_EQ(Dopo(f.txt[10], 1), f.txt[20]);
    EXPECT_EQ(Dopo(f.txt[20], 1, 1), f.txt[10]);   // direction 1 (Shift) goes back
    EXPECT_EQ(Dopo(f.txt[20], 1, 0), f.txt[30]);
    EXPECT_EQ(Dopo(f.txt[10], 1, 1), f.txtInFrame);  // from the first back to the last
    EXPECT_EQ(Dopo(f.txtInFrame, 1), f.txt[10]);      // from the last on to the first
}

TEST_F(Fuoco, LabelsDisabledAndHiddenControlsArePassedOver) {
    f.txt[20]->setEnabled(false);
    EXPECT_EQ(Dopo(f.txt[10], 1), f.txt[30]);
    EXPECT_EQ(Dopo(f.txt[30], 1, 1), f.txt[10]);
    f.txt[30]->hide();
    EXPECT_EQ(Dopo(f.txt[10], 1), f.txtNote);
}

TEST_F(Fuoco, NothingElseToFocusKeepsTheFocus) {
    for (QWidget* w : ControlliForm(f))
        if (w != f.txt[10]) w->setEnabled(false);
    f.txt[10]->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(SpostaFuocoTab(1, std::nullopt, &f));
    EXPECT_EQ(f.focusWidget(), f.txt[10]);
}

TEST_F(Fuoco, ActiveControlPastTheLastTabStopWithNothingToFocusEnds) {
    // A field that takes the focus only by click, after every tab stop.
    auto* perClic = new QLineEdit(&f);
    perClic->setFocusPolicy(Qt::ClickFocus);
    perClic->show();
    for (QWidget* w : ControlliForm(f))
        if (w != perClic) w->setEnabled(false);
    perClic->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(f.focusWidget(), perClic);
    EXPECT_FALSE(SpostaFuocoTab(1, std::nullopt, &f));
    EXPECT_FALSE(SpostaFuocoTab(1, 1, &f));
    EXPECT_EQ(f.focusWidget(), perClic);
    f.txt[20]->setEnabled(true);
    EXPECT_TRUE(SpostaFuocoTab(1, std::nullopt, &f));
    EXPECT_EQ(f.focusWidget(), f.txt[20]);
}

TEST(ControllaCampoData, DatesBeforeTheMinimumAreRejected) {
    ContestoProva cp;
    cp.c->gsDataMinima = QStringLiteral("01/01/1900");
    FormProva f;
    Attiva(f);
    f.txt[20]->setFocus();
    QApplication::processEvents();
    QLineEdit* d = f.txt[10];

    d->setText(QStringLiteral("31/12/1899"));
    QString msg;
    EXPECT_EQ(ControllaCampoData(d, -2, 1, std::nullopt, &msg), DataNonValida);
    EXPECT_EQ(BackColor(d), cp.c->glColErrore);
    EXPECT_EQ(msg, QStringLiteral("Data troppo piccola"));
    EXPECT_EQ(f.focusWidget(), f.txt[20]);  // mode 1: colour only
    EXPECT_TRUE(cp.dialoghi->mostrati.isEmpty());

    EXPECT_EQ(ControllaCampoData(d, -2, 3, std::nullopt, nullptr, true), DataNonValida);
    EXPECT_EQ(f.focusWidget(), d);  // mode 3: colour and focus
    EXPECT_EQ(cp.dialoghi->testi(), QStringList{QStringLiteral("Data troppo piccola")});

    d->setText(QStringLiteral("1/2/2026"));
    EXPECT_GT(ControllaCampoData(d, -2, 1), 0);
    EXPECT_EQ(d->text(), QStringLiteral("01/02/2026"));
    EXPECT_EQ(BackColor(d), cp.c->glColNormale);

    ImpostaBackColor(d, cp.c->glColErrore);
    d->setText(QString());
    EXPECT_EQ(ControllaCampoData(d, -2, 1, 0xFFFFFF), 0);
    EXPECT_EQ(BackColor(d), 0xFFFFFF);

    d->setText(QStringLiteral("32/13/2026"));
    EXPECT_EQ(ControllaCampoData(d, -2, 2), DataErrata);
    EXPECT_NE(BackColor(d), cp.c->glColErrore);  // mode 2: focus only
    EXPECT_EQ(f.focusWidget(), d);
}

TEST(ConfrontaVal, ThreeWayAtThePrecision) {
    ContestoProva cp;
    struct Caso {
        Valore a, b;
        int atteso;
    } casi[] = {{Valore(0.1 + 0.2), Valore(0.3), 0},
                {Valore(1.0), Valore(2.0), -1},
                {Valore(2.5), Valore(2.4999), 1},
                {Valore(QString()), Valore::null(), 0},
                {Valore(QStringLiteral("x")), Valore::null(), 1},
                {Valore(0), Valore::null(), 1},
                {Valore(-0.000000001), Valore(0), 0}};
    for (const Caso& k : casi) EXPECT_EQ(ConfrontaVal(k.a, k.b), k.atteso) << k.a.testo().toStdString();
    EXPECT_EQ(BoolDaFlag(-1), -1);
    EXPECT_EQ(BoolDaFlag(1), 0);
}

// The answer without rounding, where it is taken, is the answer of the two
// rounded values, also next to the rounding boundaries and at every precision.
TEST(ConfrontaVal, SenzaArrotondareLaStessaRisposta) {
    ContestoProva cp;
    const UtilGenerali& u = ggUtil();
    uint64_t s = 88172645463325252ull;
    const auto casuale = [&] {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<double>(s % 2000001) - 1000000.0;
    };
    for (int precisione : {0, -2, -8, -12})
        for (int i = 0; i < 20000; ++i) {
            const double unita = std::pow(10.0, precisione);
            const double a = casuale() * unita * (i % 3 == 0 ? 1e3 : 0.37);
            const double scarto[] = {0, unita * 0.5, unita * 1.9, unita * 2.1, unita * 7, -unita * 2.5, 1e-15};
            const double b = a + scarto[i % 7];
            const double ra = u.Arrotonda(a, precisione), rb = u.Arrotonda(b, precisione);
            const int atteso = ra < rb ? -1 : (ra > rb ? 1 : 0);
            ASSERT_EQ(ConfrontaVal(a, b, precisione), atteso) << a << " " << b << " " << precisione;
        }
}

TEST(RisoluzioneSchermo, FactorOfTheScreen) {
    ContestoProva cp;
    struct Caso {
        int l, a;
        double atteso;
    } casi[] = {{1024, 768, 1.28}, {800, 600, 1}, {1280, 1024, 1.6}, {1920, 1080, 1.8}, {0, 0, 1}};
    for (const Caso& k : casi) {
        cp.schermo->dimensioni = QSize(k.l, k.a);
        int l = 0, a = 0;
        EXPECT_DOUBLE_EQ(RisoluzioneSchermo(l, a), k.atteso) << k.l << "x" << k.a;
        EXPECT_EQ(l, k.l);
        EXPECT_EQ(a, k.a);
    }
}

TEST(CursoreAttesa, NestedOnRestoresTheFirstPointer) {
    ContestoProva cp;
    QApplication::setOverrideCursor(Qt::CrossCursor);
    CursoreAttesa(1);
    CursoreAttesa(1);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    CursoreAttesa(0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
}

TEST(FormsCaricate, FoundByNameAndCaption) {
    ContestoProva cp;
    FormProva a(QStringLiteral("Prova uno"));
    FormProva b(QStringLiteral("Prova due"));
    InizForm(a);
    InizForm(b);
    EXPECT_TRUE(FormCaricata(QStringLiteral("FRMPROVA")));
    EXPECT_FALSE(FormCaricata(QStringLiteral("frmAltra")));
    const int ia = IndiceForm(QStringLiteral("frmProva"), QStringLiteral("UNO"));
    const int ib = IndiceForm(QStringLiteral("frmProva"), QStringLiteral("due"));
    ASSERT_GE(ia, 0);
    ASSERT_GE(ib, 0);
    EXPECT_LT(ia, ib);  // load order
    EXPECT_EQ(IndiceForm(QStringLiteral("frmProva")), ia);
    EXPECT_EQ(IndiceForm(QStringLiteral("frmProva"), QStringLiteral("tre")), -1);
}

TEST(NascondiFormAperte, OnlyVisibleFormsThatAskForIt) {
    ContestoProva cp;
    FormProva dett, altra, nascosta;
    dett.setProperty("oiNoHelp", 1);
    nascosta.setProperty("oiNoHelp", 1);
    dett.show();
    altra.show();
    NascondiFormAperte();
    EXPECT_FALSE(dett.isVisible());
    EXPECT_EQ(dett.property("oiNoHelp").toInt(), 2);
    EXPECT_TRUE(altra.isVisible());
    EXPECT_EQ(nascosta.property("oiNoHelp").toInt(), 1);
}

TEST(AzzeraOpzione, NoButtonOfTheGroupSelected) {
    ContestoProva cp;
    QWidget w;
    auto* a = new QRadioButton(&w);
    auto* b = new QRadioButton(&w);
    a->setChecked(true);
    AzzeraOpzione(a);
    EXPECT_FALSE(a->isChecked());
    EXPECT_FALSE(b->isChecked());
    b->setChecked(true);  // the group still works afterwards
    EXPECT_FALSE(a->isChecked());
}

class FormTasti : public FormProva {
public:
    QStringList ricevuti;
    void txt_KeyUp(int Index, int& KeyCode, int Shift) override {
        ricevuti << QStringLiteral("txt %1 %2 %3").arg(Index).arg(KeyCode).arg(Shift);
    }
};

TEST(InviaKeyUp, FocusesTheFieldAndRunsItsKeyUp) {
    ContestoProva cp;
    FormTasti f;
    Attiva(f);
    int tasto = 113, appo = 0;
    InviaKeyUp(f, 20, tasto, appo);
    EXPECT_EQ(f.focusWidget(), f.txt[20]);
    EXPECT_EQ(f.ricevuti, QStringList{QStringLiteral("txt 20 113 0")});
    EXPECT_THROW(InviaKeyUp(f, 99, tasto, appo), ErroreRun);
}

}  // namespace
