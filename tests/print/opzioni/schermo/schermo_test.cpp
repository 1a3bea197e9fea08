// The print options dialog on a real desktop (1366 x 768 and 1920 x 1080,
// title bars drawn by a window manager, a panel at the top): it opens over
// the form that asks for it, comes back where it was when its panels close,
// and shows the printer grids and the save panel's values whole.
#include "components/stampa/OpzSta.h"
#include "print/opzioni/Ambiente.h"
#include "print/opzioni/FrmSceltaStam.h"
#include "print/opzioni/PannelloPdfEmail.h"
#include "support/SchermoVirtuale.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QTimer>

namespace {

QSize& Dimensioni() {
    static QSize d(1366, 768);
    return d;
}

QString Testo(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

class SchermoSceltaStam : public AmbienteStampa {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1366, 768)); }

protected:
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();

    void SetUp() override {
        if (!SchermoVirtuale::Avvia(Dimensioni()))
            GTEST_SKIP() << "Nessuno schermo X virtuale: " << SchermoVirtuale::Motivo().toStdString();
        AmbienteStampa::SetUp();
        opz->Sezione = QStringLiteral("COMIVA01");
        opz->PathDefault = QStringLiteral("/home/studio/stampe/comunicazioni/liquidazioni-periodiche-iva/2018");
        stampanti->stampanti = {{QStringLiteral("Amministrazione_piano_terra_laser_a_colori"),
                                 QStringLiteral("ipp://stampe.studio.local/printers/amministrazione")},
                                {QStringLiteral("Laser"), QStringLiteral("ipp://srv/laser")}};
        menu->ImpostaValore(QStringLiteral("UsaPdfCreator"), Valore(QStringLiteral("S")));
    }
    void TearDown() override {
        if (FrmSceltaStam::Caricata()) delete &FrmSceltaStam::Istanza();
        AmbienteStampa::TearDown();
    }

    // The form that asks: where the user put it, active.
    static void Chiamante(QDialog& form, QPoint angolo) {
        form.setWindowTitle(QStringLiteral("Elaborazione file"));
        form.resize(480, 320);
        form.show();
        SchermoVirtuale::AttendiCornice(form);
        SchermoVirtuale::SpostaComeUtente(form, angolo);
        const QPoint dentro = angolo + (form.geometry().topLeft() - SchermoVirtuale::FinestraConCornice(form).topLeft());
        SchermoVirtuale::Attendi([&] { return form.geometry().topLeft() == dentro; }, 3000);
        form.activateWindow();
        SchermoVirtuale::Attendi([&] { return QApplication::activeWindow() == &form; }, 3000);
        SchermoVirtuale::Sincronizza();
    }

    // Where a window of `dimensione` centred on `centro` lands once kept
    // inside the work area.
    static QRect CentrataDentro(QSize dimensione, QPoint centro, const QRect& area) {
        QRect r(QPoint(), dimensione);
        r.moveCenter(centro);
        if (r.right() > area.right()) r.moveRight(area.right());
        if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
        if (r.left() < area.left()) r.moveLeft(area.left());
        if (r.top() < area.top()) r.moveTop(area.top());
        return r;
    }

    // The dialog's frame once the window manager has handled its last change.
    static QRect Cornice(FrmSceltaStam& f) {
        QApplication::sendPostedEvents();
        SchermoVirtuale::Sincronizza();
        SchermoVirtuale::Attendi([&] { return f.geometry().size() == f.sizeHint() || f.minimumSize() == f.size(); }, 3000);
        SchermoVirtuale::Sincronizza();
        return SchermoVirtuale::FinestraConCornice(f);
    }

    // Widgets of a panel whose text is cut or that lie outside what the
    // panel's scroll area shows.
    static QStringList Tagliati(const QList<QLabel*>& etichette, const QScrollArea& area, const QWidget& finestra) {
        QStringList tagliati;
        for (const QLabel* l : etichette) {
            if (l->text().isEmpty()) continue;
            const int serve = l->fontMetrics().horizontalAdvance(l->text());
            const QRect dove(l->mapTo(area.viewport(), QPoint()), l->size());
            const QRect inFinestra(l->mapTo(&finestra, QPoint()), l->size());
            if (l->contentsRect().width() < serve || dove.right() > area.viewport()->rect().right() ||
                inFinestra.right() > finestra.rect().right())
                tagliati << l->text();
        }
        return tagliati;
    }

    void PosizioneEPannelli();
    void Griglie();
};

void SchermoSceltaStam::PosizioneEPannelli() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QDialog form;
    // Left of the middle, so that over the form is not the middle of the screen.
    Chiamante(form, {area.left() + area.width() / 10, area.top() + area.height() / 3});
    const QPoint centroForm = SchermoVirtuale::FinestraConCornice(form).center();

    QRect aperta, conSalvataggio, dopoSalvataggio, conPdfEmail, dopoPdfEmail;
    QStringList tagliati;
    bool visto = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(SchermoVirtuale::Attendi([] { return FrmSceltaStam::Caricata() && FrmSceltaStam::Istanza().isVisible(); }, 5000));
        FrmSceltaStam& f = FrmSceltaStam::Istanza();
        SchermoVirtuale::AttendiCornice(f);
        aperta = Cornice(f);
        f.ComSalOpz->click();
        conSalvataggio = Cornice(f);
        QList<QLabel*> valori(std::begin(f.LabValParam), std::end(f.LabValParam));
        const auto* scorre = f.PicSalPar->findChild<QScrollArea*>();
        if (scorre) tagliati = Tagliati(valori, *scorre, f);
        f.ComAnnulla->click();
        dopoSalvataggio = Cornice(f);
        f.ComParIniPE->click();
        conPdfEmail = Cornice(f);
        dialoghi->risposte << 1;  // "Confermi uscita senza salvataggio"
        f.PicPdfEmail->ComPEAnnulla->click();
        dopoPdfEmail = Cornice(f);
        visto = true;
        f.ComChiudi->click();
    });
    EXPECT_TRUE(FrmSceltaStam::Apri(opz));
    ASSERT_TRUE(visto);

    const QRect attesa = CentrataDentro(aperta.size(), centroForm, area);
    EXPECT_LE((aperta.topLeft() - attesa.topLeft()).manhattanLength(), 30)
        << "opened at " << Testo(aperta).toStdString() << ", over the form " << Testo(attesa).toStdString();
    EXPECT_TRUE(area.contains(conSalvataggio)) << Testo(conSalvataggio).toStdString();
    EXPECT_TRUE(area.contains(conPdfEmail)) << Testo(conPdfEmail).toStdString();
    EXPECT_EQ(dopoSalvataggio, aperta) << "after the save panel " << Testo(dopoSalvataggio).toStdString();
    EXPECT_EQ(dopoPdfEmail, aperta) << "after the e-mail panel " << Testo(dopoPdfEmail).toStdString();
    EXPECT_TRUE(tagliati.isEmpty()) << "save panel cuts: " << tagliati.join(QStringLiteral(" | ")).toStdString();
}

void SchermoSceltaStam::Griglie() {
    FrmSceltaStam& f = FrmSceltaStam::Istanza();
    f.ogOpzSta = opz;
    ASSERT_TRUE(f.VisDecodOk());
    struct Caso {
        QTableWidget* griglia;
        int pagina;
        int nome, porta;  // letters "M"
    } casi[] = {{f.GriPri, 0, 45, 15}, {f.GriPorte, 3, 40, 10}};
    f.show();
    SchermoVirtuale::AttendiCornice(f);
    for (const auto& k : casi) {
        SCOPED_TRACE(k.griglia->objectName().toStdString());
        f.OptStampaSu[k.pagina]->click();
        QApplication::sendPostedEvents();
        const QFontMetrics m(k.griglia->font());
        EXPECT_GE(k.griglia->columnWidth(1), m.horizontalAdvance(QString(k.nome, QLatin1Char('M'))));
        EXPECT_GE(k.griglia->columnWidth(2), m.horizontalAdvance(QString(k.porta, QLatin1Char('M'))));
        // Every column whole in sight, with no scrolling.
        const int colonne = k.griglia->columnWidth(0) + k.griglia->columnWidth(1) + k.griglia->columnWidth(2);
        EXPECT_LE(colonne, k.griglia->viewport()->width());
    }
    const QRect area = f.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(SchermoVirtuale::FinestraConCornice(f))) << Testo(SchermoVirtuale::FinestraConCornice(f)).toStdString();
}

TEST_F(SchermoSceltaStam, OpensOverItsFormAndStaysWhenItsPanelsClose) { PosizioneEPannelli(); }
TEST_F(SchermoSceltaStam, PrinterGridsShowTheirColumnsWhole) { Griglie(); }

class SchermoSceltaStamGrande : public SchermoSceltaStam {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1920, 1080)); }
};
TEST_F(SchermoSceltaStamGrande, OpensOverItsFormAndStaysWhenItsPanelsClose) { PosizioneEPannelli(); }
TEST_F(SchermoSceltaStamGrande, PrinterGridsShowTheirColumnsWhole) { Griglie(); }

}  // namespace
