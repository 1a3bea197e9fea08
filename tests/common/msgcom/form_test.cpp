#include "common/FrmMsgCom.h"
#include "common/form/Aiuto.h"
#include "common/DialoghiQt.h"
#include "components/platform/Schermo.h"
#include "contesto/Contesto.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/AppTest.h"

#include <cmath>

namespace {

QRect inPixel(const QRect& r) {
    const auto p = [](int t) { return static_cast<int>(std::lround(t / 15.0)); };
    return {p(r.x()), p(r.y()), p(r.width()), p(r.height())};
}

// Acts on the box on top once the event loop shows it.
void quandoAperta(std::function<void(frmMsgCom*)> azione) {
    QTimer::singleShot(0, [azione] {
        auto* f = qobject_cast<frmMsgCom*>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        azione(f);
    });
}

class FormMsgComTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        auto c = std::make_shared<Contesto>();
        c->gsTitoloApp = QStringLiteral("Titolo App");
        ImpostaContesto(c);
        schermo->dimensioni = {1280, 1024};
        schermo->cima = 984;
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    RichiestaMsgCom richiesta(const QString& testo, const QStringList& bottoni, int predefinito = 1) {
        RichiestaMsgCom r;
        r.messaggio = testo;
        r.bottoni = bottoni;
        r.bottonePredefinito = predefinito;
        return r;
    }

    std::shared_ptr<SchermoFinto> schermo = std::make_shared<SchermoFinto>();
};
}  // namespace

TEST_F(FormMsgComTest, PlacesItsControlsWhereTheLayoutSays) {
    const QString lungo = QStringList(200, QStringLiteral("riga di testo")).join(QLatin1Char('\n'));
    struct Caso { QString testo; bool sempre; bool modoTesto; };
    const Caso casi[] = {{"Operazione completata", false, false},
                         {QString(400, QLatin1Char('m')), false, false},
                         {lungo, false, true},
                         {"Breve", true, true}};
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.testo.left(30).toStdString());
        frmMsgCom f(*schermo);
        RichiestaMsgCom r = richiesta(c.testo, {"&Sì", "&No"});
        r.sempreTesto = c.sempre;
        f.Prepara(r);
        const LayoutMsgCom& l = f.Layout();
        EXPECT_EQ(l.modoTesto, c.modoTesto);
        EXPECT_EQ(f.size(), QSize(std::lround(l.larghezzaClient / 15.0), std::lround(l.altezzaClient / 15.0)));
        EXPECT_LE(l.larghezza, 1280 * 15);
        EXPECT_LE(l.altezza, schermo->AreaUtileSchermo());
        if (c.modoTesto) {
            EXPECT_TRUE(f.LabMessaggio()->isHidden());
            EXPECT_FALSE(f.TxtMessaggio()->isHidden());
            EXPECT_EQ(f.TxtMessaggio()->toPlainText(), c.testo);
            EXPECT_EQ(f.TxtMessaggio()->geometry(), inPixel(l.messaggio));
        } else {
            EXPECT_TRUE(f.TxtMessaggio()->isHidden());
            EXPECT_EQ(f.LabMessaggio()->text(), c.testo);
            EXPECT_EQ(f.LabMessaggio()->geometry(), inPixel(l.messaggio));
            // The label has room for its whole text.
            QLabel* lab = f.LabMessaggio();
            EXPECT_GE(lab->height(), lab->wordWrap() ? lab->heightForWidth(lab->width()) : lab->sizeHint().height());
            EXPECT_EQ(lab->wordWrap(), l.aCapo);
        }
        ASSERT_EQ(f.ComEsegui().size(), 2);
        for (int i = 0; i < 2; ++i) EXPECT_EQ(f.ComEsegui()[i]->geometry(), inPixel(l.bottoni[i]));
        EXPECT_EQ(f.ComEsegui()[0]->text(), "&Sì");
    }
}

TEST_F(FormMsgComTest, KeysAndCloseGiveTheButtonNumberOrZero) {
    struct Caso { QStringList bottoni; int predefinito; int tasto; int atteso; };
    const Caso casi[] = {
        {{"&Ok"}, 1, Qt::Key_Return, 1},
        {{"&Ok"}, 1, Qt::Key_Escape, 0},              // no cancel button: Esc does nothing
        {{"&Ok", "&Annulla"}, 1, Qt::Key_Return, 1},
        {{"&Ok", "&Annulla"}, 1, Qt::Key_Escape, 2},  // button 2 is the cancel button
        {{"&Ok", "&Annulla"}, 2, Qt::Key_Return, 2},  // the focused button takes Enter
        {{"&Sì", "&No", "&Annulla"}, 3, Qt::Key_Escape, 0},
        {{"&Sì", "&No", "&Annulla"}, 3, Qt::Key_Return, 3},
        {{"&Sì", "&No", "&Annulla"}, 9, Qt::Key_Return, 1},  // out of range: ignored
        {{"&Ok", "&Annulla"}, 1, Qt::Key_unknown, 0},  // closed from the frame
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.bottoni.join(",").toStdString() + " key " + std::to_string(c.tasto));
        frmMsgCom f(*schermo);
        f.Prepara(richiesta("Proseguire?", c.bottoni, c.predefinito));
        bool apertaDopoIlTasto = false;
        quandoAperta([&](frmMsgCom* a) {
            const int conFuoco = c.predefinito <= c.bottoni.size() ? c.predefinito - 1 : 0;
            EXPECT_EQ(a->focusWidget(), a->ComEsegui()[conFuoco]);
            if (c.tasto == Qt::Key_unknown) {
                a->close();
                return;
            }
            QTest::keyClick(a->focusWidget() ? a->focusWidget() : a, static_cast<Qt::Key>(c.tasto));
            apertaDopoIlTasto = a->isVisible();
            if (apertaDopoIlTasto) a->close();
        });
        EXPECT_EQ(f.Esegui(), c.atteso);
        EXPECT_EQ(apertaDopoIlTasto, c.atteso == 0 && c.tasto != Qt::Key_unknown);
    }
}

TEST_F(FormMsgComTest, ButtonClickGivesItsNumberAndTheTitleIsTheRequestsOrTheApplications) {
    for (const QString& titolo : {QString(), QStringLiteral("Estrazione")}) {
        DialoghiQt d(schermo);
        RichiestaMsgCom r = richiesta("Scegliere", {"&Uno", "&Due", "&Tre"});
        r.titolo = titolo;
        QString visto;
        quandoAperta([&](frmMsgCom* a) {
            visto = a->windowTitle();
            a->ComEsegui()[2]->click();
        });
        EXPECT_EQ(d.msgCom(r), 3);
        EXPECT_EQ(visto, titolo.isEmpty() ? "Titolo App" : titolo);
    }
}

// A box asked for while another waits for the user opens on top of it and
// gives its own answer; the first box then answers as usual.
TEST_F(FormMsgComTest, SecondBoxWhileOneIsShownIsNotLost) {
    DialoghiQt d(schermo);
    int rispostaInterna = -1;
    QString testoInterno;
    QWidget* padreInterno = nullptr;
    quandoAperta([&](frmMsgCom* esterna) {
        quandoAperta([&, esterna](frmMsgCom* interna) {
            EXPECT_NE(interna, esterna);
            testoInterno = interna->LabMessaggio()->text();
            padreInterno = interna->parentWidget();
            interna->ComEsegui()[1]->click();
        });
        rispostaInterna = d.msgCom(richiesta("Errore(91): secondo messaggio", {"&Ok", "&Annulla"}));
        EXPECT_TRUE(esterna->isVisible());
        esterna->ComEsegui()[0]->click();
    });
    EXPECT_EQ(d.msgCom(richiesta("Primo messaggio", {"&Ok"})), 1);
    EXPECT_EQ(rispostaInterna, 2);
    EXPECT_EQ(testoInterno, "Errore(91): secondo messaggio");
    EXPECT_NE(padreInterno, nullptr);
}

TEST_F(FormMsgComTest, BusyPointerGivesWayWhileTheBoxIsShown) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    frmMsgCom f(*schermo);
    f.Prepara(richiesta("Attendere", {"&Ok"}));
    Qt::CursorShape durante = Qt::WaitCursor;
    quandoAperta([&](frmMsgCom* a) {
        durante = QGuiApplication::overrideCursor()->shape();
        a->ComEsegui()[0]->click();
    });
    EXPECT_EQ(f.Esegui(), 1);
    EXPECT_EQ(durante, Qt::ArrowCursor);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
}

TEST_F(FormMsgComTest, F1OnTheBoxAsksForHelpAndLeavesTheBoxOpen) {
    QTemporaryDir dir;
    const QString chm = dir.filePath(QStringLiteral("guida.chm"));
    QFile(chm).open(QIODevice::WriteOnly);
    auto help = std::make_shared<ServizioHelpFinto>();
    ctx().ggHelp = help;
    ctx().gsFileHelp = chm;
    frmMsgCom f(*schermo);
    f.Prepara(richiesta("Proseguire?", {"&Ok", "&Annulla"}));
    bool aperta = false;
    quandoAperta([&](frmMsgCom* a) {
        QTest::keyClick(a->focusWidget() ? a->focusWidget() : a, Qt::Key_F1);
        aperta = a->isVisible();
        a->close();
    });
    f.Esegui();
    EXPECT_TRUE(aperta);
    ASSERT_EQ(help->chiamate.size(), 2);  // contents, then the topic
    EXPECT_EQ(help->chiamate[1].comando, ComandoHelp::Contesto);
    EXPECT_EQ(help->chiamate[1].file, chm);
}
