// Every window the program shows, laid out on a real desktop (1024 x 768,
// 1366 x 768, 1920 x 1080) with title bars and a panel at the top: each lies
// wholly inside the work area, frame included, shows every widget inside its
// parent and every command of its toolbars, cuts no caption, and puts no two
// visible siblings one over the other. A fault names the window and both
// widgets. Where the user puts a window afterwards is the user's; boxes open
// over the window that asked.
#include "common/DialoghiQt.h"
#include "common/FrmMsgCom.h"
#include "components/lookup/AiutiFinti.h"
#include "components/lookup/FrmListaAiuto.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "components/stampanti/StampantiFinte.h"
#include "contesto/Contesto.h"
#include "invoicedata/estrazione/FrmDatiFatPre.h"
#include "invoicedata/gestione/FrmDatiFatDett.h"
#include "invoicedata/gestione/FrmDatiFatGest.h"
#include "invoicedata/gestione/FrmDatiFatTestLis.h"
#include "invoicedata/run/FrmDatiFatXml.h"
#include "print/anteprima/FrmVStampa.h"
#include "print/anteprima/frmVStaPar.h"
#include "print/lavoro/FrmStampaInCorso.h"
#include "print/lavoro/ServiziLavoroStampa.h"
#include "print/lista/FrmComlinStampa.h"
#include "print/opzioni/FrmSceltaStam.h"
#include "print/opzioni/PannelloPdfEmail.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "settlement/gestione/FrmLiqIvaDett.h"
#include "settlement/gestione/FrmLiqIvaTest.h"
#include "settlement/gestione/FrmLiqIvaTestLis.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "common/schermi/SchermoLista.h"
#include "support/AppTest.h"
#include "support/Fixture.h"
#include "support/SchermoVirtuale.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

// The screen size this process asked for.
QSize& Dimensioni() {
    static QSize d(1366, 768);
    return d;
}

QString Nome(const QWidget* w) {
    QString testo;
    if (const auto* l = qobject_cast<const QLabel*>(w)) testo = l->text();
    else if (const auto* b = qobject_cast<const QAbstractButton*>(w)) testo = b->text();
    else if (const auto* g = qobject_cast<const QGroupBox*>(w)) testo = g->title();
    QString nome = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty()) nome += QLatin1Char(' ') + w->objectName();
    const QVariant indice = w->property("Index");
    if (indice.isValid()) nome += QStringLiteral("(%1)").arg(indice.toInt());
    if (!testo.isEmpty()) nome += QStringLiteral(" \"") + testo.left(40) + QLatin1Char('"');
    return QStringLiteral("«") + nome + QStringLiteral("»");
}

// Widgets whose inner parts are Qt's own business.
bool Composto(const QWidget* w) {
    return qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QToolBar*>(w) ||
           qobject_cast<const QTabBar*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
           qobject_cast<const QProgressBar*>(w);
}

// A caption wider than its widget shows cut.
bool TestoTagliato(const QWidget* w) {
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->wordWrap() || l->text().isEmpty() || l->text().contains(QLatin1Char('\n'))) return false;
        return l->sizeHint().width() > l->width();
    }
    if (qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w)) {
        const auto* b = static_cast<const QAbstractButton*>(w);
        return !b->text().isEmpty() && b->sizeHint().width() > b->width();
    }
    // A push button's own margins may shrink; its text may not.
    if (const auto* b = qobject_cast<const QPushButton*>(w)) {
        const QString testo = QString(b->text()).remove(QLatin1Char('&'));
        return b->fontMetrics().horizontalAdvance(testo) + 4 > b->width();
    }
    return false;
}

// A column narrower than its heading or than one of its cells, as the view's
// own delegate and header measure them with the fonts in use.
void ColonneStrette(const QTableView* griglia, QStringList& difetti) {
    const QAbstractItemModel* m = griglia->model();
    if (!m) return;
    QStyleOptionViewItem opzione;
    opzione.initFrom(griglia);
    opzione.font = griglia->font();
    opzione.fontMetrics = griglia->fontMetrics();
    opzione.widget = griglia;
    const int linea = griglia->showGrid() ? 1 : 0;
    for (int c = 0; c < m->columnCount(); ++c) {
        if (griglia->isColumnHidden(c)) continue;
        const QString titolo = m->headerData(c, Qt::Horizontal).toString();
        const int larghezza = griglia->columnWidth(c);
        if (!griglia->horizontalHeader()->isHidden() && griglia->horizontalHeader()->sectionSizeHint(c) > larghezza)
            difetti << Nome(griglia) + QStringLiteral(" taglia l'intestazione \"%1\"").arg(titolo);
        for (int r = 0; r < m->rowCount(); ++r) {
            const QModelIndex cella = m->index(r, c);
            if (griglia->itemDelegateForIndex(cella)->sizeHint(opzione, cella).width() + linea > larghezza) {
                difetti << Nome(griglia) + QStringLiteral(" taglia \"%1\" nella colonna \"%2\"")
                                               .arg(m->data(cella).toString(), titolo);
                break;
            }
        }
    }
}

void VerificaFigli(const QWidget* padre, QStringList& difetti) {
    QList<const QWidget*> figli;
    for (const QObject* o : padre->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && !w->isWindow() && w->isVisible()) figli << w;
    }
    for (int i = 0; i < figli.size(); ++i) {
        const QWidget* w = figli[i];
        if (!padre->rect().contains(w->geometry()))
            difetti << Nome(w) + QStringLiteral(" esce da ") + Nome(padre);
        if (TestoTagliato(w)) difetti << Nome(w) + QStringLiteral(" mostra il testo tagliato");
        if (const auto* griglia = qobject_cast<const QTableView*>(w)) ColonneStrette(griglia, difetti);
        if (const auto* barra = qobject_cast<const QToolBar*>(w)) {
            const auto* estensione = barra->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"));
            if (estensione && estensione->isVisible())
                difetti << Nome(w) + QStringLiteral(" nasconde comandi nel menu a scomparsa");
        }
        for (int j = i + 1; j < figli.size(); ++j)
            if (w->geometry().intersects(figli[j]->geometry()))
                difetti << Nome(w) + QStringLiteral(" si sovrappone a ") + Nome(figli[j]);
        if (!Composto(w)) VerificaFigli(w, difetti);
    }
}

// The faults of one window as it is now on screen, one line each.
QStringList Difetti(QWidget& finestra) {
    QApplication::sendPostedEvents();
    QStringList difetti;
    const QSize dim = finestra.size();
    if (dim.width() > Dimensioni().width() || dim.height() > Dimensioni().height())
        difetti << QStringLiteral("la finestra è %1x%2").arg(dim.width()).arg(dim.height());
    VerificaFigli(&finestra, difetti);
    for (QString& d : difetti) d = finestra.windowTitle() + QStringLiteral(": ") + d;
    return difetti;
}

// The window with its frame, where the window manager put it, against the
// part of the screen the panels leave free.
QString FuoriDalloSchermo(QWidget& finestra) {
    SchermoVirtuale::AttendiCornice(finestra);
    const QRect area = finestra.screen()->availableGeometry();
    const auto fuori = [&] {
        return area.contains(finestra.frameGeometry()) ? finestra.frameGeometry()
                                                       : SchermoVirtuale::FinestraConCornice(finestra);
    };
    if (SchermoVirtuale::Attendi([&] { return area.contains(fuori()); }, 3000)) return {};
    const QRect g = fuori();
    const QSize dentro = finestra.size();
    return finestra.windowTitle() +
           QStringLiteral(": la finestra con la cornice occupa %1,%2 %3x%4 (dentro %5x%6), fuori da %7,%8 %9x%10")
               .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()).arg(dentro.width()).arg(dentro.height())
               .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
}

class DisposizioneTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1366, 768)); }
    void SetUp() override {
        if (!SchermoVirtuale::Avvia(Dimensioni())) GTEST_SKIP() << "Nessuno schermo X virtuale: " << SchermoVirtuale::Motivo().toStdString();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = menu;
        contesto->ggAiuti = aiuti;
        contesto->gtDataLavoro = QDate(2018, 6, 15);
        contesto->gsFmtImp = contesto->gsFmtImpEuro = QStringLiteral("#,##0.00");
        stampanti->stampanti = {{"Ufficio", "Ufficio"}};
        stampanti->predefinita = "Ufficio";
        ImpostaServizioStampanti(stampanti);
        SchermoLista::ImpDialogoStampa([]() -> DialogoStampaLista* { return &FrmComlinStampa::Istanza(); });
        menu->ImpostaValore(QStringLiteral("UsaPdfCreator"), Valore(QStringLiteral("S")));
        menu->ImpostaValore(QStringLiteral("StampeEmail"), Valore(QStringLiteral("S")));
        // The company the run form names beside its range.
        aiuti->codici[QStringLiteral("aziende")] = {{QStringLiteral("ROSSI"), QStringLiteral("Rossi Forniture S.r.l.")}};
        menu->ScriviValoreSess(QStringLiteral("idazienda"), Valore(QStringLiteral("ROSSI")));
        aiuti->codici[QStringLiteral("conto")] = {{QStringLiteral("04-01-000012"), QStringLiteral("Bianchi S.p.A.")}};
        fx.Inserisci(fx.idAzienda, "LiqIvaTest",
                     {{"Anno", 2018}, {"NumCom", 1}, {"CodiceFiscale", "01234567897"}, {"PartitaIva", "01234567897"},
                      {"LiquidazioneGruppo", "N"}, {"FirmaDichiarazione", "N"}, {"ImpegnoPresentazione", "2"}});
        fx.Inserisci(fx.idAzienda, "LiqIvaDett",
                     {{"Anno", 2018}, {"NumCom", 1}, {"Modulo", 1}, {"Mese", 3}, {"IvaDovuta", 1234.56},
                      {"ImportoDaVersare", 1234.56}, {"Subfornitura", "N"}, {"OpStraordinarie", "N"}, {"MetodoAcconto", "2"}});
        fx.Inserisci(fx.idAzienda, "DatiFatTest",
                     {{"AnnoCom", 2018}, {"NumCom", 1}, {"AnnoReg", 2018}, {"NumReg", 100013}, {"NumCanc", 0}, {"Tipo", "E"},
                      {"Stato", "N"}, {"NumInv", 0}, {"GruppoPartita", "04"}, {"MastroPartita", "01"},
                      {"ContoPartita", "000012"}, {"TipoDocumento", "TD01"}, {"DataDoc", "2018-01-05"},
                      {"NumDoc", "12/A"}, {"DataReg", "2018-01-08"}, {"ImportoTotale", 122000.0}, {"BollaDoganale", "N"}});
        fx.Inserisci(fx.idAzienda, "DatiFatDett",
                     {{"AnnoCom", 2018}, {"NumCom", 1}, {"AnnoReg", 2018}, {"NumReg", 100013}, {"NumCanc", 0}, {"Tipo", "E"},
                      {"Stato", "N"}, {"NumDet", 1}, {"Aliquota", 22.0}, {"Natura", ""}, {"ImponibileImporto", 100000.0},
                      {"Imposta", 22000.0}, {"EsigibilitaIva", "S"}, {"Deducibile", "N"}});
    }
    void TearDown() override {
        FrmSceltaStam::MostraModale() = nullptr;
        ImpostaServizioStampanti(nullptr);
        RipristinaServiziLavoroStampa();
    }
    // Shows a window and adds its faults under the name of the step.
    void Guarda(QWidget& w) {
        if (!w.isVisible()) w.show();
        if (const QString fuori = FuoriDalloSchermo(w); !fuori.isEmpty()) difetti << fuori;
        difetti << Difetti(w);
        viste << w.metaObject()->className();
    }
    // A screen with a grid fills the screen when the user enlarges it: the
    // grid takes the room, the rest stays clear of it.
    void Allarga(QWidget& w, QTableView* griglia) {
        const QSize prima = w.size(), grigliaPrima = griglia->size();
        const QPoint posizione = w.pos();
        w.resize(Dimensioni());
        QApplication::sendPostedEvents();
        EXPECT_EQ(w.size(), Dimensioni()) << w.metaObject()->className() << " resizes";
        EXPECT_EQ(griglia->size(), grigliaPrima + (w.size() - prima)) << w.metaObject()->className() << " grows its grid";
        difetti << Difetti(w);
        // Back as it was, as the window manager puts a window back after a maximise.
        w.resize(prima);
        w.move(posizione);
        EXPECT_EQ(griglia->size(), grigliaPrima);
    }
    template <class F>
    F& Carica() {
        auto* f = new F;
        forms << f;
        f->Carica();
        EXPECT_EQ(f->oiLoadOk, 1) << dialoghi->testi().join(" | ").toStdString();
        Guarda(*f);
        return *f;
    }
    // The list of a header screen, its print dialog, the print options on
    // each route and panel, and the preview of a list print.
    void ListaEStampa(SchermoTestata& testata) {
        testata.ButtonComando(QStringLiteral("Lista"));
        SchermoLista* lista = testata.ListaForm();
        ASSERT_NE(lista, nullptr) << dialoghi->testi().join(" | ").toStdString();
        Guarda(*lista);
        const int altezzaGriglia = lista->dbgRiga->height();
        lista->resize(lista->width(), lista->height() + 100);
        EXPECT_EQ(lista->dbgRiga->height(), altezzaGriglia + 100) << "the list window resizes with its grid";
        lista->resize(lista->width(), lista->height() - 100);
        FrmComlinStampa::Mostra() = [this](FrmComlinStampa& d) {
            Guarda(d);
            FrmSceltaStam::MostraModale() = [this](FrmSceltaStam& s) {
                for (int percorso : {OpzSta::Stampante, OpzSta::Video, OpzSta::File}) {
                    s.OptStampaSu[percorso]->click();
                    Guarda(s);
                }
                const QSize prima = s.size();
                s.ComSalOpz_Click();
                Guarda(s);
                s.ComAnnulla_Click();
                s.ComParIniPE_Click();
                Guarda(s);
                dialoghi->risposte << 1;  // "Confermi uscita senza salvataggio"
                s.PicPdfEmail->ComPEAnnulla_Click();
                ASSERT_TRUE(s.PicPdfEmail->isHidden());
                QApplication::sendPostedEvents();
                EXPECT_LE(s.height(), prima.height()) << "the dialog shrinks back after the e-mail panel";
                EXPECT_LE(s.width(), prima.width());
            };
            d.comSceStam_Click();
            d.Opzioni()->oiStaVid = OpzSta::Video;
            FrmVStampa* anteprima = FrmVStampa::Istanza();
            anteprima->attesaScriptata = [this](FrmVStampa& a) { Guarda(a); };
            d.CmdStampa_Click();
            anteprima->attesaScriptata = nullptr;
            Guarda(*anteprima);
            anteprima->Scarica();
        };
        lista->ButtonComando(QStringLiteral("Stampa"));
        FrmComlinStampa::Mostra() = [](FrmComlinStampa& d) { d.exec(); };
    }

    bool app_ = (AppTest(), true);
    FixtureDb fx;
    std::shared_ptr<Contesto> contesto = fx.InstallaContesto();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<MenuClientFinto> menu = std::make_shared<MenuClientFinto>();
    std::shared_ptr<QorAiutiFinto> aiuti = std::make_shared<QorAiutiFinto>();
    std::shared_ptr<StampantiFinte> stampanti = std::make_shared<StampantiFinte>();
    QList<QPointer<QWidget>> forms;
    QStringList difetti;
    QStringList viste;  // the classes of the windows walked

    // Every window of the program, each checked where it opens.
    void Percorri();
    // The frame's top left corner where the manager states it.
    static QPoint Angolo(QWidget& w) { return SchermoVirtuale::FinestraConCornice(w).topLeft(); }
    static QPoint Centro(QWidget& w) { return SchermoVirtuale::FinestraConCornice(w).center(); }
    // A window the user moves, as the window manager tells it; true when it
    // got there and stays once every request is handled.
    bool SpostataDallUtente(QWidget& w, QPoint angolo) {
        const QPoint dentro = angolo + (w.geometry().topLeft() - Angolo(w));
        SchermoVirtuale::SpostaComeUtente(w, angolo);
        if (!SchermoVirtuale::Attendi([&] { return w.geometry().topLeft() == dentro; }, 3000)) return false;
        SchermoVirtuale::Sincronizza();
        return w.geometry().topLeft() == dentro && Angolo(w) == angolo;
    }

    ~DisposizioneTest() override {
        for (const QPointer<QWidget>& f : forms)
            if (f) delete f.data();
    }
};

void DisposizioneTest::Percorri() {
    Carica<FrmLiqIvaPre>();
    Carica<frmLiqIvaXml>();
    Carica<FrmDatiFatPre>();
    auto& run = Carica<frmDatiFatXml>();
    EXPECT_EQ(run.Lab[30]->text(), "Rossi Forniture S.r.l.") << "the company named beside the range";

    auto& liq = Carica<frmLiqIvaTest>();
    liq.txt[20]->setText("2018");
    liq.txt[10]->setText("1");
    liq.ButtonComando(QStringLiteral("Ricerca"));
    Guarda(liq);
    Allarga(liq, liq.dbgDett);
    liq.ButtonComando(QStringLiteral("Dettaglio"));
    ASSERT_NE(liq.LineeAperte(), nullptr) << dialoghi->testi().join(" | ").toStdString();
    Guarda(*liq.LineeAperte());
    Allarga(*liq.LineeAperte(), liq.LineeAperte()->dbgRiga);
    liq.LineeAperte()->close();
    ListaEStampa(liq);

    auto& df = Carica<frmDatiFatGest>();
    const char* chiave[] = {"2018", "1", "2018", "100013", "0", "E", "N"};
    const int indici[] = {20, 10, 30, 40, 50, 60, 70};
    for (int i = 0; i < 7; ++i) df.txt[indici[i]]->setText(QString::fromLatin1(chiave[i]));
    df.ButtonComando(QStringLiteral("Ricerca"));
    Guarda(df);
    Allarga(df, df.dbgDett);
    df.ButtonComando(QStringLiteral("Dettaglio"));
    ASSERT_NE(df.LineeAperte(), nullptr) << dialoghi->testi().join(" | ").toStdString();
    Guarda(*df.LineeAperte());
    Allarga(*df.LineeAperte(), df.LineeAperte()->dbgRiga);
    df.LineeAperte()->close();
    ListaEStampa(df);

    frmStampaInCorso inCorso;
    inCorso.Prepara(QStringLiteral("Lista Testate"), nullptr);
    Guarda(inCorso);
    frmVStaPar* zoom = frmVStaPar::Istanza();
    Guarda(*zoom);
    zoom->close();
    FrmListaAiuto aiuto;
    aiuto.Carica(QStringLiteral("Conti"), {QStringLiteral("Codice"), QStringLiteral("Descrizione")},
                 {{QStringLiteral("04-01-000012"), QStringLiteral("Bianchi S.p.A.")}}, 0, QString());
    Guarda(aiuto);

    viste.removeDuplicates();
    EXPECT_EQ(viste.size(), 16) << viste.join(QLatin1Char(' ')).toStdString();
    difetti.removeDuplicates();
    EXPECT_TRUE(difetti.isEmpty()) << difetti.join(QLatin1Char('\n')).toStdString();
}

TEST_F(DisposizioneTest, OgniFinestraStaNelloSchermoSenzaSovrapposizioni) { Percorri(); }

// The same windows on a smaller and a larger screen.
class DisposizioneSchermoPiccolo : public DisposizioneTest {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1024, 768)); }
};
class DisposizioneSchermoGrande : public DisposizioneTest {
public:
    static void SetUpTestSuite() { SchermoVirtuale::Avvia(Dimensioni() = QSize(1920, 1080)); }
};
TEST_F(DisposizioneSchermoPiccolo, OgniFinestraStaNelloSchermo) { Percorri(); }
TEST_F(DisposizioneSchermoGrande, OgniFinestraStaNelloSchermo) { Percorri(); }

TEST_F(DisposizioneTest, LaFinestraRestaDoveLaMetteLUtente) {
    auto& run = Carica<frmDatiFatXml>();
    const QRect area = run.screen()->availableGeometry();
    struct Caso {
        const char* nome;
        QPoint angolo;
    };
    const Caso casi[] = {
        {"dentro lo schermo", {900, 500}},
        {"in parte fuori a destra e in basso", {area.right() - 150, area.bottom() - 100}},
        {"in parte fuori a sinistra", {-200, 300}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_TRUE(SpostataDallUtente(run, c.angolo)) << "the frame stands at " << Angolo(run).x() << "," << Angolo(run).y();
    }
    // The user draws the bottom edge of a screen down past the screen: it grows there, it does not climb.
    auto& liq = Carica<frmLiqIvaTest>();
    ASSERT_TRUE(SpostataDallUtente(liq, {100, area.top()}));
    const QSize alta = liq.size() + QSize(0, area.bottom() - SchermoVirtuale::FinestraConCornice(liq).bottom() + 100);
    SchermoVirtuale::RidimensionaComeUtente(liq, alta);
    EXPECT_TRUE(SchermoVirtuale::Attendi([&] { return liq.size() == alta; }, 3000)) << liq.height();
    SchermoVirtuale::Sincronizza();
    EXPECT_EQ(liq.size(), alta);
    EXPECT_EQ(Angolo(liq), QPoint(100, area.top()));
}

TEST_F(DisposizioneTest, MassimizzataERipristinataTornaComEra) {
    auto& liq = Carica<frmLiqIvaTest>();
    const QRect prima = liq.geometry();
    liq.showMaximized();
    ASSERT_TRUE(SchermoVirtuale::Attendi([&] { return liq.isMaximized() && liq.width() > prima.width(); }, 3000));
    SchermoVirtuale::Sincronizza();
    liq.showNormal();
    // The earlier size, and the window inside the work area.
    EXPECT_TRUE(SchermoVirtuale::Attendi([&] { return !liq.isMaximized() && liq.size() == prima.size(); }, 3000))
        << "now " << liq.geometry().x() << "," << liq.geometry().y() << " " << liq.width() << "x" << liq.height()
        << ", before " << prima.x() << "," << prima.y() << " " << prima.width() << "x" << prima.height();
    EXPECT_EQ(FuoriDalloSchermo(liq), QString());
}

// A box opens centred on the window that asked, in front of it.
TEST_F(DisposizioneTest, IlMessaggioSiApreSullaFinestraCheChiede) {
    auto& run = Carica<frmDatiFatXml>();
    ASSERT_TRUE(SpostataDallUtente(run, {520, 300}));
    run.activateWindow();
    ASSERT_TRUE(SchermoVirtuale::Attendi([&] { return QApplication::activeWindow() == &run; }, 3000));
    DialoghiQt reali;
    const std::function<void()> casi[] = {
        [&] { reali.msgBox(QStringLiteral("Elaborazione terminata"), StileMsg::SoloOk, QString()); },
        [&] { reali.msgCom(RichiestaMsgCom{.messaggio = QStringLiteral("Elaborazione terminata")}); },
    };
    for (const auto& apri : casi) {
        QPoint centro;
        bool davanti = false;
        // Looks at the box once it is on screen, then closes it.
        std::function<void()> guarda = [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) {
                QTimer::singleShot(10, guarda);
                return;
            }
            SchermoVirtuale::AttendiCornice(*box);
            SchermoVirtuale::Sincronizza();
            centro = Centro(*box);
            const QList<unsigned long> pila = SchermoVirtuale::Pila();
            davanti = pila.indexOf(box->winId()) > pila.indexOf(run.winId());
            box->close();
        };
        QTimer::singleShot(0, guarda);
        apri();
        // Centred on the form, give or take the title bar's height.
        EXPECT_LE((centro - Centro(run)).manhattanLength(), 30)
            << "box at " << centro.x() << "," << centro.y() << ", form at " << Centro(run).x() << "," << Centro(run).y();
        EXPECT_TRUE(davanti);
    }
}

TEST_F(DisposizioneTest, LaStampaInCorsoStaDavantiAllAnteprima) {
    // The run form that starts the print, then its box, then the preview.
    Carica<frmLiqIvaXml>();
    Stampa st;
    frmStampaInCorso* box = frmStampaInCorso::Istanza();
    st.ofrmStampaInCorso = box;
    box->Prepara(QStringLiteral("Stampa Liquidazione"), &st);
    box->MostraInCorso();
    SchermoVirtuale::AttendiCornice(*box);
    FrmVStampa* anteprima = FrmVStampa::Istanza();
    anteprima->MostraAnteprima(&st);
    SchermoVirtuale::AttendiCornice(*anteprima);
    const auto davanti = [&] {
        const QList<unsigned long> pila = SchermoVirtuale::Pila();
        return pila.indexOf(box->winId()) > pila.indexOf(anteprima->winId()) && pila.indexOf(anteprima->winId()) >= 0;
    };
    EXPECT_TRUE(SchermoVirtuale::Attendi(davanti, 3000));
    EXPECT_TRUE(SchermoVirtuale::FinestraConCornice(*anteprima).contains(Centro(*box)));
    anteprima->Scarica();
    EXPECT_FALSE(box->isVisible());
}

}  // namespace
