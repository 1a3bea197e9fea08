#include "common/form/FormComune.h"
#include "components/core/ErroreRun.h"
#include "common/FrmConn.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "FormProva.h"

namespace {

FrmConn* SplashAperto() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<FrmConn*>(w); f && f->isVisible()) return f;
    return nullptr;
}

TEST(InizForm, CaptionNamesTheCompanyEvenWhenItsDescriptionIsEmpty) {
    ContestoProva cp;
    FormProva f(QStringLiteral("Estrazione"));
    InizForm(f);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Estrazione - Rossi S.r.l."));
    FormProva g(QStringLiteral("Estrazione"));
    cp.c->gsDescDitta.clear();
    InizForm(g);
    EXPECT_EQ(g.windowTitle(), QStringLiteral("Estrazione - "));
    EXPECT_EQ(TitoloForm(QStringLiteral("A"), QStringLiteral("B")), QStringLiteral("A - B"));
}

TEST(InizForm, UserBackgroundGoesToTheFormAndToWhatShowsTheButtonFace) {
    ContestoProva cp;
    {
        FormProva f;
        InizForm(f);  // glColForm 0: design colours stay
        EXPECT_FALSE(f.property("BackColor").isValid());
        EXPECT_FALSE(f.Lab[10]->property("BackColor").isValid());
    }
    cp.c->glColForm = 0xC0FFC0;
    FormProva f;
    ImpostaBackColor(f.txt[20], 0xFFFFFF);
    InizForm(f);
    EXPECT_EQ(BackColor(&f), 0xC0FFC0);
    EXPECT_EQ(BackColor(f.Lab[10]), 0xC0FFC0);
    EXPECT_EQ(BackColor(f.fraDati), 0xC0FFC0);
    EXPECT_EQ(f.Lab[10]->palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xC0));
    // Text boxes keep their own background, white or the window default.
    EXPECT_EQ(BackColor(f.txt[20]), 0xFFFFFF);
    EXPECT_EQ(BackColor(f.txt[10]), 0x80000005);
}

TEST(InizForm, ReadOnlySwitchWhenTheFormHonoursIt) {
    ContestoProva cp;
    struct Caso {
        const char* parametro;
        bool onorato;
        int atteso;
    } casi[] = {{"/F frmProva", true, 1}, {"/F frmProva /RO", true, 0}, {"/ro", true, 0},
                {"/F frmProva /RO", false, 7}, {"", false, 7}};
    for (const Caso& k : casi) {
        FormProva f;
        f.setProperty("osParam", QString::fromLatin1(k.parametro));
        InizForm(f, false, false, false, k.onorato);
        EXPECT_EQ(f.property("oiAbilRW").toInt(), k.atteso) << k.parametro;
    }
}

TEST(InizForm, FormWithoutTheMemberFailsWhenItHonoursTheSwitch) {
    ContestoProva cp;
    QWidget nuda;
    EXPECT_THROW(InizForm(nuda, false, false, false, true), ErroreRun);
    EXPECT_NO_THROW(InizForm(nuda));
}

TEST(InizForm, SplashCoversTheWholeLoad) {
    ContestoProva cp;
    FormProva f(QStringLiteral("Gestione"));
    InizForm(f);
    FrmConn* s = SplashAperto();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->windowTitle(), QStringLiteral("Caricamento maschera"));
    EXPECT_EQ(s->txtNomeDb->text(), QStringLiteral("Caricamento maschera Gestione"));
    FineInizForm(f);
    QApplication::processEvents();
    EXPECT_EQ(SplashAperto(), nullptr);
}

TEST(InizForm, LabelsShowTheAmpersand) {
    ContestoProva cp;
    FormProva f;
    f.Lab[10]->setBuddy(f.txt[10]);
    InizForm(f);
    EXPECT_EQ(f.Lab[10]->buddy(), nullptr);
}

TEST(InizForm, ScaleFactorGoesToTheDeclaredComponentsOnly) {
    ContestoProva cp;
    cp.c->gdRisVidGen = 1.25;
    FormProva f;
    f.conPagina = true;
    InizForm(f, true);
    EXPECT_DOUBLE_EQ(f.comPag.parametri.value(QStringLiteral("RisVid")).numero(), 1.25);
    EXPECT_EQ(f.width(), 400);  // nothing resized yet
    FineInizForm(f, true);
    EXPECT_TRUE(f.comPag.parametri.value(QStringLiteral("RisVidFatta")).booleano());
    EXPECT_EQ(f.width(), 500);

    FormProva lista;
    lista.conLista = true;
    InizForm(lista, false, false, true);
    EXPECT_TRUE(lista.lisPag.parametri.contains(QStringLiteral("RisVid")));
    EXPECT_TRUE(lista.comlin.parametri.contains(QStringLiteral("RisVid")));
    EXPECT_FALSE(lista.comPag.parametri.contains(QStringLiteral("RisVid")));

    cp.c->gdRisVidGen = -1;  // no scaling: nothing is handed over
    FormProva g;
    g.conPagina = true;
    InizForm(g, true);
    FineInizForm(g, true);
    EXPECT_TRUE(g.comPag.parametri.isEmpty());
}

TEST(FineInizForm, WindowStateAbilRWAndRowCounter) {
    ContestoProva cp;
    cp.c->gsStatoFinestra = QStringLiteral("2");
    FormProva f;
    f.conPagina = true;
    f.conLinee = true;
    f.setProperty("oiAbilRW", 0);
    InizForm(f, true, true);
    FineInizForm(f, true, true);
    EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(f.comPag.abilRW, 0);
    EXPECT_EQ(f.linPag.abilRW, 0);
    EXPECT_EQ(f.txtRigaBox->text(), QStringLiteral("3 / 10"));

    cp.c->gsStatoFinestra.clear();
    FormProva g;
    FineInizForm(g);
    EXPECT_FALSE(g.windowState() & Qt::WindowMaximized);

    FormProva senza;  // declares a page component it does not have
    EXPECT_THROW(FineInizForm(senza, true), ErroreRun);
}

TEST(MembriPerNome, ReadAndWriteThroughProperties) {
    ContestoProva cp;
    FormProva f;
    ScriviMembro(f, "oiAbilRW", Valore(0));
    EXPECT_EQ(LeggiMembro(f, "oiAbilRW").intero(), 0);
    EXPECT_EQ(f.property("oiAbilRW").typeId(), QMetaType::Int);
    EXPECT_THROW(LeggiMembro(f, "oiNonEsiste"), ErroreRun);
    EXPECT_THROW(ScriviMembro(f, "oiNonEsiste", Valore(1)), ErroreRun);
    EXPECT_EQ(Elemento(f, QStringLiteral("txt"), 20), f.txt[20]);
    EXPECT_EQ(Elemento(f, QStringLiteral("txt"), 99), nullptr);
    EXPECT_EQ(IndiceElemento(f.txtNote), -1);
}

TEST(ControlliForm, OnlyPlacedControlsNotTheInnerPartsOfWidgets) {
    ContestoProva cp;
    FormProva f;
    const QList<QWidget*> c = ControlliForm(f);
    EXPECT_TRUE(c.contains(f.txt[10]));
    EXPECT_TRUE(c.contains(f.txtInFrame));  // inside a frame
    EXPECT_TRUE(c.contains(f.dbgRighe));
    for (QWidget* w : c) EXPECT_NE(w->parentWidget(), f.dbgRighe) << w->metaObject()->className();
    for (QWidget* w : c) EXPECT_NE(w->parentWidget(), f.txtNote);
}

}  // namespace
