// The closing from the menu on a real desktop (virtual X screen, a window
// manager): the demo started as the menu starts it, a settlement run printing
// to the preview, then "fine". The user reads "Chiusura in corso" above every
// window of the program while the forms close, a form that refuses says so
// once, and the program goes on with its run.
#include "integrazione/AvvioDemo.h"
#include "common/DialoghiQt.h"
#include "components/stampa/OpzSta.h"
#include "print/anteprima/FrmVStampa.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "support/SchermoVirtuale.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The boxes of the program as they come up: their texts, and whether the
// closing window was on screen beside them. Each is answered as Esc would.
class BoxVisti : public QObject {
public:
    explicit BoxVisti(QWidget* principale) : principale_(principale) { qApp->installEventFilter(this); }
    ~BoxVisti() override { qApp->removeEventFilter(this); }
    QStringList testi;
    bool conChiusura = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* d = qobject_cast<QDialog*>(o);
        if (e->type() != QEvent::Show || !d || !d->isModal()) return false;
        QStringList righe;
        for (const QLabel* l : d->findChildren<QLabel*>())
            if (!l->text().isEmpty()) righe << l->text();
        testi << righe.join(QLatin1Char(' '));
        conChiusura = conChiusura || principale_->isVisible();
        QMetaObject::invokeMethod(d, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }

private:
    QWidget* principale_;
};

// Notes, as the first of the given forms is hidden by the closing, whether the
// closing window stands above every other window of the program.
class GuardiaPila : public QObject {
public:
    GuardiaPila(QWidget* principale, QWidget* osservata) : principale_(principale), osservata_(osservata) {}
    bool vista = false;     // the hide was seen
    bool sopra = false;     // the closing window was above every other one
    QStringList sotto;      // the windows found above it

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Hide && o == osservata_ && !vista) {
            vista = true;
            sopra = SchermoVirtuale::Attendi([this] { return Sopra(); }, 3000);
        }
        return false;
    }

private:
    bool Sopra() {
        if (!principale_->isVisible()) return false;
        SchermoVirtuale::Sincronizza();
        const QList<unsigned long> pila = SchermoVirtuale::Pila();
        const qsizetype suo = pila.indexOf(principale_->winId());
        sotto.clear();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w == principale_ || !w->isVisible() || w->windowTitle() == QLatin1String("pannello")) continue;
            if (w == osservata_) continue;
            if (pila.indexOf(w->winId()) > suo) sotto << w->windowTitle();
        }
        return suo >= 0 && sotto.isEmpty();
    }

    QWidget* principale_;
    QWidget* osservata_;
};

class ChiusuraSulloSchermo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(); }
    void SetUp() override {
        if (!SchermoVirtuale::Avvia()) GTEST_SKIP() << "Nessuno schermo X virtuale: " << SchermoVirtuale::Motivo().toStdString();
        ASSERT_TRUE(dir.isValid());
        demo = dir.path() + QStringLiteral("/demo");
        ASSERT_EQ(GeneraDemo(demo), "");
    }
    void TearDown() override {
        if (FrmVStampa::EsisteIstanza()) FrmVStampa::Istanza()->Scarica();
        ImpostaContesto(nullptr);
    }

    QTemporaryDir dir;
    QString demo;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<DialoghiScriptati> avvio;
};

// "fine" while the preview waits for its reader, at a page and once the print
// has ended: one box says why the program stays, "Chiusura in corso" stood
// above every window while the forms loaded after the run form closed, and
// the run goes on to its end with the form usable.
TEST_F(ChiusuraSulloSchermo, AFineRefusedDuringARunToThePreview) {
    const struct Caso {
        const char* nome;
        bool allaFine;  // at the wait after "Stampa Terminata"
    } casi[] = {{"at a page", false}, {"once the print has ended", true}};
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        ASSERT_TRUE(AvviaDemo(demo, QStringLiteral("FrmLiqIvaXML"), c, avvio)) << avvio->testi().join(" | ").toStdString();
        c->ggDialoghi = std::make_shared<DialoghiQt>(nullptr);
        auto* ospite = static_cast<Ospite*>(c->ggOspite.get());
        auto* menu = static_cast<MenuClientFinto*>(c->ggMenuClient.get());
        QPointer<frmLiqIvaXml> run = dynamic_cast<frmLiqIvaXml*>(ospite->Form(QStringLiteral("frmLiqIvaXml")));
        ASSERT_NE(run, nullptr);
        // Three forms opened from the menu after the run form.
        for (const char* nome : {"FrmLiqIvaPre", "frmLiqIvaTest", "FrmDatiFatPre"}) {
            menu->InviaComando(QStringLiteral("passaa"), QString::fromLatin1(nome), QString::fromLatin1(nome));
            ASSERT_NE(ospite->Form(QString::fromLatin1(nome)), nullptr) << nome;
        }
        QWidget* principale = ospite->frmPrincipale();
        GuardiaPila guardia(principale, ospite->Form(QStringLiteral("FrmDatiFatPre")));
        qApp->installEventFilter(&guardia);

        // The print only, to the preview.
        QTest::mouseClick(run->optTipoElab[2], Qt::LeftButton);
        run->elab.ogOpzSta->oiStaVid = OpzSta::Video;

        QString risposta = QStringLiteral("(nessuna)");
        bool inviato = false;
        bool attiva = false;
        BoxVisti box(principale);
        // The user pages on; at the wait chosen the menu sends "fine", then
        // the user leaves the preview.
        FrmVStampa* anteprima = FrmVStampa::Istanza();
        anteprima->attesaScriptata = [&](FrmVStampa& f) {
            const bool finita = !f.LabMsg->text().isEmpty();
            if (!inviato && finita == k.allaFine) {
                inviato = true;
                // The user works in the preview: it is the active window.
                SchermoVirtuale::AttendiCornice(f);
                f.activateWindow();
                attiva = SchermoVirtuale::Attendi([&f] { return f.isActiveWindow(); }, 3000);
                SchermoVirtuale::Sincronizza();
                risposta = menu->InviaComando(QStringLiteral("fine")).testo();
            }
            if (inviato || finita) QTest::mouseClick(f.ComEsci, Qt::LeftButton);
            else QTest::mouseClick(f.imaMuovi[3], Qt::LeftButton);
        };
        QTest::mouseClick(run->ComStampa, Qt::LeftButton);
        qApp->removeEventFilter(&guardia);

        ASSERT_TRUE(inviato);
        EXPECT_TRUE(attiva);
        EXPECT_EQ(risposta, "No Chiudi");
        // One refusal, one box: the run form's, with the closing window gone.
        EXPECT_EQ(box.testi.filter("Stampa ancora attiva").size(), 1) << box.testi.join(" | ").toStdString();
        EXPECT_TRUE(box.testi.contains("Stampa ancora attiva, non è possibile uscire dal programma"))
            << box.testi.join(" | ").toStdString();
        EXPECT_FALSE(box.conChiusura) << "a box came up beside \"Chiusura in corso\"";
        // While the forms closed, "Chiusura in corso" stood above every window of the program.
        EXPECT_TRUE(guardia.vista);
        EXPECT_TRUE(guardia.sopra) << "above it: " << guardia.sotto.join(" | ").toStdString();
        EXPECT_FALSE(principale->isVisible());

        // The forms loaded after the run form are gone; the run form is still there.
        for (const char* nome : {"FrmLiqIvaPre", "frmLiqIvaTest", "FrmDatiFatPre"})
            EXPECT_EQ(ospite->Form(QString::fromLatin1(nome)), nullptr) << nome;
        ASSERT_NE(run, nullptr);
        EXPECT_TRUE(run->isVisible());
        EXPECT_TRUE(run->isEnabled());
        EXPECT_FALSE(ospite->Terminato());
        // Usable: the run over, "fine" closes the program.
        EXPECT_EQ(menu->InviaComando(QStringLiteral("fine")).testo(), "");
        EXPECT_TRUE(ospite->Terminato());
        ImpostaContesto(nullptr);
    }
}

}  // namespace
