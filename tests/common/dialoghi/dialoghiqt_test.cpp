#include "components/menu/MenuClientFinto.h"
#include "common/DialoghiQt.h"
#include "components/platform/Schermo.h"
#include "contesto/Contesto.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/AppTest.h"

namespace {

// What a standard box showed.
struct Visto {
    QString testo, titolo;
    QStringList bottoni;
    QString predefinito;
    QMessageBox::Icon icona = QMessageBox::NoIcon;
    Qt::CursorShape puntatore = Qt::BlankCursor;
};

// Once the box is up, note what it shows, then press the key (or the
// button with that caption).
void rispondiAlBox(Visto& v, int tasto, const QString& bottone = {}) {
    QTimer::singleShot(0, [&v, tasto, bottone] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        v.testo = box->text();
        v.titolo = box->windowTitle();
        for (QAbstractButton* b : box->buttons()) v.bottoni << b->text();
        v.bottoni.sort();
        v.predefinito = box->defaultButton() ? box->defaultButton()->text() : QString();
        v.icona = box->icon();
        if (QApplication::overrideCursor()) v.puntatore = QApplication::overrideCursor()->shape();
        if (!bottone.isEmpty()) {
            for (QAbstractButton* b : box->buttons())
                if (b->text() == bottone) b->click();
            return;
        }
        QTest::keyClick(box, static_cast<Qt::Key>(tasto));
    });
}

class DialoghiQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        auto c = std::make_shared<Contesto>();
        c->gsTitoloApp = QStringLiteral("Titolo App");
        ImpostaContesto(c);
    }
    void TearDown() override { ImpostaContesto(nullptr); }
    DialoghiQt dialoghi{std::make_shared<SchermoFinto>()};
};
}  // namespace

TEST_F(DialoghiQtTest, StandardBoxMapsStylesAndAnswers) {
    using namespace StileMsg;
    struct Caso {
        int stile; int tasto; QString bottone;
        QStringList bottoni; QString predefinito; QMessageBox::Icon icona; int risposta;
    };
    const Caso casi[] = {
        {SoloOk | Esclamativo, Qt::Key_Escape, {}, {"OK"}, "OK", QMessageBox::Warning, RispostaMsg::Ok},
        {OkAnnulla, Qt::Key_Escape, {}, {"Annulla", "OK"}, "OK", QMessageBox::NoIcon, RispostaMsg::Annulla},
        {OkAnnulla | Domanda, Qt::Key_Return, {}, {"Annulla", "OK"}, "OK", QMessageBox::Question, RispostaMsg::Ok},
        {SiNo | SecondoPredefinito, Qt::Key_Return, {}, {"No", "Sì"}, "No", QMessageBox::NoIcon, RispostaMsg::No},
        {SiNoAnnulla | Critico, 0, "Sì", {"Annulla", "No", "Sì"}, "Sì", QMessageBox::Critical, RispostaMsg::Si},
        {RiprovaAnnulla | Informazione, 0, "Riprova", {"Annulla", "Riprova"}, "Riprova", QMessageBox::Information,
         RispostaMsg::Riprova},
        {AnnullaRiprovaIgnora, 0, "Ignora", {"Ignora", "Interrompi", "Riprova"}, "Interrompi", QMessageBox::NoIcon,
         RispostaMsg::Ignora},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.stile);
        Visto v;
        rispondiAlBox(v, c.tasto, c.bottone);
        EXPECT_EQ(dialoghi.msgBox("Testo <b>non</b> html", c.stile, QString()), c.risposta);
        EXPECT_EQ(v.testo, "Testo <b>non</b> html");
        EXPECT_EQ(v.titolo, "Titolo App");
        EXPECT_EQ(v.bottoni, c.bottoni);
        EXPECT_EQ(v.predefinito, c.predefinito);
        EXPECT_EQ(v.icona, c.icona);
    }
}

TEST_F(DialoghiQtTest, MenuBoxGoesToTheMenuOrElseToTheStandardBox) {
    auto menu = std::make_shared<MenuClientFinto>();
    ctx().ggMenuClient = menu;
    dialoghi.msgMenu("Errore(91): modStampa");
    EXPECT_EQ(menu->chiamate, QStringList{"ComandoMenu|MsgBox|Tutti|Errore(91): modStampa"});
    EXPECT_EQ(menu->messaggiMenu, QStringList{"Errore(91): modStampa"});

    // No menu to show it: the text is not lost.
    ctx().ggMenuClient.reset();
    Visto v;
    rispondiAlBox(v, Qt::Key_Return);
    dialoghi.msgMenu("Errore(91): modStampa");
    EXPECT_EQ(v.testo, "Errore(91): modStampa");
    EXPECT_EQ(v.icona, QMessageBox::Warning);
}

// A box raised during a run waits for the user: no busy pointer over it,
// and the busy pointer back once it is answered.
TEST_F(DialoghiQtTest, BusyPointerGivesWayWhileTheStandardBoxWaits) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Visto v;
    rispondiAlBox(v, Qt::Key_Return);
    EXPECT_EQ(dialoghi.msgBox("Proseguire?", StileMsg::SiNo, QString()), RispostaMsg::Si);
    EXPECT_EQ(v.puntatore, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

TEST_F(DialoghiQtTest, ServiceIsTheContextsOrTheRealOne) {
    EXPECT_NE(dynamic_cast<DialoghiQt*>(&Dialoghi()), nullptr);
    auto proprio = std::make_shared<DialoghiQt>();
    ctx().ggDialoghi = proprio;
    EXPECT_EQ(&Dialoghi(), proprio.get());
}
